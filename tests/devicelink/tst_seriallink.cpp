// The serial link over real pseudo-terminals: the simulator for whole
// conversations, a bare pty (the test plays the thermometer byte by byte)
// for the framing rules.
#include "devicelink/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "linkfixture.h"

#include <QElapsedTimer>
#include <QtTest>

#include <fcntl.h>
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
    void send(const QByteArray &bytes) const
    {
        [[maybe_unused]] const ssize_t n = ::write(m_master, bytes.constData(), bytes.size());
    }

private:
    int m_master = -1;
    int m_slave = -1; // kept open so the master never reads EIO
    QString m_name;
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
    void disconnectAfterSilenceAndBack();
    void settingsReplyParsedByNextFiring();
    void downloadBurstsParsedOnceAfterQuiet();
    void missingPortReportedOnceThenOpened();
    void unpluggedDeviceClosesAndReopens();
    void openPortFailureReachesCaller();

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

void TestSerialLink::disconnectAfterSilenceAndBack()
{
    Simulator sim(m_env->dir.path("thermometer"), m_env->dir.path("sim.log"));
    startLink(m_env->dir.path("thermometer"));
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.connected, 4000);

    sim.toggleSilence();
    // Bytes already on their way may still arrive right after the toggle.
    QTest::qWait(300);
    QElapsedTimer silent;
    silent.start();
    QTRY_VERIFY_WITH_TIMEOUT(!SystemVars.connected, 5000);
    QVERIFY2(silent.elapsed() < 4300, qPrintable(QString::number(silent.elapsed())));
    QVERIFY(SystemVars.portOpen);
    QVERIFY(!SystemVars.awaitingReply || SystemVars.replyCountdown >= 0);

    sim.toggleSilence();
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.connected, 2500);
}

void TestSerialLink::settingsReplyParsedByNextFiring()
{
    PtyPeer peer;
    startLink(peer.name());
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.portOpen, 2000);

    peer.send(QByteArray("ATA2300123:0050") + char(195));
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 1000);
    QVERIFY2(clock.elapsed() < 400, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(int(SystemVars.machineMode), 2);
    QCOMPARE(int(SystemVars.measureMode), 3);
    QCOMPARE(SystemVars.halValue, 123);
    QCOMPARE(SystemVars.lalValue, -50);
    QCOMPARE(SystemVars.emsValue, 95);
    QCOMPARE(SystemVars.rxCount, 0);
    QCOMPARE(SystemVars.linkCountdown, qint16(3));
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

void TestSerialLink::unpluggedDeviceClosesAndReopens()
{
    auto sim = std::make_unique<Simulator>(m_env->dir.path("thermometer"), m_env->dir.path("sim.log"));
    startLink(m_env->dir.path("thermometer"));
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.connected, 4000);

    sim.reset(); // the other end goes away while the port is open
    QTRY_VERIFY_WITH_TIMEOUT(!SystemVars.portOpen, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(m_env->dialogs.shown.size(), 1, 3000); // the reopen fails once, told once
    QTRY_VERIFY_WITH_TIMEOUT(!SystemVars.connected, 5000);

    sim = std::make_unique<Simulator>(m_env->dir.path("thermometer"), m_env->dir.path("sim2.log"));
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.connected, 4000);
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

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
