#include "devicelink/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "shell/linkstatuswindow.h"
#include "shell/qtdialogs.h"
#include "shell/signalwatcher.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvora"));

    QtDialogs dialogs;
    Dialogs::install(&dialogs);

    LinkStatusWindow window;
    window.show();

    TForm6 deviceLink;
    guardedHandler([&] { deviceLink.FormCreate(); });

    const auto shutDown = [&] {
        deviceLink.FormClose();
        QApplication::quit();
    };
    QObject::connect(&window, &LinkStatusWindow::closing, &app, shutDown);
    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &app, shutDown);

    const int code = QApplication::exec();
    Dialogs::install(nullptr);
    return code;
}
