#include "cli/application.h"

#include <QGuiApplication>

#include <cstring>

namespace Cli {

std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv)
{
    const bool draws = argc > 1 && std::strcmp(argv[1], "sheet") == 0;
    if (!draws)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace Cli
