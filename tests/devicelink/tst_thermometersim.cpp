// Drives the thermometer simulator through its pseudo-terminal the way the
// program does: commands in, byte-exact answers out.

#include <QtTest>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>

#include <signal.h>

namespace {

// One simulator process, reached through its --link symlink.
class Sim {
public:
    ~Sim()
    {
        port.close();
        process.kill();
        process.waitForFinished(2000);
    }

    bool start(const QStringList &args)
    {
        clock.start();
        linkPath = dir.filePath(QStringLiteral("port"));
        logPath = dir.filePath(QStringLiteral("commands.log"));
        process.start(QStringLiteral(KELVORA_SIM_PATH),
                      QStringList{"--link", linkPath, "--log", logPath} + args);
        if (!process.waitForStarted(5000))
            return false;
        while (!process.canReadLine())
            if (!process.waitForReadyRead(5000))
                return false;
        return process.readLine().startsWith("/dev/pts/") && openPort();
    }

    bool openPort()
    {
        port.setPortName(linkPath);
        return port.open(QIODevice::ReadWrite) && port.setBaudRate(19200);
    }

    void send(const QByteArrayList &chunks)
    {
        for (const QByteArray &chunk : chunks) {
            if (&chunk != &chunks.first())
                QThread::msleep(20);
            port.write(chunk);
            port.waitForBytesWritten(1000);
            writtenAt = clock.elapsed();
        }
    }

    // Collects bytes until `want` have come, then as long as more keep
    // coming, so that an overlong answer shows. Notes when the first and the
    // last bytes arrived.
    QByteArray receive(int want, int timeoutMs)
    {
        QByteArray got;
        firstByteAt = lastByteAt = -1;
        const auto take = [&] {
            const QByteArray bytes = port.readAll();
            if (bytes.isEmpty())
                return;
            lastByteAt = clock.elapsed();
            if (got.isEmpty())
                firstByteAt = lastByteAt;
            got += bytes;
        };
        QElapsedTimer timer;
        timer.start();
        while (got.size() < want && timer.elapsed() < timeoutMs)
            if (port.waitForReadyRead(50))
                take();
        while (port.waitForReadyRead(200))
            take();
        take();
        return got;
    }

    // Command texts of the log, empty list entry for a malformed line.
    QStringList loggedCommands() const
    {
        QFile file(logPath);
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("<no log>")};
        QStringList commands;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            const QList<QByteArray> fields = line.split(' ');
            bool isNumber = false;
            fields.first().toLongLong(&isNumber);
            commands << (fields.size() == 2 && isNumber ? QString::fromLatin1(fields[1]) : QString());
        }
        return commands;
    }

    void signal(int sig) { ::kill(static_cast<pid_t>(process.processId()), sig); }

    // SIGTERM must end the simulator cleanly and take the symlink with it.
    bool stopsCleanly()
    {
        port.close();
        process.terminate();
        return process.waitForFinished(3000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0 && !QFileInfo(linkPath).isSymLink();
    }

    QElapsedTimer clock;
    qint64 writtenAt = -1;   // the last chunk was written
    qint64 firstByteAt = -1; // of the last receive()
    qint64 lastByteAt = -1;
    QTemporaryDir dir;
    QString linkPath;
    QString logPath;
    QProcess process;
    QSerialPort port;
};

const QByteArray kIdentity = QByteArray("ATA40"
                                        "00365"
                                        "00300") +
                             char(95);

} // namespace

class TestThermometerSim : public QObject {
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void unpluggedAfterWholeRecords();
    void reopenedAndSilencedPort();
};

void TestThermometerSim::answers_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArrayList>("chunks"); // written 20 ms apart
    QTest::addColumn<int>("noise");             // bytes other than 'A' before the answer
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QStringList>("logged");
    // From the command written to the first byte; the default 5 ms is below
    // what a loaded machine adds anyway, so only a long one is checked.
    QTest::addColumn<int>("minTurnaroundMs");
    QTest::addColumn<int>("minSpanMs"); // from the first byte to the last

    QTest::newRow("identity with defaults")
        << QStringList{} << QByteArrayList{"ATA"} << 0 << kIdentity << QStringList{"ATA"} << 0 << 0;
    QTest::newRow("identity with negative low alarm and emissivity above 127")
        << QStringList{"--model", "3", "--mode", "1", "--hal", "99999", "--lal", "-200", "--ems", "200"}
        << QByteArrayList{"ATA"} << 0
        << QByteArray("ATA31"
                      "99999"
                      ":0200"
                      "\xC8")
        << QStringList{"ATA"} << 0 << 0;
    QTest::newRow("two readings asked in one write cycle through a list")
        << QStringList{"--profile", "list:250,-1234", "--ems", "255"} << QByteArrayList{"ATRATR"} << 0
        << QByteArray("ATR00250\xFF"
                      "ATR:1234\xFF")
        << QStringList{"ATR", "ATR"} << 0 << 0;
    QTest::newRow("records follow the profile, command cut across writes")
        << QStringList{"--records", "3", "--profile", "ramp:-10:15", "--ems", "128"}
        << QByteArrayList{"A", "TP"} << 0
        << QByteArray("ATP"
                      ":0010\x80"
                      "00005\x80"
                      "00020\x80")
        << QStringList{"ATP"} << 0 << 0;
    QTest::newRow("stored records with emissivities in turn, cut mid-record")
        << QStringList{"--records",    "3",    "--profile",     "constant:250",
                       "--record-ems", "95,5", "--records-cut", "17"}
        << QByteArrayList{"ATP"} << 0
        << QByteArray("ATP"
                      "00250_"
                      "00250\x05"
                      "00")
        << QStringList{"ATP"} << 0 << 0;
    // 15 bytes, each followed by a 20 ms pause.
    QTest::newRow("slow device sends its records byte by byte")
        << QStringList{"--records", "2", "--records-byte-gap", "20"} << QByteArrayList{"ATP"} << 0
        << QByteArray("ATP"
                      "00250_"
                      "00250_")
        << QStringList{"ATP"} << 0 << 260;
    QTest::newRow("stray bytes and a broken command before a reading")
        << QStringList{}
        << QByteArrayList{QByteArray("xAT\x01"
                                     "AATR",
                                     8)}
        << 0 << QByteArray("ATR00250_") << QStringList{"ATR"} << 0 << 0;
    QTest::newRow("ATQ and ATU are logged, not answered")
        << QStringList{} << QByteArrayList{"ATQ", "ATU"} << 0 << QByteArray() << QStringList{"ATQ", "ATU"}
        << 0 << 0;
    QTest::newRow("silent option logs but never answers")
        << QStringList{"--silent"} << QByteArrayList{"ATA"} << 0 << QByteArray() << QStringList{"ATA"} << 0
        << 0;
    QTest::newRow("turnaround option delays the answer")
        << QStringList{"--turnaround", "150"} << QByteArrayList{"ATA"} << 0 << kIdentity << QStringList{"ATA"}
        << 150 << 0;
    QTest::newRow("answer in two halves arrives whole")
        << QStringList{"--split", "150"} << QByteArrayList{"ATA"} << 0 << kIdentity << QStringList{"ATA"} << 0
        << 120;
    QTest::newRow("noise bytes before the answer")
        << QStringList{"--garbage", "7", "--seed", "3"} << QByteArrayList{"ATA"} << 7 << kIdentity
        << QStringList{"ATA"} << 0 << 0;
    // 1203 bytes at 19200 baud take 626 ms; they go out in groups of 64.
    QTest::newRow("long record dump is paced at 19200 baud")
        << QStringList{"--records", "200", "--profile", "constant:-5"} << QByteArrayList{"ATP"} << 0
        << "ATP" + QByteArray(":0005_").repeated(200) << QStringList{"ATP"} << 0 << 520;
}

void TestThermometerSim::answers()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArrayList, chunks);
    QFETCH(int, noise);
    QFETCH(QByteArray, expected);
    QFETCH(QStringList, logged);
    QFETCH(int, minTurnaroundMs);
    QFETCH(int, minSpanMs);

    Sim sim;
    QVERIFY2(sim.start(args), qPrintable(sim.process.readAllStandardError()));
    sim.send(chunks);
    const QByteArray got = sim.receive(noise + expected.size(), 3000 + 2 * minSpanMs);

    QCOMPARE(got.size(), noise + expected.size());
    QVERIFY2(!got.left(noise).contains('A'), got.left(noise).toHex().constData());
    QCOMPARE(got.mid(noise), expected);
    const qint64 turnaround = sim.firstByteAt - sim.writtenAt;
    const qint64 span = sim.lastByteAt - sim.firstByteAt;
    QVERIFY2(got.isEmpty() || turnaround >= minTurnaroundMs, qPrintable(QString::number(turnaround)));
    QVERIFY2(span >= minSpanMs, qPrintable(QString::number(span)));
    QCOMPARE(sim.loggedCommands(), logged);
    QVERIFY(sim.stopsCleanly());
}

// The records answer ends after two whole records, and the line goes dead
// only once a reader that takes its time has them all: the simulator then
// ends by itself, its link gone, and the port reports the loss.
void TestThermometerSim::unpluggedAfterWholeRecords()
{
    Sim sim;
    QVERIFY2(sim.start({"--records", "5", "--profile", "list:250,-7", "--drop-after-records", "2"}),
             qPrintable(sim.process.readAllStandardError()));
    sim.send({"ATP"});
    QThread::msleep(700); // the bytes wait unread meanwhile
    QCOMPARE(sim.receive(15, 3000), QByteArray("ATP00250_:0007_"));
    QVERIFY(sim.process.waitForFinished(5000));
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process.exitCode(), 0);
    QVERIFY(!QFileInfo(sim.linkPath).isSymLink());
    sim.port.waitForReadyRead(500);
    QVERIFY(sim.port.error() == QSerialPort::ReadError || sim.port.error() == QSerialPort::ResourceError);
    QCOMPARE(sim.loggedCommands(), QStringList{"ATP"});
}

// The program opens and closes the port many times, also in the middle of an
// answer. As with a real port, what was unread at closing and what comes
// while closed is lost, so the next session starts clean. SIGUSR1 switches
// the answers off and on.
void TestThermometerSim::reopenedAndSilencedPort()
{
    Sim sim;
    QVERIFY(sim.start({"--records", "20"}));

    sim.send({"ATP"});   // 123 bytes, about 70 ms
    QThread::msleep(30); // no event loop: the port reads nothing meanwhile
    sim.port.close();
    QThread::msleep(100);
    QVERIFY(sim.openPort());
    sim.send({"ATA"});
    QCOMPARE(sim.receive(kIdentity.size(), 2000), kIdentity);

    for (int i = 0; i < 5; ++i) {
        sim.port.close();
        QVERIFY(sim.openPort());
    }
    sim.send({"ATR"});
    QCOMPARE(sim.receive(9, 2000), QByteArray("ATR00250_"));

    const struct {
        bool signalFirst;
        QByteArray expected;
    } steps[] = {{true, {}}, {false, {}}, {true, kIdentity}, {false, kIdentity}};
    for (const auto &step : steps) {
        if (step.signalFirst)
            sim.signal(SIGUSR1);
        sim.send({"ATA"});
        QCOMPARE(sim.receive(step.expected.size(), 1000), step.expected);
    }
    QCOMPARE(sim.loggedCommands(), (QStringList{"ATP", "ATA", "ATR", "ATA", "ATA", "ATA", "ATA"}));
    QVERIFY(sim.stopsCleanly());
}

QTEST_GUILESS_MAIN(TestThermometerSim)
#include "tst_thermometersim.moc"
