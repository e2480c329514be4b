// The serial link over real pseudo-terminals: the simulator for whole
// conversations, a bare pty (the test plays the thermometer byte by byte)
// for the framing rules.
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "linkfixture.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The thermometer's end of a pseudo-terminal, driven by the test itself.
class PtyPeer {
public:
    PtyPeer()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            termios raw{};
            ::tcgetattr(m_slave, &raw);
            ::cfmakeraw(&raw);
            ::tcsetattr(m_slave, TCSANOW, &raw);
            m_name = QString::fromLocal8Bit(name);
        }
    }
    ~PtyPeer()
    {
        ::close(m_master);
        ::close(m_slave);
    }
    QString name() const { return m_name; }
    int slaveFd() const { return m_slave; }
    void send(const QByteArray &bytes) const
    {
        [[maybe_unused]] const ssize_t n = ::write(m_master, bytes.constData(), bytes.size());
    }
    // Sends more than the line's buffer holds, letting the program read meanwhile.
    bool sendAll(const QByteArray &bytes) const
    {
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        QElapsedTimer clock;
        clock.start();
        for (qsizetype at = 0; at < bytes.size() && clock.elapsed() < 30000;) {
            const ssize_t n = ::write(m_master, bytes.constData() + at, size_t(bytes.size() - at));
            if (n > 0)
                at += n;
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            else
                QTest::qWait(2);
            if (at == bytes.size())
                return true;
        }
        return false;
    }
    // What the program wrote to the port so far and not read yet.
    QByteArray receive() const
    {
        QByteArray out;
        pollfd p{m_master, POLLIN, 0};
        while (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
            char buf[256];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, n);
        }
        return out;
    }

private:
    int m_master = -1;
    int m_slave = -1; // kept open so the master never reads EIO
    QString m_name;
};

// A measurement window stand-in whose handling of the first reading waits in
// a message box, as the real window may (an error box, a box of the alarm).
class WaitingWindow : public QObject {
public:
    QList<qint32> readings;
    std::function<void()> duringFirst;
    bool event(QEvent *e) override
    {
        if (e->type() != WM_NEWREADING)
            return QObject::event(e);
        readings << SystemVars.lastValue;
        if (readings.size() == 1) {
            duringFirst();
            Dialogs::instance().message(QStringLiteral("waiting"), QString(), Dialogs::Icon::Information,
                                        Dialogs::Ok);
        }
        return true;
    }
};

QByteArray logRecords(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += QByteArray("00250") + char(95);
    return out;
}

} // namespace

class TestSerialLink : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<ProgramEnv>(); }
    void cleanup()
    {
        m_link.reset();
        m_env.reset();
    }

    void firstTickOpensSecondTickPolls();
    void writesExactCommandsOnARawLine();
    void disconnectAfterSilenceAndBack();
    void settingsReplyParsedByNextFiring();
    void replyThroughTheRealLink_data();
    void replyThroughTheRealLink();
    void downloadBurstsParsedOnceAfterQuiet();
    void receiveBufferCappedWithoutLosingBytes();
    void readingsHandedOnWhileAWindowWaits();
    void missingPortReportedOnceThenOpened();
    void portHeldByAnotherProgram();
    void unpluggedDeviceClosesAndReopens();
    void openPortFailureReachesCaller();
    void openFailureGivesItsReason();
    void deviceGoneDuringOpenPortWait();

private:
    void startLink(const QString &port)
    {
        m_env->dir.writeSettings(port);
        m_link = std::make_unique<TForm6>();
        m_link->FormCreate();
        QCOMPARE(SystemVars.serialPort, port);
    }

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<TForm6> m_link;
};

void TestSerialLink::firstTickOpensSecondTickPolls()
{
    Simulator sim(m_env->dir.path("thermometer"), m_env->dir.path("sim.log"));
    QVERIFY(sim.running());
    QElapsedTimer clock;
    clock.start();
    startLink(m_env->dir.path("thermometer"));

    QVERIFY(!SystemVars.portOpen);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.portOpen, 2000);
    const qint64 opened = clock.elapsed();
    QVERIFY2(opened >= 900, qPrintable(QString::number(opened)));
    QVERIFY(sim.commands().isEmpty()); // nothing is sent on the tick that opens

    QTRY_VERIFY_WITH_TIMEOUT(!sim.commands().isEmpty(), 2000);
    QCOMPARE(sim.commands().first(), QStringLiteral("ATA"));
    QVERIFY(SystemVars.awaitingReply || SystemVars.settingsRead);

    // The reply is parsed and the link shows as answering well within a second.
    const qint64 polled = clock.elapsed();
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.connected && SystemVars.settingsRead, 1000);
    QVERIFY(clock.elapsed() - polled < 1000);
    QVERIFY(!SystemVars.awaitingReply);
    QCOMPARE(int(SystemVars.machineMode), 4);
    QCOMPARE(SystemVars.halValue, 365);
    QCOMPARE(SystemVars.lalValue, 300);
    QCOMPARE(SystemVars.emsValue, 95);
    QVERIFY(m_env->dialogs.shown.isEmpty());
}

// The poll writes each command as its three letters, nothing added, on a line
// it has set to 19200 8N1 raw whatever the line was before.
void TestSerialLink::writesExactCommandsOnARawLine()
{
    PtyPeer peer;
    termios cooked{};
    QCOMPARE(::tcgetattr(peer.slaveFd(), &cooked), 0);
    cooked.c_iflag |= ICRNL | IXON | ISTRIP;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
    cooked.c_cflag = (cooked.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB;
    ::cfsetispeed(&cooked, B9600);
    ::cfsetospeed(&cooked, B9600);
    QCOMPARE(::tcsetattr(peer.slaveFd(), TCSANOW, &cooked), 0);

    startLink(peer.name());
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.portOpen, 2000);
    termios line{};
    QCOMPARE(::tcgetattr(peer.slaveFd(), &line), 0);
    QCOMPARE(::cfgetispeed(&line), speed_t(B19200));
    QCOMPARE(::cfgetospeed(&line), speed_t(B19200));
    QCOMPARE(line.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(line.c_cflag & (PARENB | CSTOPB), tcflag_t(0));
    QCOMPARE(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), tcflag_t(0));
    QCOMPARE(line.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(line.c_iflag & (ICRNL | INLCR | IGNCR | IXON | ISTRIP), tcflag_t(0));

    // The second tick's poll, then a window's command.
    QByteArray written;
    QTRY_VERIFY_WITH_TIMEOUT((written += peer.receive()).size() >= 3, 2500);
    m_link->Timer1.setEnabled(false);
    m_link->SendCommand("ATR");
    QTRY_VERIFY_WITH_TIMEOUT((written += peer.receive()).size() >= 6, 2000);
    QTest::qWait(200); // anything doubled or appended would have come by now
    written += peer.receive();
    QCOMPARE(written, QByteArray("ATAATR"));
}

// The link shows as connected for three ticks after the last bytes and falls
// on the fourth; a reply that nobody sends stays awaited until given up.
void TestSerialLink::disconnectAfterSilenceAndBack()
{
    Simulator sim(m_env->dir.path("thermometer"), m_env->dir.path("sim.log"));
    startLink(m_env->dir.path("thermometer"));
    TickWatch watch(*m_link);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.connected, 4000);

    sim.toggleSilence();
    QTRY_VERIFY_WITH_TIMEOUT(!SystemVars.connected, 8000);
    QCOMPARE(watch.fellAtTick, 4);
    QVERIFY2(watch.fellAfterMs >= 2950, qPrintable(QString::number(watch.fellAfterMs)));
    QVERIFY(SystemVars.portOpen);
    // The poll of this tick went out and nothing has answered it.
    QVERIFY(SystemVars.awaitingReply);
    QCOMPARE(SystemVars.replyCountdown, qint16(1));

    sim.toggleSilence();
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.connected, 2500);
}

void TestSerialLink::settingsReplyParsedByNextFiring()
{
    PtyPeer peer;
    startLink(peer.name());
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.portOpen, 2000);
    m_link->Timer1.setEnabled(false); // no poll replies to mix in

    // The first bytes start the frame timer; its first firing, a frame
    // period later, parses the reply.
    QElapsedTimer sinceBytes;
    QList<bool> parsedAtFiring;
    qint64 firstFiringMs = -1;
    QObject context;
    connect(&m_link->MSComm1, &SerialControl::comm, &context, [&](int event) {
        if (event == SerialControl::ReceiveEvent && !sinceBytes.isValid())
            sinceBytes.start();
    });
    connect(&m_link->Timer2, &ComponentTimer::timeout, &context, [&] {
        if (parsedAtFiring.isEmpty())
            firstFiringMs = sinceBytes.elapsed();
        parsedAtFiring << SystemVars.settingsRead;
    });
    peer.send(QByteArray("ATA2300123:0050") + char(195));
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 3000);
    QCOMPARE(parsedAtFiring.value(0), true);
    QVERIFY2(firstFiringMs >= TForm6::FrameIntervalMs - 2, qPrintable(QString::number(firstFiringMs)));
    QCOMPARE(int(SystemVars.machineMode), 2);
    QCOMPARE(int(SystemVars.measureMode), 3);
    QCOMPARE(SystemVars.halValue, 123);
    QCOMPARE(SystemVars.lalValue, -50);
    QCOMPARE(SystemVars.emsValue, 95);
    QCOMPARE(SystemVars.rxCount, 0);
    QCOMPARE(SystemVars.linkCountdown, qint16(3));
}

void TestSerialLink::replyThroughTheRealLink_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<bool>("settingsRead");
    const QStringList device{"--hal", "123", "--lal", "-50"};
    // The first reply starts the frame timer, so both its halves fall into
    // the first frame period; later split replies may be cut and are dropped.
    QTest::newRow("reply in two reads") << device + QStringList{"--split", "20"} << true;
    // Noise first: the frame begins with no known reply, only the link state notes it.
    QTest::newRow("noise bytes before the reply") << device + QStringList{"--garbage", "7"} << false;
}

void TestSerialLink::replyThroughTheRealLink()
{
    QFETCH(QStringList, simArgs);
    QFETCH(bool, settingsRead);
    Simulator sim(m_env->dir.path("thermometer"), m_env->dir.path("sim.log"), simArgs);
    startLink(m_env->dir.path("thermometer"));

    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.connected, 4000);
    // A few polls answered the same way; none may be misread.
    QTRY_VERIFY_WITH_TIMEOUT(sim.commands().size() >= 3, 5000);
    QTest::qWait(300);
    QCOMPARE(SystemVars.settingsRead, settingsRead);
    QVERIFY(SystemVars.connected);
    QCOMPARE(SystemVars.halValue, settingsRead ? 123 : 365);
    QCOMPARE(SystemVars.lalValue, settingsRead ? -50 : 300);
    QCOMPARE(int(SystemVars.machineMode), 4);
    QCOMPARE(SystemVars.emsValue, 95);
}

void TestSerialLink::downloadBurstsParsedOnceAfterQuiet()
{
    PtyPeer peer;
    startLink(peer.name());
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.portOpen, 2000);
    SystemVars.commState = CommDownloading;

    // Five bursts 400 ms apart: no parse until 1500 ms after the last one.
    peer.send(QByteArray("ATP") + logRecords(10));
    for (int burst = 1; burst < 5; ++burst) {
        QTest::qWait(400);
        QVERIFY(!SystemVars.logReceived);
        peer.send(logRecords(10));
    }
    QElapsedTimer quiet;
    quiet.start();
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.logReceived, 3000);
    QVERIFY2(quiet.elapsed() >= 1300, qPrintable(QString::number(quiet.elapsed())));
    QCOMPARE(int(SystemVars.logCount), 50);
    QCOMPARE(SystemVars.rxCount, 0);

    // Back to normal framing: the first bytes after the download set 50 ms again.
    SystemVars.commState = CommIdle;
    SystemVars.settingsRead = false;
    peer.send(QByteArray("ATA400036500300") + char(95));
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 2000);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
}

// A reply longer than the receive buffer's cap: the buffer stops growing at
// the cap, and what it holds arrived without a byte lost or shifted.
void TestSerialLink::receiveBufferCappedWithoutLosingBytes()
{
    PtyPeer peer;
    startLink(peer.name());
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.portOpen, 2000);
    m_link->Timer1.setEnabled(false);
    SystemVars.commState = CommDownloading;
    qint32 largest = 0;
    QObject context;
    connect(&m_link->MSComm1, &SerialControl::comm, &context,
            [&largest] { largest = qMax(largest, SystemVars.rxCount); });

    QByteArray reply = "ATP";
    constexpr int Records = 12000; // 72003 bytes
    for (int k = 0; k < Records; ++k)
        reply += QByteArray::number(k).rightJustified(5, '0') + char(95);
    QVERIFY(peer.sendAll(reply));
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.logReceived, 10000);

    QCOMPARE(largest, TForm6::MaxReceiveBytes);
    QCOMPARE(int(SystemVars.logCount), MaxLogRecords);
    for (int k = 0; k < MaxLogRecords; ++k) {
        if (SystemVars.logValues[k] != k)
            QFAIL(qPrintable(QStringLiteral("record %1 reads %2").arg(k).arg(SystemVars.logValues[k])));
    }
    QCOMPARE(SystemVars.rxCount, 0);
}

// Bytes that arrive while the window is busy with a reading (waiting in a
// box) belong to the next frame: each reading is handed on once, none lost.
void TestSerialLink::readingsHandedOnWhileAWindowWaits()
{
    PtyPeer peer;
    startLink(peer.name());
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.portOpen, 2000);
    m_link->Timer1.setEnabled(false);
    WaitingWindow window;
    SystemVars.measureWindow = &window;
    m_env->dialogs.holdOpen(500);
    window.duringFirst = [&peer] {
        QTimer::singleShot(100, [&peer] { peer.send(QByteArray("ATR00260") + char(95)); });
    };

    peer.send(QByteArray("ATR00250") + char(95));
    QTRY_COMPARE_WITH_TIMEOUT(window.readings.size(), 2, 3000);
    QTest::qWait(200);
    QCOMPARE(window.readings, (QList<qint32>{250, 260}));
    QCOMPARE(SystemVars.rxCount, 0);
}

void TestSerialLink::missingPortReportedOnceThenOpened()
{
    Simulator sim(m_env->dir.path("thermometer"), m_env->dir.path("sim.log"));
    const QString port = m_env->dir.path("not-yet-there");
    startLink(port);

    QTest::qWait(3300); // three failed ticks
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown[0].text,
             QStringLiteral("Can not open COM port, please confirm COM port is not being occupied by "
                            "another device.\rOr try another COM port."));
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("Serial Port Error"));
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(SystemVars.portErrorShown);
    QVERIFY(m_link->Timer1.enabled());

    QVERIFY(QFile::link(sim.slave(), port));
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.portOpen, 1500);
    QVERIFY(sim.commands().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(sim.commands().value(0), QStringLiteral("ATA"), 1500);
    QCOMPARE(m_env->dialogs.shown.size(), 1);
}

// Another program holds the port (QSerialPort's lock, which holds for root
// too): the caller learns why, the poll tells the user once and takes the
// port as soon as it is free.
void TestSerialLink::portHeldByAnotherProgram()
{
    PtyPeer peer;
    QSerialPort other;
    other.setPortName(peer.name());
    QVERIFY(other.open(QIODevice::ReadWrite));
    startLink(peer.name());
    m_link->Timer1.setEnabled(false);

    QString reason;
    QString hint = QStringLiteral("none thrown");
    try {
        m_link->OpenPort();
    } catch (const SerialPortError &e) {
        reason = e.text();
        hint = e.hint();
    }
    QVERIFY2(reason.startsWith(QStringLiteral("Port %1 cannot be opened: ").arg(peer.name())),
             qPrintable(reason));
    QVERIFY2(!reason.endsWith(QStringLiteral("No error")), qPrintable(reason));
    // Joining the device's group would not help here.
    QCOMPARE(hint, QString());
    QVERIFY(!SystemVars.portOpen);

    m_link->Timer1.setEnabled(true);
    QTRY_COMPARE_WITH_TIMEOUT(m_env->dialogs.shown.size(), 1, 3000);
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("Serial Port Error"));
    QVERIFY(!SystemVars.portOpen);
    other.close();
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.portOpen, 2500);
    QByteArray written;
    QTRY_VERIFY_WITH_TIMEOUT((written += peer.receive()).size() >= 3, 2500);
    QCOMPARE(written, QByteArray("ATA"));
    QCOMPARE(m_env->dialogs.shown.size(), 1);
}

// The device goes away and comes back at the same path while the port
// message is still open (nobody at the desk): the poll goes on meanwhile, so
// the link falls to not connected on the fourth tick after its last bytes and
// the port is reopened without any click.
void TestSerialLink::unpluggedDeviceClosesAndReopens()
{
    const QString path = m_env->dir.path("thermometer");
    auto sim = std::make_unique<Simulator>(path, m_env->dir.path("sim.log"));
    startLink(path);
    TickWatch watch(*m_link);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.connected, 4000);

    bool fellWhileOpen = false;
    int fellAtTick = -1;
    bool backWhileOpen = false;
    m_env->dialogs.holdOpen(20000, [&] {
        if (!SystemVars.connected && !fellWhileOpen) {
            fellWhileOpen = true;
            fellAtTick = watch.fellAtTick;
            sim = std::make_unique<Simulator>(path, m_env->dir.path("sim2.log"));
        }
        backWhileOpen = fellWhileOpen && SystemVars.connected;
        return backWhileOpen;
    });

    sim.reset(); // the other end goes away while the port is open
    QTRY_VERIFY_WITH_TIMEOUT(!SystemVars.portOpen, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(m_env->dialogs.shown.size(), 1, 3000); // the reopen fails once, told once
    QTRY_VERIFY_WITH_TIMEOUT(!m_env->dialogs.isOpen(), 25000);
    QVERIFY(fellWhileOpen);
    QCOMPARE(fellAtTick, 4);
    QVERIFY(backWhileOpen);
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("Serial Port Error"));
    QVERIFY(sim->running());
    QVERIFY(SystemVars.portOpen);
    QVERIFY(!sim->commands().isEmpty());
    QCOMPARE(m_env->dialogs.shown.size(), 1);
}

void TestSerialLink::openPortFailureReachesCaller()
{
    startLink(m_env->dir.path("absent"));
    m_link->Timer1.setEnabled(false);
    SystemVars.settingsRead = true;
    QVERIFY_THROWS_EXCEPTION(SerialPortError, m_link->OpenPort());
    QVERIFY(!SystemVars.portOpen);
    QVERIFY(!SystemVars.settingsRead);

    // With a thermometer there, OpenPort sends "ATA" after its 200 ms wait.
    Simulator sim(m_env->dir.path("thermometer"), m_env->dir.path("sim.log"));
    SystemVars.serialPort = m_env->dir.path("thermometer");
    m_link->OpenPort();
    QVERIFY(SystemVars.portOpen);
    QTRY_COMPARE_WITH_TIMEOUT(sim.commands().value(0), QStringLiteral("ATA"), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 3000);
}

// The driver refuses to open a locked pseudo-terminal with an I/O error,
// which the serial port signals while opening: the reason reaches the caller,
// and no port loss is reported for a port that never opened.
void TestSerialLink::openFailureGivesItsReason()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QCOMPARE(::grantpt(master), 0); // left locked
    const QString name = QString::fromLocal8Bit(::ptsname(master));
    startLink(name);
    m_link->Timer1.setEnabled(false);
    QSignalSpy lost(&m_link->MSComm1, &SerialControl::portLost);
    QSignalSpy events(&m_link->MSComm1, &SerialControl::comm);

    QString reason;
    try {
        m_link->OpenPort();
    } catch (const SerialPortError &e) {
        reason = e.text();
    }
    ::close(master);
    QCOMPARE(reason, QStringLiteral("Port %1 cannot be opened: %2").arg(name, qt_error_string(EIO)));
    QCOMPARE(lost.count(), 0);
    QCOMPARE(events.count(), 0);
    QVERIFY(!SystemVars.portOpen);
}

// Unplugged during OpenPort's wait: no open failure for the caller (nor
// "port not open" from writing the settings question); the port is closed
// for the poll to reopen, and no settings reply has come.
void TestSerialLink::deviceGoneDuringOpenPortWait()
{
    auto peer = std::make_unique<PtyPeer>();
    startLink(peer->name());
    m_link->Timer1.setEnabled(false);
    QSignalSpy lost(&m_link->MSComm1, &SerialControl::portLost);
    QTimer::singleShot(20, [&peer] { peer.reset(); });

    m_link->OpenPort();
    QCOMPARE(lost.count(), 1);
    QVERIFY(!SystemVars.portOpen);
    QVERIFY(!SystemVars.settingsRead);
    QVERIFY(m_env->dialogs.shown.isEmpty());
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
