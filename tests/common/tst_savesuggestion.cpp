// The name and folder a save dialog opens with.
#include "common/savesuggestion.h"

#include <QDir>
#include <QtTest>

class TestSaveSuggestion : public QObject {
    Q_OBJECT
private slots:
    void fileName_data();
    void fileName();
    void folderOfTheLastSave();
};

void TestSaveSuggestion::fileName_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QDateTime>("at");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("name");
    const QDateTime morning(QDate(2026, 12, 11), QTime(6, 19, 59));
    QTest::newRow("log file") << "Measure" << morning << ".klg"
                              << "Measure 2026-12-11 0619.klg";
    QTest::newRow("no extension") << "Data View" << morning << ""
                                  << "Data View 2026-12-11 0619";
    QTest::newRow("midnight, first day of the year")
        << "Import" << QDateTime(QDate(2027, 1, 1), QTime(0, 0)) << ".klg"
        << "Import 2027-01-01 0000.klg";
    QTest::newRow("last minute of the day")
        << "Import" << QDateTime(QDate(2026, 2, 3), QTime(23, 59, 30)) << ".klg"
        << "Import 2026-02-03 2359.klg";
}

void TestSaveSuggestion::fileName()
{
    QFETCH(QString, subject);
    QFETCH(QDateTime, at);
    QFETCH(QString, extension);
    QTEST(SaveSuggestion::fileName(subject, at, extension), "name");
}

// Before any save the name stands alone (the dialog's own folder); after one,
// the next suggestion lies in that save's folder.
void TestSaveSuggestion::folderOfTheLastSave()
{
    QCOMPARE(SaveSuggestion::inLastFolder(QStringLiteral("a.klg")), QStringLiteral("a.klg"));
    SaveSuggestion::remember(QString()); // a cancelled dialog changes nothing
    QCOMPARE(SaveSuggestion::inLastFolder(QStringLiteral("a.klg")), QStringLiteral("a.klg"));
    SaveSuggestion::remember(QStringLiteral("/data/runs/first.klg"));
    QCOMPARE(SaveSuggestion::inLastFolder(QStringLiteral("b.klg")), QStringLiteral("/data/runs/b.klg"));
    SaveSuggestion::remember(QStringLiteral("/other/x.xls"));
    QCOMPARE(SaveSuggestion::inLastFolder(QStringLiteral("b.klg")), QStringLiteral("/other/b.klg"));
}

QTEST_MAIN(TestSaveSuggestion)
#include "tst_savesuggestion.moc"
