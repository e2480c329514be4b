// kelvora-cli log against the simulator: the readings on stdout, the poll it
// sends, the ways a run ends, the file written at the end and during the
// run, a thermometer that goes away and comes back, and the start failures.
#include "cliprocess.h"
#include "devicelink/systemvar.h"
#include "linkfixture.h"
#include "store/logfilereader.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

// The simulator's readings: 20.0, 21.5, 23.0, ... degrees Celsius.
const QStringList Ramp{QStringLiteral("--profile"), QStringLiteral("ramp:200:15")};

QString rampValue(int index)
{
    return QString::number(20.0 + 1.5 * index, 'f', 1);
}

struct PrintedReading {
    QDateTime at;
    QString value;
    QString unit;
    QString ems;
};

// A line "2026-12-11T03:04:05,25.3,C,0.95"; an invalid time when it is no such line.
PrintedReading parseLine(const QString &line)
{
    static const QRegularExpression form(QStringLiteral(
        "^(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d),(-?\\d+\\.\\d),([CF]),(\\d+(?:\\.\\d+)?)$"));
    const QRegularExpressionMatch m = form.match(line);
    if (!m.hasMatch())
        return {};
    return {QDateTime::fromString(m.captured(1), Qt::ISODate), m.captured(2), m.captured(3), m.captured(4)};
}

} // namespace

class TestCliLog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void tenSecondRun();
    void runEndsCleanly_data();
    void runEndsCleanly();
    void killedRunLeavesTheLastSave();
    void minuteAndHourDurationsAndTheMinuteSave();
    void runGoesOnWhenTheThermometerIsBack();
    void startFailures_data();
    void startFailures();

private:
    QString path(const QString &name) const { return m_env->dir.path(name); }
    QStringList logArguments(const QStringList &extra) const;
    std::unique_ptr<Simulator> startSimulator(const QString &log, const QStringList &extra = Ramp) const;
    // The rows the log reader loads from the file.
    QVector<MeasureRecord> loadedRows(const QString &file);
    // Every printed line is a reading of the ramp, and the file holds the
    // first rows of them, with the same stamps and values.
    void verifyReadings(const QStringList &lines, const QVector<MeasureRecord> &rows);

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<TForm6> m_link;
};

void TestCliLog::init()
{
    m_env = std::make_unique<ProgramEnv>();
    m_link = std::make_unique<TForm6>();
    m_link->Database1.open();
    m_link->Table3.open();
}

void TestCliLog::cleanup()
{
    m_link.reset();
    m_env.reset();
}

QStringList TestCliLog::logArguments(const QStringList &extra) const
{
    return QStringList{QStringLiteral("log"), QStringLiteral("--port"), path(QStringLiteral("thermometer")),
                       QStringLiteral("--rate"), QStringLiteral("1")} +
           extra;
}

std::unique_ptr<Simulator> TestCliLog::startSimulator(const QString &log, const QStringList &extra) const
{
    return std::make_unique<Simulator>(path(QStringLiteral("thermometer")), path(log), extra);
}

QVector<MeasureRecord> TestCliLog::loadedRows(const QString &file)
{
    MeasureTable &table = m_link->Table3;
    table.close();
    table.emptyTable();
    table.open();
    if (!loadLogFile(file, m_link->Database1, table, 1, true).accepted)
        return {};
    return table.rows();
}

void TestCliLog::verifyReadings(const QStringList &lines, const QVector<MeasureRecord> &rows)
{
    QVERIFY(rows.size() <= lines.size());
    QDateTime previous;
    for (int i = 0; i < lines.size(); ++i) {
        const PrintedReading reading = parseLine(lines.at(i));
        QVERIFY2(reading.at.isValid(), qPrintable(lines.at(i)));
        QCOMPARE(reading.value, rampValue(i));
        QCOMPARE(reading.unit, QStringLiteral("C"));
        QCOMPARE(reading.ems, QStringLiteral("0.95"));
        QVERIFY(previous.isNull() || previous <= reading.at);
        previous = reading.at;
        if (i >= rows.size())
            continue;
        const MeasureRecord &row = rows.at(i);
        QCOMPARE(row.recno, qint64(i + 1));
        QCOMPARE(row.date, reading.at.toString(QStringLiteral("yyyy-MM-dd")));
        QCOMPARE(row.time, reading.at.toString(QStringLiteral("HH:mm:ss")));
        QCOMPARE(row.meavalue, reading.value.toDouble());
        QCOMPARE(row.unit, reading.unit);
        QCOMPARE(row.ems, 0.95);
    }
}

void TestCliLog::tenSecondRun()
{
    const auto sim = startSimulator(QStringLiteral("sim.log"));
    QVERIFY(sim->running());
    const QString file = path(QStringLiteral("run.klg"));
    CliProcess cli(path(QString()));
    const QDateTime started = QDateTime::currentDateTime();
    QVERIFY(cli.run(
        logArguments({QStringLiteral("--duration"), QStringLiteral("10s"), QStringLiteral("-o"), file})));
    const QDateTime ended = QDateTime::currentDateTime();
    QVERIFY2(cli.endedNormally() && cli.exitCode() == 0, qPrintable(cli.errorText()));

    // One reading a second: the first a second after the start.
    const QStringList lines = cli.lines();
    QVERIFY2(lines.size() >= 8 && lines.size() <= 11, qPrintable(lines.join(QLatin1Char('\n'))));
    QVERIFY(parseLine(lines.first()).at >= started.addSecs(-1));
    QVERIFY(parseLine(lines.last()).at <= ended);
    const QVector<MeasureRecord> rows = loadedRows(file);
    QCOMPARE(rows.size(), lines.size());
    verifyReadings(lines, rows);

    // The measurement window's poll at rate 1: "ATQ", then "ATR" on every
    // tick and no "ATA" until "ATU" ends the run.
    QTRY_COMPARE_WITH_TIMEOUT(sim->commands().value(sim->commands().size() - 1), QStringLiteral("ATU"), 3000);
    const QStringList commands = sim->commands();
    const int measure = int(commands.indexOf(QStringLiteral("ATQ")));
    QVERIFY(measure >= 0);
    const QStringList run = commands.mid(measure + 1, commands.size() - measure - 2);
    QCOMPARE(run.count(QStringLiteral("ATR")), run.size());
    // A reply still on its way when the run ended may be cut off by the end.
    QVERIFY(run.size() == lines.size() || run.size() == lines.size() + 1);
}

void TestCliLog::runEndsCleanly_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("extension");
    QTest::newRow("Ctrl-C") << QStringLiteral("SIGINT") << QStringLiteral("klg");
    QTest::newRow("terminated") << QStringLiteral("SIGTERM") << QStringLiteral("csv");
    // Nobody reads stdout any more (the end of a pipe): the run ends as on
    // Ctrl-C instead of being killed by the broken pipe before writing the file.
    QTest::newRow("stdout closed") << QStringLiteral("stdout") << QStringLiteral("klg");
}

void TestCliLog::runEndsCleanly()
{
    QFETCH(QString, ending);
    QFETCH(QString, extension);
    const auto sim = startSimulator(QStringLiteral("sim.log"));
    QVERIFY(sim->running());
    const QString file = path(QStringLiteral("run.") + extension);
    CliProcess cli(path(QString()));
    if (ending == QLatin1String("stdout")) {
        cli.startIntoHead(logArguments({QStringLiteral("-o"), file}), 3);
        QVERIFY(cli.waitForEnd(15000));
    } else {
        cli.start(logArguments({QStringLiteral("-o"), file}));
        QVERIFY2(cli.waitForLines(3, 10000), qPrintable(cli.errorText()));
        ::kill(pid_t(cli.pid()), ending == QLatin1String("SIGINT") ? SIGINT : SIGTERM);
        QVERIFY(cli.waitForEnd(10000));
    }
    const QStringList lines = cli.lines();
    QVERIFY2(cli.endedNormally() && cli.exitCode() == 0, qPrintable(cli.errorText()));
    QTRY_VERIFY_WITH_TIMEOUT(sim->commands().contains(QStringLiteral("ATU")), 3000);

    if (extension == QLatin1String("csv")) {
        // The whole run: every printed reading is a row.
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = csv.readAll().trimmed().split('\n');
        QCOMPARE(rows.size(), lines.size() + 1);
        for (int i = 0; i < lines.size(); ++i) {
            const PrintedReading reading = parseLine(lines.at(i));
            QCOMPARE(QString::fromUtf8(rows.at(i + 1)),
                     QStringLiteral("%1,%2,%3,%4,0.95,C")
                         .arg(i + 1)
                         .arg(reading.at.toString(QStringLiteral("yyyy-MM-dd")),
                              reading.at.toString(QStringLiteral("HH:mm:ss")), reading.value));
        }
        return;
    }
    // The reading whose line found the pipe closed is in the file only.
    const QVector<MeasureRecord> rows = loadedRows(file);
    QCOMPARE(rows.size(), lines.size() + (ending == QLatin1String("stdout") ? 1 : 0));
    verifyReadings(lines, rows.mid(0, lines.size()));
}

// A killed process (SIGKILL) has no chance to write the file at the end; the
// file written during the run holds the readings up to then. What a power
// cut leaves depends on the writes reaching the disk, which a kill cannot
// show: the system still writes out what the killed process had written.
void TestCliLog::killedRunLeavesTheLastSave()
{
    const auto sim = startSimulator(QStringLiteral("sim.log"));
    QVERIFY(sim->running());
    const QString file = path(QStringLiteral("run.klg"));
    CliProcess cli(path(QString()));
    cli.start(
        logArguments({QStringLiteral("-o"), file, QStringLiteral("--save-every"), QStringLiteral("2")}));
    QVERIFY2(cli.waitForLines(6, 15000), qPrintable(cli.errorText()));
    ::kill(pid_t(cli.pid()), SIGKILL);
    QVERIFY(cli.waitForEnd(5000));
    QVERIFY(!cli.endedNormally());

    const QStringList lines = cli.lines();
    const QVector<MeasureRecord> rows = loadedRows(file);
    // Saved every two seconds: at most the last few readings are missing.
    QVERIFY2(rows.size() >= lines.size() - 3, qPrintable(QString::number(rows.size())));
    verifyReadings(lines, rows);
}

// Two runs side by side for a little over a minute, each on a thermometer of
// its own: "--duration 1m" ends by itself after a minute of readings, while
// "--duration 1h" is still running then; the hour-long run, without
// --save-every, has rewritten its .klg file once after a minute and not
// before, so killing it keeps that minute's readings.
void TestCliLog::minuteAndHourDurationsAndTheMinuteSave()
{
    Simulator minuteSim(path(QStringLiteral("minute")), path(QStringLiteral("minute.log")), Ramp);
    const auto hourSim = startSimulator(QStringLiteral("hour.log"));
    QVERIFY(minuteSim.running() && hourSim->running());
    const QString file = path(QStringLiteral("hour.klg"));
    CliProcess minute(path(QString()));
    minute.start({QStringLiteral("log"), QStringLiteral("--port"), path(QStringLiteral("minute")),
                  QStringLiteral("--rate"), QStringLiteral("1"), QStringLiteral("--duration"),
                  QStringLiteral("1m")});
    CliProcess hour(path(QString()));
    hour.start(
        logArguments({QStringLiteral("--duration"), QStringLiteral("1h"), QStringLiteral("-o"), file}));

    // Forty seconds in, nothing is saved yet.
    QVERIFY2(hour.waitForLines(40, 60000), qPrintable(hour.errorText()));
    QVERIFY(!QFile::exists(file));

    QVERIFY(minute.waitForEnd(40000));
    QVERIFY2(minute.endedNormally() && minute.exitCode() == 0, qPrintable(minute.errorText()));
    const QStringList minuteLines = minute.lines();
    QVERIFY2(minuteLines.size() >= 50 && minuteLines.size() <= 61,
             qPrintable(minuteLines.join(QLatin1Char('\n'))));
    verifyReadings(minuteLines, {});

    // Three readings later the hour-long run goes on, its minute's save done.
    QVERIFY2(hour.waitForLines(int(minuteLines.size()) + 3, 15000), qPrintable(hour.errorText()));
    QCOMPARE(hour.process().state(), QProcess::Running);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), 5000);
    ::kill(pid_t(hour.pid()), SIGKILL);
    QVERIFY(hour.waitForEnd(5000));
    const QStringList lines = hour.lines();
    const QVector<MeasureRecord> rows = loadedRows(file);
    QVERIFY2(rows.size() >= 50 && rows.size() <= lines.size(), qPrintable(QString::number(rows.size())));
    verifyReadings(lines, rows);
}

// The thermometer goes away in the middle of a run and comes back at the same
// port: the run says so on stderr and goes on with the readings.
void TestCliLog::runGoesOnWhenTheThermometerIsBack()
{
    auto sim = startSimulator(QStringLiteral("before.log"));
    QVERIFY(sim->running());
    const QString file = path(QStringLiteral("run.klg"));
    CliProcess cli(path(QString()));
    cli.start(logArguments({QStringLiteral("-o"), file}));
    QVERIFY2(cli.waitForLines(2, 10000), qPrintable(cli.errorText()));
    sim.reset(); // unplugged
    QTRY_VERIFY_WITH_TIMEOUT(cli.errorText().contains(QStringLiteral("went away")), 5000);
    const int before = int(cli.lines().size());
    QTest::qWait(2000);
    sim = startSimulator(QStringLiteral("after.log"));
    QVERIFY(sim->running());
    QVERIFY2(cli.waitForLines(before + 2, 15000), qPrintable(cli.errorText()));
    ::kill(pid_t(cli.pid()), SIGINT);
    QVERIFY(cli.waitForEnd(10000));
    QVERIFY2(cli.endedNormally() && cli.exitCode() == 0, qPrintable(cli.errorText()));
    QVERIFY(cli.errorText().contains(QStringLiteral("is back")));

    // The second simulator starts its ramp anew; the file numbers on.
    const QStringList lines = cli.lines();
    const QVector<MeasureRecord> rows = loadedRows(file);
    QCOMPARE(rows.size(), lines.size());
    verifyReadings(lines.mid(0, before), rows.mid(0, before));
    for (int i = before; i < lines.size(); ++i) {
        QCOMPARE(parseLine(lines.at(i)).value, rampValue(i - before));
        QCOMPARE(rows.at(i).recno, qint64(i + 1));
        QCOMPARE(rows.at(i).meavalue, rampValue(i - before).toDouble());
    }
}

void TestCliLog::startFailures_data()
{
    QTest::addColumn<QStringList>("simulator"); // empty: no thermometer at the port
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QStringList none;
    const QStringList silent{QStringLiteral("--silent")};
    QTest::newRow("missing port") << none << QStringList() << 1 << QStringLiteral("cannot be opened");
    QTest::newRow("silent thermometer")
        << silent << QStringList() << 1 << QStringLiteral("No thermometer answers");
    QTest::newRow("rate 0") << Ramp << QStringList{QStringLiteral("--rate"), QStringLiteral("0")} << 2
                            << QStringLiteral("rate");
    QTest::newRow("rate too high") << Ramp << QStringList{QStringLiteral("--rate"), QStringLiteral("10000")}
                                   << 2 << QStringLiteral("rate");
    QTest::newRow("bad duration") << Ramp << QStringList{QStringLiteral("--duration"), QStringLiteral("10x")}
                                  << 2 << QStringLiteral("not a duration");
    QTest::newRow("no time") << Ramp << QStringList{QStringLiteral("--duration"), QStringLiteral("0s")} << 2
                             << QStringLiteral("not a duration");
    QTest::newRow("unknown format") << Ramp << QStringList{QStringLiteral("-o"), QStringLiteral("run.txt")}
                                    << 2 << QStringLiteral(".klg, .csv, .xls or .xlsx");
    QTest::newRow("missing folder") << Ramp
                                    << QStringList{QStringLiteral("-o"), QStringLiteral("nowhere/run.klg")}
                                    << 1 << QStringLiteral("nowhere");
}

void TestCliLog::startFailures()
{
    QFETCH(QStringList, simulator);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    std::unique_ptr<Simulator> sim;
    if (!simulator.isEmpty())
        sim = startSimulator(QStringLiteral("sim.log"), simulator);
    // Later options win over the defaults of logArguments.
    QStringList arguments = logArguments({QStringLiteral("-o"), QStringLiteral("run.klg")}) + options;
    // No file or folder is left behind, whichever output the row names.
    const auto entries = [this] {
        return QDir(path(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    const QStringList before = entries();
    CliProcess cli(path(QString()));
    QVERIFY(cli.run(arguments));
    QVERIFY(cli.endedNormally());
    QCOMPARE(cli.exitCode(), exitCode);
    QVERIFY2(cli.errorText().contains(message), qPrintable(cli.errorText()));
    QVERIFY(cli.lines().isEmpty());
    QCOMPARE(entries(), before);
    if (sim)
        QVERIFY(!sim->commands().contains(QStringLiteral("ATQ")));
}

QTEST_MAIN(TestCliLog)
#include "tst_clilog.moc"
