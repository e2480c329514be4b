// A live run killed (SIGKILL) while it records: the next start writes the
// readings that were in MeaData to a "Recovered ..." log file, says where in
// one message and empties the tables; a run that went through the program's
// own close leaves nothing to recover. The run is this test started again
// as a child holding the real device link and measurement window, reading
// from the simulator and printing the row count after every reading. The
// recovered file is compared with the readings the simulator answered.
#include "../store/logfiletestsupport.h"
#include "linkfixture.h"

#include "common/apppaths.h"
#include "measure/Measuring.h"
#include "store/logfilereader.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include <cstdio>

namespace {

constexpr int RowsBeforeEnd = 3;

// The child: a live run in folder, every second, until it is killed or,
// with close, until it has RowsBeforeEnd rows and closes as the program does.
int runChild(const QString &folder, bool close)
{
    AppPaths::setExecutableDir(folder);
    QDir::setCurrent(folder);
    TForm6 link;
    link.FormCreate();
    SystemVars.unitCelsius = true;
    auto *window = new TForm5;
    SystemVars.measureWindow = window;
    window->show();
    QObject::connect(&link.Table1, &MeasureTable::rowsAppended, window, [&link, close] {
        std::printf("%d\n", link.Table1.recordCount());
        std::fflush(stdout);
        if (close && link.Table1.recordCount() >= RowsBeforeEnd) {
            link.FormClose();
            std::_Exit(0); // no window closes, so no question about saving
        }
    });
    const QDeadlineTimer deadline(10000);
    while (!SystemVars.settingsRead && !deadline.hasExpired())
        QTest::qWait(50);
    window->Edit2->setText(QStringLiteral("1"));
    window->BitBtn1->click();
    return QApplication::exec();
}

QStringList recoveredFiles(const ProgramEnv &env)
{
    return QDir(env.dir.path(QString())).entryList({QStringLiteral("Recovered *.klg")}, QDir::Files);
}

} // namespace

class TestRecoveredRun : public QObject {
    Q_OBJECT
private slots:
    void nextStartRecoversTheReadings_data();
    void nextStartRecoversTheReadings();
};

void TestRecoveredRun::nextStartRecoversTheReadings_data()
{
    QTest::addColumn<bool>("killed");
    QTest::newRow("killed during the run") << true;
    QTest::newRow("closed by the program") << false;
}

void TestRecoveredRun::nextStartRecoversTheReadings()
{
    QFETCH(bool, killed);
    ProgramEnv env;
    const QString port = env.dir.path(QStringLiteral("thermometer"));
    // Readings 20.0, 21.5, 23.0, ... degrees Celsius at emissivity 0.95.
    const QString answers = env.dir.path(QStringLiteral("answers.log"));
    Simulator sim(port, env.dir.path(QStringLiteral("sim.log")),
                  {QStringLiteral("--profile"), QStringLiteral("ramp:200:15"), QStringLiteral("--answer-log"),
                   answers});
    QVERIFY(sim.running());
    env.dir.writeSettings(port);

    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments(
        {killed ? QStringLiteral("--kill-me") : QStringLiteral("--close"), env.dir.path(QString())});
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Row stamps are whole seconds.
    const QDateTime started = QDateTime::currentDateTime().addMSecs(-999);
    child.start();
    int reported = 0;
    const QDeadlineTimer deadline(30000);
    while (reported < RowsBeforeEnd && child.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        if (child.waitForReadyRead(1000))
            for (const QByteArray &line : child.readAllStandardOutput().trimmed().split('\n'))
                reported = qMax(reported, line.toInt());
    }
    if (killed) {
        bool fixed = false;
        quint32 seed = qEnvironmentVariable("KELVORA_KILL_SEED").toUInt(&fixed);
        if (!fixed)
            seed = QRandomGenerator::global()->generate();
        const int delay = QRandomGenerator(seed).bounded(1000);
        qInfo("killed %d ms after reading %d (KELVORA_KILL_SEED=%u)", delay, reported, seed);
        QThread::msleep(delay);
        child.kill();
    }
    QVERIFY(child.waitForFinished(10000));
    const QDateTime ended = QDateTime::currentDateTime();
    for (const QByteArray &line : child.readAllStandardOutput().trimmed().split('\n'))
        reported = qMax(reported, line.toInt());
    QVERIFY2(reported >= RowsBeforeEnd, "the live run stored too few readings");
    const int answered = int(Simulator::commandsIn(answers).count(QStringLiteral("ATR")));

    TForm6 link;
    link.FormCreate();
    QCOMPARE(link.Table1.recordCount(), 0);
    if (!killed) {
        QCOMPARE(env.dialogs.shown.size(), 0);
        QCOMPARE(recoveredFiles(env), QStringList());
        return;
    }
    QCOMPARE(recoveredFiles(env).size(), 1);
    const QString file = env.dir.path(recoveredFiles(env).first());
    QCOMPARE(env.dialogs.shown.size(), 1);
    const ScriptedDialogs::Shown &message = env.dialogs.shown.first();
    QCOMPARE(message.icon, Dialogs::Icon::Information);
    QCOMPARE(message.caption, QStringLiteral("Recovered Readings"));
    QVERIFY2(message.text.endsWith(QStringLiteral("saved as\r") + file), qPrintable(message.text));

    // The file holds the answered readings in order: every one that the run
    // reported as stored, and at most the last answer, on its way when the
    // run was killed, missing.
    QVERIFY(loadLogFile(file, link.Database1, link.Table3, 1, true).accepted);
    const QVector<MeasureRecord> rows = link.Table3.rows();
    QVERIFY2(rows.size() >= reported, qPrintable(QStringLiteral("%1 rows").arg(rows.size())));
    QVERIFY2(rows.size() == answered || rows.size() == answered - 1,
             qPrintable(QStringLiteral("%1 rows, %2 readings answered").arg(rows.size()).arg(answered)));
    QDateTime previous = started;
    for (int i = 0; i < rows.size(); ++i) {
        const MeasureRecord &row = rows.at(i);
        QCOMPARE(row.recno, qint64(i + 1));
        QCOMPARE(row.meavalue, 20.0 + 1.5 * i);
        QCOMPARE(row.ems, 0.95);
        QCOMPARE(row.unit, QStringLiteral("C"));
        const QDateTime stamp = QDateTime::fromString(row.date + QLatin1Char(' ') + row.time,
                                                      QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QVERIFY2(stamp >= previous && stamp <= ended, qPrintable(rowText(row)));
        previous = stamp;
    }
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && (qstrcmp(argv[1], "--kill-me") == 0 || qstrcmp(argv[1], "--close") == 0))
        return runChild(QString::fromLocal8Bit(argv[2]), qstrcmp(argv[1], "--close") == 0);
    TestRecoveredRun test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recoveredrun.moc"
