#pragma once

#include <QCoreApplication>

#include <memory>

namespace Cli {

// The application object for the command named in argv[1]. A command that
// draws pages (the data sheet) gets a QGuiApplication for its fonts and
// painter, on the offscreen platform unless QT_QPA_PLATFORM names another:
// it shows no window, so it needs no display and is not stopped by an
// unreachable one. Every other command runs on a QCoreApplication.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv);

} // namespace Cli
