#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "shell/MAIN.h"
#include "shell/automeasure.h"
#include "shell/firstshown.h"
#include "shell/logic/datasourceregistration.h"
#include "shell/logic/instancelock.h"
#include "shell/qtdialogs.h"
#include "shell/signalwatcher.h"
#include "shell/soundoutputloader.h"
#include "shell/startupprobe.h"

#include <QApplication>
#include <QTimer>

#include <memory>
#include <utility>

namespace {

constexpr int StartWithoutWindowMs = 2000;

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

    std::unique_ptr<SoundService> sound;
    TForm1 mainWindow;
    TForm6 deviceLink;

    AutoMeasure autoMeasure(mainWindow);
    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &mainWindow,
                     &TForm1::closeProgram);

    // First, so that the start-up probe times the window alone.
    StartupProbe::exitWhenShown(&mainWindow, [&mainWindow] { mainWindow.closeProgram(); });

    // What the window does not need to appear runs once it can be seen, in
    // the order it always had: the sound output (its libraries and finding
    // the audio device take a while), the data source, then the database and
    // the settings. Their messages come in that order, over the window. Until
    // then the commands that need the device link stay disabled. A window
    // that is not seen for a while (started minimised) waits no longer.
    bool started = false;
    const auto completeStart = [&] {
        if (std::exchange(started, true) || deviceLink.isClosed())
            return;
        sound = loadSoundOutput();
        SoundService::install(sound.get());
        guardedHandler([] { RegisterDataSource(); });
        guardedHandler([&] { deviceLink.FormCreate(); });
        guardedHandler([&] { mainWindow.Timer1Timer(); });
        if (QCoreApplication::arguments().contains(QLatin1String(AutoMeasure::Option)))
            autoMeasure.begin();
    };
    FirstShown::notify(&mainWindow, completeStart);
    QTimer::singleShot(StartWithoutWindowMs, &mainWindow, completeStart);
    mainWindow.show();
    const int code = QApplication::exec();
    SoundService::install(nullptr);
    Dialogs::install(nullptr);
    return code;
}
