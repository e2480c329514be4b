// Creation and closing of the device-link module: tables emptied, report
// layout checked, settings read at start and written at the end.
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "enginefailure.h"
#include "linkfixture.h"
#include "store/runrecovery.h"

#include <QtTest>

class TestDeviceLinkModule : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = std::make_unique<ProgramEnv>(); }
    void cleanup() { m_env.reset(); }

    void creationReadsSettingsAndEnablesCommands();
    void rowsOfAnEarlierRunAreGone();
    void tableThatCannotBeEmptiedStopsCreation();
    void unsavableRowsOfAKilledRunAreKept();
    void missingReportLayoutStopsCreationAndKeepsSettings();
    void unreadableSettingsFile_data();
    void unreadableSettingsFile();
    void emptyPortNameReportedOnce_data();
    void emptyPortNameReportedOnce();
    void awaitedReplyGivenUpAfterItsCountdown();
    void closingWritesSettings();
    void closingReportsUnwritableSettings();
    void windowMessagesReachOnlyLiveWindows();

private:
    std::unique_ptr<ProgramEnv> m_env;
};

void TestDeviceLinkModule::creationReadsSettingsAndEnablesCommands()
{
    m_env->dir.writeFile("KELVORA.INI", "[Kelvora OPTIONS]\nSEARIAL_PORT=COM3\nHAL_VALUE=65335\n");
    TForm6 link;
    link.FormCreate();
    QCOMPARE(SystemVars.serialPort, QStringLiteral("COM3"));
    QCOMPARE(SystemVars.halValue, -200);
    QCOMPARE(SystemVars.samplePeriod, 5);
    QVERIFY(SystemVars.measureMenuEnabled && SystemVars.importMenuEnabled && SystemVars.setupMenuEnabled);
    QVERIFY(!SystemVars.aboutMenuEnabled);
    QVERIFY(!SystemVars.portOpen); // the first poll tick opens the port
    QVERIFY(link.Timer1.enabled());
    QVERIFY(!link.Timer2.enabled());
    QCOMPARE(link.reportProjectFile(), m_env->dir.path("Kelvora_en.rav"));
    QVERIFY(QFile::exists(m_env->dir.path("Kelvora.mdb")));
    QVERIFY(m_env->dialogs.shown.isEmpty());
}

void TestDeviceLinkModule::rowsOfAnEarlierRunAreGone()
{
    {
        TForm6 earlier;
        earlier.FormCreate();
        for (MeasureTable *table : {&earlier.Table1, &earlier.Table2, &earlier.Table3})
            table->append(MeasureRecord{1, "2026-12-10", "10:00:00", 0.95, 25.0, "C"});
        earlier.FormClose();
    }
    TForm6 link;
    link.FormCreate();
    for (MeasureTable *table : {&link.Table1, &link.Table2, &link.Table3}) {
        QVERIFY(table->isActive());
        QCOMPARE(table->recordCount(), 0);
    }
}

// The engine's reason ends creation before the settings: the device
// commands stay disabled, no port is tried, and the unread settings are not
// written back over the user's file.
void TestDeviceLinkModule::tableThatCannotBeEmptiedStopsCreation()
{
    const QByteArray settings = "[Kelvora OPTIONS]\r\nSEARIAL_PORT=COM2\r\n";
    m_env->dir.writeFile("KELVORA.INI", settings);
    TForm6 link;
    link.Database1.open();
    QSqlQuery row(link.Database1.connection());
    QVERIFY(row.exec(
        QStringLiteral("INSERT INTO GetRecorde VALUES (1, '2026-12-10', '10:00:00', 0.95, 25.0, 'C')")));
    EngineFailure engine(EngineFailure::AbortingTrigger, link.Database1,
                         QStringLiteral("DELETE ON GetRecorde"), QStringLiteral("1"));
    QVERIFY(engine.armed());

    QString error;
    try {
        link.FormCreate();
    } catch (const DatabaseError &e) {
        error = e.text();
    }
    QVERIFY2(error.contains(engine.reason()), qPrintable(error));
    QVERIFY(SystemVars.serialPort.isEmpty());
    QVERIFY(!SystemVars.measureMenuEnabled && !SystemVars.importMenuEnabled && !SystemVars.setupMenuEnabled);

    link.Timer1Timer();
    QVERIFY(!SystemVars.portOpen);
    link.FormClose();
    QCOMPARE(m_env->dir.readFile("KELVORA.INI"), settings);
    QVERIFY(m_env->dialogs.shown.isEmpty());
}

// A run that ended without its close left rows whose file cannot be written
// (folders in the way of every name the next seconds give): the failure is
// told and the tables keep their rows.
void TestDeviceLinkModule::unsavableRowsOfAKilledRunAreKept()
{
    {
        TForm6 killed;
        killed.FormCreate();
        killed.Table1.append(MeasureRecord{1, "2026-12-10", "10:00:00", 0.95, 25.0, "C"});
    }
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 5; ++s)
        QVERIFY(QDir(m_env->dir.path(".")).mkdir(RunRecovery::fileName(now.addSecs(s))));
    TForm6 link;
    link.FormCreate();
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("Recovered Readings"));
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    QVERIFY2(m_env->dialogs.shown[0].text.contains(QStringLiteral("could not be saved")),
             qPrintable(m_env->dialogs.shown[0].text));
    QVERIFY(link.Table1.isActive());
    QCOMPARE(link.Table1.recordCount(), 1);
}

void TestDeviceLinkModule::missingReportLayoutStopsCreationAndKeepsSettings()
{
    QVERIFY(QFile::remove(m_env->dir.path("Kelvora_en.rav")));
    const QByteArray settings = "[Kelvora OPTIONS]\r\nSEARIAL_PORT=COM2\r\nEMS=80\r\n";
    m_env->dir.writeFile("KELVORA.INI", settings);
    TForm6 link;
    link.FormCreate();
    QCOMPARE(m_env->dialogs.texts(), QStringList{"Kelvora_en.rav Destroied"});
    QCOMPARE(m_env->dialogs.shown[0].caption, QString());
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(SystemVars.serialPort.isEmpty());
    QVERIFY(!SystemVars.measureMenuEnabled && !SystemVars.importMenuEnabled && !SystemVars.setupMenuEnabled);

    // No port configured: the poll tries nothing and tells nothing.
    link.Timer1Timer();
    QVERIFY(!SystemVars.portOpen);
    QCOMPARE(m_env->dialogs.shown.size(), 1);

    // The unread settings must not be written back over the user's file.
    link.FormClose();
    QCOMPARE(m_env->dir.readFile("KELVORA.INI"), settings);
    QCOMPARE(m_env->dialogs.shown.size(), 1);
}

void TestDeviceLinkModule::unreadableSettingsFile_data()
{
    QTest::addColumn<bool>("directory");
    QTest::newRow("a directory in its place") << true;
    // Opens, but every read fails with an I/O error, for root too.
    QTest::newRow("reading fails") << false;
}

// Nothing is read, the user is told at start and again at the end, and the
// file is left as it is.
void TestDeviceLinkModule::unreadableSettingsFile()
{
    QFETCH(bool, directory);
    const QString ini = m_env->dir.path("KELVORA.INI");
    if (directory)
        QVERIFY(QDir(m_env->dir.path(".")).mkdir("KELVORA.INI"));
    else
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), ini));

    TForm6 link;
    link.FormCreate();
    // The close removes the marker of the running program and nothing else.
    QStringList before = QDir(m_env->dir.path(".")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    QVERIFY(before.removeOne(QString::fromLatin1(RunRecovery::MarkerFileName)));
    QCOMPARE(m_env->dialogs.texts(), QStringList{"KELVORA.INI  Destroied"});
    QCOMPARE(m_env->dialogs.shown[0].caption, QString());
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(SystemVars.serialPort.isEmpty());
    QCOMPARE(SystemVars.samplePeriod, 0);
    QVERIFY(!SystemVars.measureMenuEnabled);

    link.FormClose();
    QVERIFY(!SystemVars.portOpen);
    QCOMPARE(m_env->dialogs.texts(),
             (QStringList{"KELVORA.INI  Destroied", "The KELVORA.INI file  have been damaged"}));
    QCOMPARE(m_env->dialogs.shown[1].caption, QStringLiteral("File Error Information"));
    QCOMPARE(m_env->dialogs.shown[1].icon, Dialogs::Icon::Error);
    QCOMPARE(QFileInfo(ini).isDir(), directory);
    QCOMPARE(QFileInfo(ini).symLinkTarget(), directory ? QString() : QStringLiteral("/proc/self/mem"));
    QCOMPARE(QDir(m_env->dir.path(".")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
}

void TestDeviceLinkModule::emptyPortNameReportedOnce_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("empty value") << QByteArray("[Kelvora OPTIONS]\nSEARIAL_PORT=\n");
    QTest::newRow("blanks only") << QByteArray("[Kelvora OPTIONS]\nSEARIAL_PORT=   \n");
}

// A configured but empty port name is a port that cannot be opened: told
// once, tried on every tick.
void TestDeviceLinkModule::emptyPortNameReportedOnce()
{
    QFETCH(QByteArray, settings);
    m_env->dir.writeFile("KELVORA.INI", settings);
    TForm6 link;
    link.FormCreate();
    link.Timer1.setEnabled(false);
    QVERIFY(SystemVars.serialPort.trimmed().isEmpty());

    for (int tick = 0; tick < 3; ++tick) {
        link.Timer1Timer();
        QCoreApplication::processEvents(); // the box is shown after the tick
        QVERIFY(!SystemVars.portOpen);
    }
    QCOMPARE(m_env->dialogs.texts(),
             QStringList{"Can not open COM port, please confirm COM port is not being occupied by another "
                         "device.\rOr try another COM port."});
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("Serial Port Error"));
    QVERIFY(SystemVars.portErrorShown);
}

// Each tick counts the awaited reply down; at 0 the next tick gives it up.
// While a window holds the thermometer the poll itself sends nothing.
void TestDeviceLinkModule::awaitedReplyGivenUpAfterItsCountdown()
{
    TForm6 link;
    link.FormCreate();
    link.Timer1.setEnabled(false);
    SystemVars.portOpen = true;
    SystemVars.commState = CommMeasuring;
    SystemVars.awaitingReply = true;
    SystemVars.replyCountdown = 2;

    QList<QPair<bool, int>> afterTicks;
    for (int tick = 0; tick < 4; ++tick) {
        link.Timer1Timer();
        afterTicks.append({SystemVars.awaitingReply, SystemVars.replyCountdown});
    }
    const QList<QPair<bool, int>> expected{{true, 1}, {true, 0}, {false, 0}, {false, 0}};
    QCOMPARE(afterTicks, expected);
}

void TestDeviceLinkModule::closingWritesSettings()
{
    m_env->dir.writeFile("KELVORA.INI", "[Other]\nkeep=me\n[Kelvora OPTIONS]\nALARMONOFF=0\n");
    TForm6 link;
    link.FormCreate();
    QVERIFY(!SystemVars.alarmOn);
    SystemVars.systemLal = -12.35;
    SystemVars.companyName = QStringLiteral("Acme Labs");
    link.FormClose();
    QVERIFY(!SystemVars.portOpen);
    QVERIFY(!link.Timer1.enabled());

    const QString written = QString::fromUtf8(m_env->dir.readFile("KELVORA.INI"));
    QVERIFY(written.startsWith("[Other]\nkeep=me\n[Kelvora OPTIONS]\nCOMPANY_NAME=Acme Labs\n"));
    QVERIFY(written.contains("\nSYSTEMLAL=-123\n"));
    QVERIFY(written.contains("\nALARMONOFF=0\n"));
    QVERIFY(m_env->dialogs.shown.isEmpty());
    link.FormClose(); // a second close does nothing
    QVERIFY(m_env->dialogs.shown.isEmpty());
}

void TestDeviceLinkModule::closingReportsUnwritableSettings()
{
    TForm6 link;
    link.FormCreate();
    // The file's place is taken by a directory: the write must fail.
    QVERIFY(QDir(m_env->dir.path(".")).mkdir("KELVORA.INI"));
    link.FormClose();
    QCOMPARE(m_env->dialogs.texts(), QStringList{"The KELVORA.INI file  have been damaged"});
    QCOMPARE(m_env->dialogs.shown[0].caption, QStringLiteral("File Error Information"));
    QCOMPARE(m_env->dialogs.shown[0].icon, Dialogs::Icon::Error);
}

namespace {
class MessageCounter : public QObject {
public:
    QList<int> received;
    bool event(QEvent *e) override
    {
        if (e->type() == WM_NEWREADING || e->type() == WM_CHANGEUNIT) {
            received << int(e->type());
            return true;
        }
        return QObject::event(e);
    }
};
} // namespace

void TestDeviceLinkModule::windowMessagesReachOnlyLiveWindows()
{
    TForm6 link;
    link.FormCreate();
    auto *window = new MessageCounter;
    SystemVars.measureWindow = window;

    SystemVars.appendReceived(QByteArray("ATR00250") + char(95));
    link.Timer2Timer();
    QCOMPARE(window->received, QList<int>{1124});
    QCOMPARE(SystemVars.lastValue, 250);
    QVERIFY(SystemVars.connected);
    QCOMPARE(SystemVars.rxCount, 0);

    delete window; // a closed window receives nothing, and nothing breaks
    SystemVars.appendReceived(QByteArray("ATR00260") + char(95));
    link.Timer2Timer();
    QCOMPARE(SystemVars.lastValue, 260);
}

QTEST_GUILESS_MAIN(TestDeviceLinkModule)
#include "tst_devicelinkmodule.moc"
