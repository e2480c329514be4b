// One instance of the program at a time: the lock itself, and the program
// started while it already runs.
#include "shell/logic/instancelock.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

const QByteArray RefusalText = "sorry, this program only run one instance at a time!";
const QByteArray PortErrorCaption = "Serial Port Error";

// A started instance and what it has written on stderr so far.
struct Instance {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QByteArray said;

    QByteArray errors()
    {
        said += process->readAllStandardError();
        return said;
    }
};

// A copy of the program in a directory of its own (settings file, report
// layout, database, temporary directory for the lock), so that nothing of the
// build tree or of a running instance is touched.
class ProgramCopy {
public:
    ProgramCopy()
    {
        QDir dir(m_dir.path());
        dir.mkdir(QStringLiteral("tmp"));
        QFile::copy(QStringLiteral(KELVORA_PROGRAM_PATH), path("kelvora"));
        write("Kelvora_en.rav", "layout\n");
        // A port that cannot be opened: its error tells that start-up is over.
        write("KELVORA.INI", "[Kelvora OPTIONS]\nSEARIAL_PORT=" + path("no-port").toUtf8() + "\n");
    }
    bool valid() const { return QFileInfo(path("kelvora")).isExecutable(); }
    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }
    QString lockFile() const { return path("tmp/Kelvora.lock"); }
    void write(const QString &name, const QByteArray &content) const
    {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
    }
    QByteArray read(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // An instance started from the program's directory on the headless platform.
    Instance start() const
    {
        Instance instance;
        QProcess *process = instance.process.get();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), path("tmp"));
        env.insert(QStringLiteral("ODBCINI"), path("odbc.ini"));
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(m_dir.path());
        process->start(path("kelvora"), QStringList());
        return instance;
    }

    int measureRows() const
    {
        KelvoraDatabase db;
        db.open(path("Kelvora.mdb"));
        MeasureTable table(db, QStringLiteral("MeaData"));
        table.open();
        return table.recordCount();
    }
    void addMeasureRow() const
    {
        KelvoraDatabase db;
        db.open(path("Kelvora.mdb"));
        MeasureTable table(db, QStringLiteral("MeaData"));
        table.open();
        table.append(MeasureRecord{1, "2026-12-10", "10:00:00", 0.95, 25.0, "C"});
    }

private:
    QTemporaryDir m_dir;
};

} // namespace

class TestInstanceLock : public QObject {
    Q_OBJECT
private slots:
    void applicationTitle_data();
    void applicationTitle();
    void secondHolderIsRefused();
    void secondProgramIsRefused();
};

void TestInstanceLock::applicationTitle_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("title");
    QTest::newRow("Linux build") << "/opt/kelvora/bin/kelvora" << "Kelvora";
    QTest::newRow("Windows build") << "C:/Program Files/Kelvora/KELVORA.EXE" << "Kelvora";
    QTest::newRow("renamed copy") << "/tmp/logger.v2.bin" << "Logger.v2";
}

void TestInstanceLock::applicationTitle()
{
    QFETCH(QString, executable);
    QFETCH(QString, title);
    QCOMPARE(::applicationTitle(executable), title);
}

void TestInstanceLock::secondHolderIsRefused()
{
    QTemporaryDir tmp;
    qputenv("TMPDIR", tmp.path().toUtf8());
    {
        InstanceLock first(QStringLiteral("Kelvora"));
        QVERIFY(first.tryAcquire());
        QCOMPARE(QFileInfo(first.fileName()).dir().path(), tmp.path());

        InstanceLock second(QStringLiteral("Kelvora"));
        QVERIFY(!second.tryAcquire());
        InstanceLock otherProgram(QStringLiteral("Other"));
        QVERIFY(otherProgram.tryAcquire());
    }
    // Released with its holder.
    InstanceLock later(QStringLiteral("Kelvora"));
    QVERIFY(later.tryAcquire());
    qunsetenv("TMPDIR");
}

void TestInstanceLock::secondProgramIsRefused()
{
    ProgramCopy program;
    QVERIFY(program.valid());

    // An instance that crashed leaves its lock behind; it must not block.
    {
        Instance crashed = program.start();
        QVERIFY(crashed.process->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(program.lockFile()), 10000);
        crashed.process->kill();
        QVERIFY(crashed.process->waitForFinished());
        QVERIFY(QFile::exists(program.lockFile()));
    }

    Instance first = program.start();
    QTRY_VERIFY_WITH_TIMEOUT(first.errors().contains(PortErrorCaption), 15000);
    QVERIFY(!first.errors().contains(RefusalText));
    program.addMeasureRow();

    Instance second = program.start();
    QVERIFY(second.process->waitForFinished(15000));
    QCOMPARE(second.process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process->exitCode(), 0);
    const QByteArray said = second.errors();
    QVERIFY2(said.contains(RefusalText), said.constData());
    QVERIFY2(!said.contains(PortErrorCaption), said.constData());

    // The running instance and its tables are untouched.
    QCOMPARE(first.process->state(), QProcess::Running);
    QCOMPARE(program.measureRows(), 1);

    // Terminated, it closes as Exit does: settings written, lock released.
    ::kill(static_cast<pid_t>(first.process->processId()), SIGTERM);
    QVERIFY(first.process->waitForFinished(15000));
    QCOMPARE(first.process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.process->exitCode(), 0);
    QVERIFY2(program.read("KELVORA.INI").contains("SAMPLE_PERIOD="), program.read("KELVORA.INI").constData());
    QVERIFY(!QFile::exists(program.lockFile()));
}

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "tst_instancelock.moc"
