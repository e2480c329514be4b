// Killing the program (SIGKILL) at random moments while it writes: a log
// file save, the settings file, a spreadsheet export and readings committed
// one by one. The program here is this test itself started again as a child
// that repeats the operation through the program's own code and prints on
// stdout what each finished operation stored. After every kill the file
// last reported is still whole (the one before or a newer one, never a cut
// one) and the database opens and holds every row reported as committed.
//
// KELVORA_KILL_SEED=<n> repeats a run; KELVORA_KILLS=<n> sets the kills per
// operation.
#include "biff5records.h"

#include "devicelink/settingsfile.h"
#include "devicelink/systemvars.h"
#include "measure/measuregrid.h"
#include "output/DBGridEhToExcel.h"
#include "store/kelvoradatabase.h"
#include "store/logfileformat.h"
#include "store/logfilesave.h"
#include "store/measuretable.h"
#include "store/measuretablemodel.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstdio>

namespace {

const QString LogName = QStringLiteral("run.klg");
const QString SettingsName = QStringLiteral("KELVORA.INI");
const QString SheetName = QStringLiteral("sheet.XLS");
const QString DatabaseName = QStringLiteral("Kelvora.mdb");
constexpr int TableRows = 20000; // enough to make one save take a while

MeasureRecord reading(qint64 recno)
{
    return MeasureRecord{recno,
                         QStringLiteral("2026-12-10"),
                         QStringLiteral("10:%1:%2")
                             .arg(recno / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(recno % 60, 2, 10, QLatin1Char('0')),
                         0.95,
                         20.0 + recno % 500 / 10.0,
                         QStringLiteral("C")};
}

void report(qint64 value)
{
    std::printf("%lld\n", static_cast<long long>(value));
    std::fflush(stdout);
}

void fill(KelvoraDatabase &db, MeasureTable &table)
{
    QVector<MeasureRecord> rows;
    for (int i = 1; i <= TableRows; ++i)
        rows << reading(i);
    db.beginBulk();
    table.appendAll(rows);
    db.commitBulk();
}

QString settingsPort(qint64 version)
{
    return QStringLiteral("COM%1").arg(version);
}

// The child: repeats one operation for ever, reporting after each.
int runChild(const QString &operation, const QString &folder)
{
    QDir::setCurrent(folder);
    if (operation == QLatin1String("settings")) {
        TSystemVars vars;
        SettingsFile::load(SettingsName, vars);
        for (qint64 version = 0;; ++version) {
            vars.serialPort = settingsPort(version);
            if (!SettingsFile::save(SettingsName, vars))
                return 1;
            report(version);
        }
    }
    KelvoraDatabase db;
    db.open(DatabaseName);
    MeasureTable table(db, QStringLiteral("MeaData"));
    table.emptyTable();
    table.open();
    if (operation == QLatin1String("commit")) {
        for (qint64 recno = 1;; ++recno) {
            table.append(reading(recno));
            report(recno);
        }
    }
    fill(db, table);
    // The export as the command runs it once the user has agreed to replace
    // the file.
    MeasureGrid grid(table);
    TDBGridEhToExcel exporter;
    exporter.SetDBGridEh(&grid);
    exporter.SetFileName(SheetName);
    exporter.SetReplaceAgreed(true);
    for (qint64 recno = TableRows + 1;; ++recno) {
        if (operation == QLatin1String("log")) {
            if (saveMeasureLog(table, LogName).outcome != LogSaveOutcome::Written)
                return 1;
        } else if (exporter.ExportFile().outcome != TDBGridEhToExcel::Outcome::Written) {
            return 1;
        }
        report(table.recordCount());
        table.append(reading(recno));
    }
}

// Rows of a whole log file; -1 when it is cut or malformed.
qint64 logFileRows(const QByteArray &bytes)
{
    if (!bytes.endsWith("\r\n"))
        return -1;
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    if (lines.size() < 2 || lines.at(0) != QByteArray(LogFile::Header) + '\r' ||
        !lines.at(1).startsWith(LogFile::TotalPrefix))
        return -1;
    const qint64 total = lines.at(1).mid(qstrlen(LogFile::TotalPrefix)).trimmed().toLongLong();
    if (total != lines.size() - 2 || lines.last().count(',') != 4)
        return -1;
    return total;
}

// Rows of a whole sheet; -1 when it is cut.
qint64 sheetRows(const QByteArray &bytes)
{
    const QList<Biff5Record> records = biff5Records(bytes);
    const qint64 fixed = 1 + 1 + MeasureTableModel::ColumnCount + 1;
    if (records.size() < fixed || records.last().type != 0x000A ||
        (records.size() - fixed) % MeasureTableModel::ColumnCount != 0)
        return -1;
    return (records.size() - fixed) / MeasureTableModel::ColumnCount;
}

QByteArray fileContent(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestKilling : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void killedWhileWriting_data();
    void killedWhileWriting();

private:
    // What the file or database holds after a kill: the reported version it
    // shows, or an error text.
    qint64 storedVersion(const QString &operation, const QDir &folder, QString *error);

    quint32 m_seed = 0;
    int m_kills = 100;
};

void TestKilling::initTestCase()
{
    bool ok = false;
    m_seed = qEnvironmentVariable("KELVORA_KILL_SEED").toUInt(&ok);
    if (!ok)
        m_seed = QRandomGenerator::global()->generate();
    const int kills = qEnvironmentVariableIntValue("KELVORA_KILLS", &ok);
    if (ok && kills > 0)
        m_kills = kills;
    qInfo("KELVORA_KILL_SEED=%u KELVORA_KILLS=%d", m_seed, m_kills);
}

void TestKilling::killedWhileWriting_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("maxDelayMs"); // kills fall between 0 and this after the first report
    QTest::newRow("log file save") << QStringLiteral("log") << 400;
    QTest::newRow("settings file") << QStringLiteral("settings") << 100;
    QTest::newRow("spreadsheet export") << QStringLiteral("export") << 400;
    QTest::newRow("committed readings") << QStringLiteral("commit") << 300;
}

void TestKilling::killedWhileWriting()
{
    QFETCH(QString, operation);
    QFETCH(int, maxDelayMs);
    QRandomGenerator random(m_seed ^ qHash(operation));
    QTemporaryDir dir;
    const QDir folder(dir.path());
    qint64 lastReported = -1;
    int lost = 0;
    for (int kill = 0; kill < m_kills; ++kill) {
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QStringLiteral("--child"), operation, dir.path()});
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start();
        QVERIFY2(child.waitForReadyRead(60000), "the child reported nothing");
        QThread::msleep(random.bounded(maxDelayMs + 1));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
        const qint64 reported = lines.last().toLongLong();
        QString error;
        const qint64 stored = storedVersion(operation, folder, &error);
        if (!error.isEmpty() || stored < reported) {
            ++lost;
            qWarning("kill %d: reported %lld, stored %lld %s", kill, static_cast<long long>(reported),
                     static_cast<long long>(stored), qPrintable(error));
        }
        lastReported = reported;
    }
    qInfo("%s: %d kills, %d lost, last version %lld", qPrintable(operation), m_kills, lost,
          static_cast<long long>(lastReported));
    QCOMPARE(lost, 0);
}

qint64 TestKilling::storedVersion(const QString &operation, const QDir &folder, QString *error)
{
    if (operation == QLatin1String("log")) {
        const qint64 rows = logFileRows(fileContent(folder.filePath(LogName)));
        if (rows < 0)
            *error = QStringLiteral("cut log file");
        return rows;
    }
    if (operation == QLatin1String("export")) {
        const qint64 rows = sheetRows(fileContent(folder.filePath(SheetName)));
        if (rows < 0)
            *error = QStringLiteral("cut sheet");
        return rows;
    }
    if (operation == QLatin1String("settings")) {
        TSystemVars vars;
        if (SettingsFile::load(folder.filePath(SettingsName), vars) != SettingsFile::LoadResult::Loaded) {
            *error = QStringLiteral("settings file unreadable");
            return -1;
        }
        // The file must be exactly what a save of that version writes.
        QTemporaryDir refDir;
        const QString ref = QDir(refDir.path()).filePath(SettingsName);
        const QString port = vars.serialPort;
        TSystemVars fresh;
        SettingsFile::load(ref, fresh);
        fresh.serialPort = settingsPort(0);
        SettingsFile::save(ref, fresh);
        fresh.serialPort = port;
        SettingsFile::save(ref, fresh);
        if (fileContent(ref) != fileContent(folder.filePath(SettingsName)))
            *error = QStringLiteral("settings file differs from a whole save of ") + port;
        return port.mid(3).toLongLong();
    }
    // Committed readings: the database opens whole and holds rows 1..n.
    const QString name = QStringLiteral("killcheck");
    qint64 rows = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(folder.filePath(DatabaseName));
        QSqlQuery query(db);
        if (!db.open() || !query.exec(QStringLiteral("PRAGMA integrity_check")) || !query.next() ||
            query.value(0).toString() != QLatin1String("ok")) {
            *error = QStringLiteral("database damaged");
        } else if (!query.exec(QStringLiteral("SELECT count(*), min(recno), max(recno), "
                                              "count(DISTINCT recno) FROM MeaData")) ||
                   !query.next()) {
            *error = QStringLiteral("MeaData unreadable");
        } else {
            rows = query.value(0).toLongLong();
            if (rows > 0 && (query.value(1).toLongLong() != 1 || query.value(2).toLongLong() != rows ||
                             query.value(3).toLongLong() != rows))
                *error = QStringLiteral("MeaData has holes or doubles");
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0) {
        QApplication app(argc, argv);
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    TestKilling test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killing.moc"
