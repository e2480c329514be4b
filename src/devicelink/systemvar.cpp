#include "systemvar.h"

#include "common/apppaths.h"
#include "delay.h"
#include "common/dialogs.h"
#include "common/kelvoraerror.h"
#include "settingsfile.h"
#include "store/runrecovery.h"
#include "thermometerprotocol.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

TForm6 *Form6 = nullptr;

namespace {
const QByteArray CommandSettings = QByteArrayLiteral("ATA");
const QString RecoveryCaption = QStringLiteral("Recovered Readings");
} // namespace

TForm6::TForm6(QObject *parent)
    : QObject(parent), Table1(Database1, QStringLiteral("MeaData")),
      Table2(Database1, QStringLiteral("GetRecorde")), Table3(Database1, QStringLiteral("LoadData")),
      Query1(Database1)
{
    setObjectName(QStringLiteral("Form6"));
    MSComm1.setObjectName(QStringLiteral("MSComm1"));
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer2.setObjectName(QStringLiteral("Timer2"));

    connect(&Timer1, &ComponentTimer::timeout, this, [this] { guardedHandler([this] { Timer1Timer(); }); });
    connect(&Timer2, &ComponentTimer::timeout, this, [this] { guardedHandler([this] { Timer2Timer(); }); });
    connect(&MSComm1, &SerialControl::comm, this,
            [this](int event) { guardedHandler([this, event] { MSComm1Comm(event); }); });
    connect(&MSComm1, &SerialControl::portLost, this, &TForm6::onPortLost);

    Timer1.setInterval(PollIntervalMs);
    Timer1.setEnabled(true);
    Form6 = this;
}

TForm6::~TForm6()
{
    if (Form6 == this)
        Form6 = nullptr;
}

QString TForm6::settingsFilePath() const
{
    return AppPaths::ownFile(QString::fromLatin1(SettingsFile::FileName));
}

void TForm6::FormCreate()
{
    TSystemVars &v = SystemVars;
    v.readInterval = 0;

    if (!Database1.isOpen())
        Database1.open();
    // Rows that could not be saved are kept rather than emptied away.
    const bool keepRows = !recoverUnsavedRun();
    for (MeasureTable *table : {&Table1, &Table2, &Table3}) {
        table->close();
        if (!keepRows)
            table->emptyTable();
        table->open();
    }

    v.deviceBusy = false;
    Timer2.setEnabled(false);
    Timer2.setInterval(0);
    v.analyzeWindow = nullptr;
    v.measureWindow = nullptr;
    v.importWindow = nullptr;

    const QString report = AppPaths::besideExecutable(QString::fromLatin1(ReportFileName));
    if (!QFileInfo(report).isFile()) {
        showError(QStringLiteral("Kelvora_en.rav Destroied"));
        return;
    }
    m_reportProjectFile = report;

    if (SettingsFile::load(settingsFilePath(), v) == SettingsFile::LoadResult::Unreadable) {
        m_settings = SettingsState::Unreadable;
        showError(QStringLiteral("KELVORA.INI  Destroied"));
        return;
    }
    m_settings = SettingsState::Loaded;

    v.measureMenuEnabled = true;
    v.setupMenuEnabled = true;
    v.importMenuEnabled = true;
}

bool TForm6::recoverUnsavedRun()
{
    const QString folder = QFileInfo(Database1.filePath()).absolutePath();
    const RunRecovery recovery(folder);
    Table1.open();
    const RunRecovery::Result result = recovery.recover(Table1, QDateTime::currentDateTime());
    const QString path = QDir::toNativeSeparators(result.path);
    switch (result.outcome) {
    case RunRecovery::Outcome::Nothing: break;
    case RunRecovery::Outcome::Written:
        Dialogs::instance().message(QStringLiteral("The program was not closed properly last time.\r"
                                                   "The unsaved readings of that run were saved as\r%1")
                                        .arg(path),
                                    RecoveryCaption, Dialogs::Icon::Information, Dialogs::Ok);
        break;
    case RunRecovery::Outcome::Failed:
        Dialogs::instance().message(
            QStringLiteral("The program was not closed properly last time.\r"
                           "The unsaved readings of that run could not be saved as\r%1\r%2")
                .arg(path, result.error),
            RecoveryCaption, Dialogs::Icon::Error, Dialogs::Ok);
        return false;
    }
    recovery.markRunning();
    m_runFolder = folder;
    return true;
}

void TForm6::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    saveSettingsAtClose();
    // Ended through the program's own close: nothing to recover at the next start.
    if (!m_runFolder.isEmpty())
        RunRecovery(m_runFolder).markClosed();
}

void TForm6::saveSettingsAtClose()
{
    Timer1.setEnabled(false);
    Timer2.setEnabled(false);
    MSComm1.close();
    SystemVars.portOpen = false;

    // Settings that were never read would be written back as zeros and
    // destroy the user's file: then the file is left as it is. A file that
    // could not be read at start is reported once more, as it stays damaged.
    if (m_settings == SettingsState::NotRead)
        return;
    if (m_settings == SettingsState::Unreadable || !SettingsFile::save(settingsFilePath(), SystemVars)) {
        Dialogs::instance().message(QStringLiteral("The KELVORA.INI file  have been damaged"),
                                    QStringLiteral("File Error Information"), Dialogs::Icon::Error,
                                    Dialogs::Ok);
    }
}

void TForm6::OpenPort()
{
    TSystemVars &v = SystemVars;
    v.settingsRead = false;
    if (v.portOpen)
        return;
    MSComm1.setPortName(v.serialPort);
    MSComm1.open();
    v.rxCount = 0;
    v.portOpen = true;
    delay(200);
    // The device may have gone away during the wait: the port is closed again
    // and the poll reopens it, so this is no open failure; the caller just
    // sees no settings reply.
    SendCommand(CommandSettings);
}

void TForm6::SendCommand(const QByteArray &command)
{
    if (SystemVars.portOpen && MSComm1.isOpen())
        MSComm1.output(command);
}

void TForm6::Timer1Timer()
{
    TSystemVars &v = SystemVars;
    if (v.awaitingReply) {
        if (v.replyCountdown <= 0)
            v.awaitingReply = false;
        else
            --v.replyCountdown;
    }

    if (v.linkCountdown != 0) {
        v.connected = true;
        --v.linkCountdown;
    } else {
        v.connected = false;
    }

    if (!v.portOpen) {
        openPortFromPoll();
        return;
    }
    if (v.commState == CommIdle) {
        v.awaitingReply = true;
        v.replyCountdown = 1;
        MSComm1.output(CommandSettings);
    }
}

void TForm6::openPortFromPoll()
{
    TSystemVars &v = SystemVars;
    // Settings never read: no port is configured, and the user has already
    // been told why. An empty name in read settings fails like any other.
    if (m_settings != SettingsState::Loaded)
        return;
    try {
        MSComm1.setPortName(v.serialPort);
        MSComm1.open();
        // Bytes gathered before the device went away belong to no reply.
        v.rxCount = 0;
        v.portOpen = true;
    } catch (const SerialPortError &e) {
        if (v.portErrorShown)
            return;
        v.portErrorShown = true;
        // A timer does not fire while its own handler runs, and the box's
        // loop would run inside this tick: shown after the tick instead, the
        // poll goes on meanwhile, keeps the link state true and reopens the
        // port as soon as the device is back.
        QMetaObject::invokeMethod(
            this, [this, hint = e.hint()] { showPortError(hint); }, Qt::QueuedConnection);
    }
}

void TForm6::showPortError(const QString &hint)
{
    if (m_closed)
        return;
    QString text = QStringLiteral("Can not open COM port, please confirm COM port is not being occupied "
                                  "by another device.\rOr try another COM port.");
    if (!hint.isEmpty())
        text += QLatin1Char('\r') + hint;
    Dialogs::instance().message(text, QStringLiteral("Serial Port Error"), Dialogs::Icon::Error, Dialogs::Ok);
}

void TForm6::MSComm1Comm(int event)
{
    if (event != SerialControl::ReceiveEvent)
        return;
    // The read empties the driver's buffer; nothing is flushed after it, since
    // bytes arriving in between would be lost (a shifted record download).
    Receive(MSComm1.input());
}

void TForm6::Receive(const QByteArray &bytes)
{
    TSystemVars &v = SystemVars;
    v.linkCountdown = LinkTicks;
    v.rxIdleCount = 0;
    // A flood of bytes that no parse empties must not grow without bound.
    const qint64 room = MaxReceiveBytes - v.rxCount;
    if (room > 0)
        v.appendReceived(bytes.left(room));

    Timer2.setInterval(FrameIntervalMs);
    if (v.commState == CommDownloading)
        Timer2.setInterval(DownloadQuietMs);
    Timer2.setEnabled(true);
}

void TForm6::Timer2Timer()
{
    TSystemVars &v = SystemVars;
    const QByteArray frame = v.receivedFrame();
    // Emptied before the reading is handed on: a window may wait inside its
    // handler (a message box), and bytes received meanwhile start the next
    // frame; emptied afterwards, they would be lost with this one.
    v.clearReceived();
    if (frame.size() < 3)
        return;
    v.connected = true;
    if (ThermometerProtocol::parseReply(frame, v) == ThermometerProtocol::ReplyKind::Reading)
        sendWindowMessage(v.measureWindow, WM_NEWREADING);
}

void TForm6::onPortLost()
{
    SystemVars.portOpen = false;
}
