// Taking a log file's lines apart: the count of line 2 and the value of a
// record line by column, in the unit its last character names, converted
// to the other unit with one decimal.
#include "common/kelvoraerror.h"

#include "store/logrecordparser.h"

#include <QtTest>

class TestLogRecordParser : public QObject {
    Q_OBJECT

private slots:
    void total_data();
    void total();
    void recordLine_data();
    void recordLine();
    void conversionErrors_data();
    void conversionErrors();
};

void TestLogRecordParser::total_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("total");

    QTest::newRow("count") << "Total:128" << 128;
    QTest::newRow("zero") << "Total:0" << 0;
    QTest::newRow("blanks around") << "Total: 7 " << 7;
    QTest::newRow("only the text after the colon counts") << "Count:5" << 5;
}

void TestLogRecordParser::total()
{
    QFETCH(QString, line);
    QTEST(parseLogTotal(line), "total");
}

void TestLogRecordParser::recordLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<double>("celsius");
    QTest::addColumn<double>("fahrenheit");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("emsColumns");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");

    const QString head = QStringLiteral("2006-5-12 ,10:20:30,");
    const QString date = QStringLiteral("2006-5-12");
    const QString time = QStringLiteral("10:20:30");
    QTest::newRow("example, Celsius")
        << head + "25.3  ,0.95,C" << 25.3 << 77.5 << head << "0.95" << date << time;
    QTest::newRow("Fahrenheit") << head + "77.5  ,0.95,F" << 25.3 << 77.5 << head << "0.95" << date << time;
    QTest::newRow("lower-case c is Fahrenheit")
        << head + "25.3  ,0.95,c" << -3.7 << 25.3 << head << "0.95" << date << time;
    QTest::newRow("any other letter is Fahrenheit")
        << head + "97.9  ,0.95,X" << 36.6 << 97.9 << head << "0.95" << date << time;
    QTest::newRow("whole number") << head + "25    ,1   ,C" << 25.0 << 77.0 << head << "1   " << date << time;
    QTest::newRow("blanks before the value")
        << head + "  36.6,0.95,C" << 36.6 << 97.9 << head << "0.95" << date << time;
    QTest::newRow("negative") << head + "-10.5 ,0.95,C" << -10.5 << 13.1 << head << "0.95" << date << time;
    QTest::newRow("value filling its six columns")
        << head + "-999.9,0.95,C" << -999.9 << -1767.8 << head << "0.95" << date << time;
    // The file's own unit keeps its value as written.
    QTest::newRow("two decimals kept")
        << head + "25.34 ,0.95,C" << 25.34 << 77.6 << head << "0.95" << date << time;
    // Columns count characters, not bytes: a date with a non-ASCII letter.
    const QString dateInWords = QString::fromUtf8("12. M\xc3\xa4r 06");
    QTest::newRow("non-ASCII date") << dateInWords + ",10:20:30,20.1  ,0.95,C" << 20.1 << 68.2
                                    << dateInWords + ",10:20:30,"
                                    << "0.95" << dateInWords << time;
    QTest::newRow("blanks inside the head")
        << " 2006-5-1 , 9:20:30,20.1  ,0.95,C" << 20.1 << 68.2 << " 2006-5-1 , 9:20:30,"
        << "0.95"
        << "2006-5-1"
        << "9:20:30";
}

void TestLogRecordParser::recordLine()
{
    QFETCH(QString, line);

    const LogLine parsed = parseLogLine(line);
    QTEST(parsed.celsius, "celsius");
    QTEST(parsed.fahrenheit, "fahrenheit");
    QTEST(parsed.head.toString(), "head");
    QTEST(parsed.emsColumns.toString(), "emsColumns");
    QTEST(parsed.date.toString(), "date");
    QTEST(parsed.time.toString(), "time");
}

void TestLogRecordParser::conversionErrors_data()
{
    QTest::addColumn<bool>("totalLine");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("error");

    QTest::newRow("count not a number") << true << "Total:abc"
                                        << "'abc' is not a valid integer value";
    QTest::newRow("count missing") << true << ""
                                   << "'' is not a valid integer value";
    QTest::newRow("count with decimals") << true << "Total:12.5"
                                         << "'12.5' is not a valid integer value";
    QTest::newRow("count after the first colon") << true << "Total:5:6"
                                                 << "'5:6' is not a valid integer value";
    QTest::newRow("empty line") << false << ""
                                << "'' is not a valid floating point value";
    QTest::newRow("short line") << false << "2006-5-12 ,10:20"
                                << "'' is not a valid floating point value";
    QTest::newRow("date too long") << false << "2006-05-12X,10:20:30,25.3  ,0.95,C"
                                   << "',25.3 ' is not a valid floating point value";
    QTest::newRow("12-hour time") << false << "2006-5-12 ,10:20:30 PM,25.3  ,0.95,C"
                                  << "'PM,25.' is not a valid floating point value";
    QTest::newRow("not a number") << false << "2006-5-12 ,10:20:30,abc   ,0.95,C"
                                  << "'abc   ' is not a valid floating point value";
    QTest::newRow("thousands separator") << false << "2006-5-12 ,10:20:30,1,112 ,0.95,C"
                                         << "'1,112 ' is not a valid floating point value";
    QTest::newRow("not finite") << false << "2006-5-12 ,10:20:30,inf   ,0.95,C"
                                << "'inf   ' is not a valid floating point value";
    // Read as numbers they would set the data view's axis to 1e300.
    QTest::newRow("exponent") << false << "2006-5-12 ,10:20:30,1e300 ,0.95,C"
                              << "'1e300 ' is not a valid floating point value";
    QTest::newRow("exponent in Fahrenheit") << false << "2006-5-12 ,10:20:30,1e205 ,0.95,F"
                                            << "'1e205 ' is not a valid floating point value";
    // Its columns alone would read the value cut short.
    QTest::newRow("value longer than its columns") << false << "2006-5-12 ,10:20:30,18031.8,0.95,F"
                                                   << "'18031.' is not a valid floating point value";
    QTest::newRow("negative value longer than its columns") << false << "2006-5-12 ,10:20:30,-1767.8,0.95,F"
                                                            << "'-1767.' is not a valid floating point value";
}

void TestLogRecordParser::conversionErrors()
{
    QFETCH(bool, totalLine);
    QFETCH(QString, line);

    QString error;
    try {
        if (totalLine)
            parseLogTotal(line);
        else
            parseLogLine(line);
    } catch (const ConversionError &e) {
        error = e.text();
    }
    QTEST(error, "error");
}

QTEST_GUILESS_MAIN(TestLogRecordParser)
#include "tst_logrecordparser.moc"
