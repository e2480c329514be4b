#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "measure/wavsoundplayer.h"
#include "shell/MAIN.h"
#include "shell/logic/instancelock.h"
#include "shell/qtdialogs.h"
#include "shell/signalwatcher.h"
#include "shell/startupprobe.h"

#include <QApplication>

namespace {

// Platforms on which no one sees a window: boxes there would wait for ever,
// so messages go to stderr instead.
bool headlessPlatform()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvora"));

    QtDialogs dialogs;
    if (!headlessPlatform())
        Dialogs::install(&dialogs);

    InstanceLock instanceLock(applicationTitle(QCoreApplication::applicationFilePath()));
    if (!instanceLock.tryAcquire()) {
        Dialogs::instance().message(QStringLiteral("sorry, this program only run one instance at a time!"),
                                    QString(), Dialogs::Icon::None, Dialogs::Ok);
        Dialogs::install(nullptr);
        return 0;
    }

    WavSoundPlayer sound;
    SoundService::install(&sound);

    TForm1 mainWindow;
    TForm6 deviceLink;
    guardedHandler([&] { deviceLink.FormCreate(); });

    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &mainWindow,
                     &TForm1::closeProgram);

    StartupProbe::exitWhenShown(&mainWindow, [&mainWindow] { mainWindow.closeProgram(); });
    mainWindow.show();
    const int code = QApplication::exec();
    SoundService::install(nullptr);
    Dialogs::install(nullptr);
    return code;
}
