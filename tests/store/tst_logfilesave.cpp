// The two windows' saves: the name rule, the dialogs and overwrite questions
// with their exact texts, and the outcomes the windows map to their buttons
// and to their own unsaved state.
#include "logfiletestsupport.h"

#include "common/savesuggestion.h"
#include "store/logfilesave.h"

#include <QtTest>

Q_DECLARE_METATYPE(LogSaveOutcome)

class TestLogFileSave : public QObject {
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<LogFileEnv>(); }
    void cleanup() { m_env.reset(); }

    void nameRule_data();
    void nameRule();
    void saves_data();
    void saves();
    void failedWriteThrowsNamingTheFile_data();
    void failedWriteThrowsNamingTheFile();

private:
    std::unique_ptr<LogFileEnv> m_env;
};

void TestLogFileSave::nameRule_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("path");

    QTest::newRow("bare name") << "/tmp/x" << "/tmp/x.klg";
    QTest::newRow("relative bare name") << "run" << "run.klg";
    QTest::newRow("point in a folder name") << "/home/u/data.old/run1" << "/home/u/data.old/run1";
    QTest::newRow("relative point in folder") << "a.b/run" << "a.b/run";
    QTest::newRow("own extension") << "/tmp/run.txt" << "/tmp/run.txt";
    QTest::newRow("upper-case extension") << "/tmp/run.KLG" << "/tmp/run.KLG";
    QTest::newRow("trailing point") << "/tmp/run." << "/tmp/run.";
}

void TestLogFileSave::nameRule()
{
    QFETCH(QString, chosen);
    QTEST(withLogExtension(chosen), "path");
}

void TestLogFileSave::saves_data()
{
    QTest::addColumn<bool>("measureWindow");
    QTest::addColumn<QString>("editPath");  // the measurement window's Edit1
    // Answer of the save dialog (empty cancels), relative to the working
    // directory, so that no point in the test folder's path meets the rule.
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("fileExists");   // the file of the resulting path exists before
    QTest::addColumn<int>("answer");        // to the overwrite question
    QTest::addColumn<LogSaveOutcome>("outcome");
    QTest::addColumn<QString>("path");      // the file named by the result
    QTest::addColumn<QString>("question");  // overwrite question shown, if any
    QTest::addColumn<QString>("valueText"); // the value column of the written record line

    const QString importQuestion = QStringLiteral("Filename  already exits!\rAre you sure to replace it?");
    const QString measureQuestion = QStringLiteral("run.klg already exits!\rAre you sure to replace it?");
    const auto written = LogSaveOutcome::Written;
    const int yes = Dialogs::Yes;
    const int no = Dialogs::No;

    QTest::newRow("import new file") << false << "" << "run" << false << yes << written << "run.klg" << ""
                                     << "25    ";
    QTest::newRow("import cancelled") << false << "" << "" << false << yes << LogSaveOutcome::Cancelled << ""
                                      << "" << "";
    QTest::newRow("import replaces") << false << "" << "run.klg" << true << yes << written << "run.klg"
                                     << importQuestion << "25    ";
    QTest::newRow("import refused") << false << "" << "run" << true << no << LogSaveOutcome::OverwriteRefused
                                    << "" << importQuestion << "";
    QTest::newRow("measure new file in data.old") << true << "" << "data.old/run1" << false << yes << written
                                                  << "data.old/run1" << "" << "25.0  ";
    QTest::newRow("measure cancelled") << true << "" << "" << false << yes << LogSaveOutcome::Cancelled << ""
                                       << "" << "";
    QTest::newRow("measure replaces") << true << "" << "run" << true << yes << written << "run.klg"
                                      << measureQuestion << "25.0  ";
    QTest::newRow("measure refused") << true << "" << "run" << true << no << LogSaveOutcome::OverwriteRefused
                                     << "" << measureQuestion << "";
    QTest::newRow("measure known path, no dialog") << true << "run.klg" << "" << true << no << written
                                                   << "run.klg" << "" << "25.0  ";
}

void TestLogFileSave::saves()
{
    QFETCH(bool, measureWindow);
    QFETCH(QString, editPath);
    QFETCH(QString, chosen);
    QFETCH(bool, fileExists);
    QFETCH(int, answer);
    QFETCH(LogSaveOutcome, outcome);
    QFETCH(QString, path);
    QFETCH(QString, question);
    QFETCH(QString, valueText);

    ScriptedDialogs &dialogs = m_env->env.dialogs;
    QVERIFY(QDir(m_env->path(QString())).mkpath(QStringLiteral("data.old")));
    const QByteArray old("old file\r\n");
    const QString target = path.isEmpty() ? QStringLiteral("run.klg") : path;
    if (fileExists)
        m_env->env.dir.writeFile(target, old);
    dialogs.fileAnswers << chosen;
    dialogs.answers << static_cast<Dialogs::Button>(answer);

    MeasureTable &table = measureWindow ? m_env->meaData : m_env->getRecorde;
    table.append(logRecord(1, QStringLiteral("2024-05-01"), QStringLiteral("10:20:30"), 25.0, 0.95,
                           QStringLiteral("C")));
    table.refresh();
    const bool expectSaved = outcome == LogSaveOutcome::Written;

    const QDateTime before = QDateTime::currentDateTime();
    const LogSaveResult result = measureWindow ? saveMeasureLog(table, editPath) : saveImportLog(table);
    const QDateTime after = QDateTime::currentDateTime();
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.path, path);
    // The dialog is shown unless the measurement window already has a path.
    QCOMPARE(dialogs.fileAnswers.isEmpty(), editPath.isEmpty());
    // The dialog suggests the window's name and the moment of the save.
    if (editPath.isEmpty()) {
        const QString subject = measureWindow ? QStringLiteral("Measure") : QStringLiteral("Import");
        const QString suggested = dialogs.suggestedNames.value(0);
        QVERIFY2(suggested == SaveSuggestion::fileName(subject, before, QStringLiteral(".klg")) ||
                     suggested == SaveSuggestion::fileName(subject, after, QStringLiteral(".klg")),
                 qPrintable(suggested));
    }

    if (question.isEmpty()) {
        QVERIFY(dialogs.shown.isEmpty());
    } else {
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, question);
        QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Query Information"));
        QCOMPARE(dialogs.shown[0].icon, Dialogs::Icon::Question);
        QCOMPARE(dialogs.shown[0].buttons, Dialogs::Yes | Dialogs::No);
    }

    const QByteArray content = m_env->env.dir.readFile(target);
    if (expectSaved)
        QCOMPARE(content, crlfLines({QStringLiteral("@Quellmarkon KLG File"), QStringLiteral("Total:1"),
                                     QStringLiteral("2024-05-01,10:20:30,%1,0.95,C").arg(valueText)}));
    else
        QCOMPARE(content, fileExists ? old : QByteArray());
}

void TestLogFileSave::failedWriteThrowsNamingTheFile_data()
{
    QTest::addColumn<bool>("measureWindow");
    QTest::addColumn<bool>("fromEditPath");

    QTest::newRow("import") << false << false;
    QTest::newRow("measure, chosen in the dialog") << true << false;
    QTest::newRow("measure, path in Edit1") << true << true;
}

// The data is not on disk: the save throws, so that the window keeps its
// rows unsaved, and the error names the file.
void TestLogFileSave::failedWriteThrowsNamingTheFile()
{
    QFETCH(bool, measureWindow);
    QFETCH(bool, fromEditPath);

    m_env->env.dir.writeFile(QStringLiteral("plain"), "not a folder");
    const QString path = m_env->path(QStringLiteral("plain/run.klg"));
    if (!fromEditPath)
        m_env->env.dialogs.fileAnswers << path;

    const QString error = kelvoraErrorText([&] {
        if (measureWindow)
            saveMeasureLog(m_env->meaData, fromEditPath ? path : QString());
        else
            saveImportLog(m_env->getRecorde);
    });
    QVERIFY2(error.contains(path), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestLogFileSave)
#include "tst_logfilesave.moc"
