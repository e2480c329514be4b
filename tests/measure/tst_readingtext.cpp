// The texts the measurement window makes of a reading (value, display,
// emissivity, sample rate, chart footer) and the running statistics of a
// series across Clear and a change of unit.
#include "measure/logic/measurementseries.h"
#include "measure/logic/readingtext.h"

#include <QtTest>

class TestReadingText : public QObject {
    Q_OBJECT
private slots:
    void valueText_data();
    void valueText();
    void valueTextAlwaysHasOneDecimal();
    void ledText_data();
    void ledText();
    void emissivityText_data();
    void emissivityText();
    void filterRateKey_data();
    void filterRateKey();
    void rateBoxEdit_data();
    void rateBoxEdit();
    void rateFromText_data();
    void rateFromText();
    void footerLines();
    void firstReadingStartsTheSeries();
    void averageSurvivesUnitChange();
    void axisMaximumFollowsLargestReading_data();
    void axisMaximumFollowsLargestReading();
};

void TestReadingText::valueText_data()
{
    QTest::addColumn<int>("tenths");
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<QString>("text");
    QTest::newRow("F two decimals cut, not rounded") << 237 << false << "74.6";
    QTest::newRow("F 25.0 C") << 250 << false << "77.0";
    QTest::newRow("F zero") << 0 << false << "32.0";
    QTest::newRow("F -40 is -40") << -400 << false << "-40.0";
    QTest::newRow("F just below zero F") << -178 << false << "-0.0";
    QTest::newRow("F just above zero F") << -177 << false << "0.1";
    QTest::newRow("F -9.58 cut") << -231 << false << "-9.5";
    QTest::newRow("F a thousand") << 10000 << false << "1832.0";
    QTest::newRow("C whole number") << 250 << true << "25.0";
    QTest::newRow("C one decimal") << 237 << true << "23.7";
    QTest::newRow("C zero") << 0 << true << "0.0";
    QTest::newRow("C negative") << -55 << true << "-5.5";
    QTest::newRow("C below -100") << -1005 << true << "-100.5";
    QTest::newRow("C a thousand") << 10000 << true << "1000.0";
    QTest::newRow("C tenth") << 1 << true << "0.1";
}

void TestReadingText::valueText()
{
    QFETCH(int, tenths);
    QFETCH(bool, celsius);
    QFETCH(QString, text);
    QCOMPARE(ReadingText::valueText(tenths, celsius), text);
}

// Every reading the thermometer can send gives a text with one decimal in
// both units, and the Fahrenheit text is the exact value cut towards zero.
void TestReadingText::valueTextAlwaysHasOneDecimal()
{
    for (int tenths = -2000; tenths <= 20000; ++tenths) {
        for (bool celsius : {true, false}) {
            const QString v = ReadingText::valueText(tenths, celsius);
            const int point = v.indexOf(QLatin1Char('.'));
            QVERIFY2(point > 0 && point == v.size() - 2, qPrintable(QString::number(tenths) + " " + v));
            if (!celsius) {
                const int hundredths = tenths * 18 + 3200;
                const QString whole = QString::number(std::abs(hundredths) / 100);
                const QString expected = (hundredths < 0 ? QStringLiteral("-") : QString()) + whole +
                                         QLatin1Char('.') + QString::number(std::abs(hundredths) / 10 % 10);
                QCOMPARE(v, expected);
            }
        }
    }
}

void TestReadingText::ledText_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("display");
    QTest::newRow("four characters") << "25.0"
                                     << "  25.0";
    QTest::newRow("three characters") << "0.0"
                                      << "   0.0";
    QTest::newRow("five characters") << "-40.0"
                                     << " -40.0";
    QTest::newRow("six characters") << "-100.5"
                                    << "-100.5";
    QTest::newRow("seven characters") << "-1000.5"
                                      << "-1000.5";
    QTest::newRow("a thousand F") << "1832.0"
                                  << "1832.0";
}

void TestReadingText::ledText()
{
    QFETCH(QString, value);
    QFETCH(QString, display);
    QCOMPARE(ReadingText::ledText(value), display);
}

void TestReadingText::emissivityText_data()
{
    QTest::addColumn<int>("hundredths");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.95") << 95 << "0.95";
    QTest::newRow("one") << 100 << "1";
    QTest::newRow("0.1") << 10 << "0.1";
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("above one") << 255 << "2.55";
}

void TestReadingText::emissivityText()
{
    QFETCH(int, hundredths);
    QFETCH(QString, text);
    QCOMPARE(ReadingText::emissivityText(qint16(hundredths)), text);
}

void TestReadingText::filterRateKey_data()
{
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<QChar>("result");
    QTest::newRow("letter") << QChar('a') << QChar('0');
    QTest::newRow("capital") << QChar('Z') << QChar('0');
    QTest::newRow("blank") << QChar(' ') << QChar('0');
    QTest::newRow("comma") << QChar(',') << QChar('0');
    QTest::newRow("minus") << QChar('-') << QChar('0');
    QTest::newRow("zero") << QChar('0') << QChar('0');
    QTest::newRow("one") << QChar('1') << QChar('1');
    QTest::newRow("five") << QChar('5') << QChar('5');
    QTest::newRow("nine") << QChar('9') << QChar('9');
    QTest::newRow("backspace") << QChar(8) << QChar(8);
    QTest::newRow("code 31") << QChar(31) << QChar(31);
    QTest::newRow("DEL") << QChar(127) << QChar(127);
    QTest::newRow("non-Latin digit") << QChar(0x0665) << QChar('0');
}

void TestReadingText::filterRateKey()
{
    QFETCH(QChar, typed);
    QFETCH(QChar, result);
    QCOMPARE(ReadingText::filterRateKey(typed), result);
}

void TestReadingText::rateBoxEdit_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after"); // what the edit would make of it
    QTest::addColumn<QString>("result");
    QTest::newRow("digit typed") << "12"
                                 << "123"
                                 << "123";
    QTest::newRow("letter typed") << "12"
                                  << "12a"
                                  << "120";
    QTest::newRow("zero typed") << ""
                                << "0"
                                << "0";
    QTest::newRow("pasted past four") << ""
                                      << "100000"
                                      << "1000";
    QTest::newRow("pasted letters") << ""
                                    << "abc"
                                    << "000";
    QTest::newRow("pasted into the middle") << "19"
                                            << "1x2345y9"
                                            << "1029";
    QTest::newRow("pasted at the front of a full box") << "1234"
                                                       << "51234"
                                                       << "1234";
    QTest::newRow("control characters dropped") << ""
                                                << "\t7\r\n"
                                                << "7";
    QTest::newRow("non-Latin digit") << "" << QString(QChar(0x0665)) << "0";
    QTest::newRow("selection replaced") << "1234"
                                        << "9x"
                                        << "90";
    QTest::newRow("deleted") << "1234"
                             << "134"
                             << "134";
    QTest::newRow("emptied") << "1234"
                             << ""
                             << "";
    QTest::newRow("spin control's text kept") << "1,000"
                                              << "1,000"
                                              << "1,000";
    QTest::newRow("digit deleted from the spin control's text") << "1,000"
                                                                << "1,00"
                                                                << "1,00";
    QTest::newRow("typed into the spin control's text") << "1,000"
                                                        << "1,0005"
                                                        << "1,000";
    QTest::newRow("spin control's text replaced") << "1,000"
                                                  << "2,5"
                                                  << "205";
    QTest::newRow("repeated digit") << "11"
                                    << "111"
                                    << "111";
}

// Whatever way the text comes in, only what the edit brings is filtered and
// cut; what the box held stays.
void TestReadingText::rateBoxEdit()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, result);
    QCOMPARE(ReadingText::rateBoxEdit(before, after), result);
    // Applying the rule to its own result changes nothing.
    QCOMPARE(ReadingText::rateBoxEdit(before, result), result);
}

void TestReadingText::rateFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rate");
    QTest::newRow("leading zeros") << "0005" << 5;
    QTest::newRow("thousands separator") << "1,000" << 1000;
    QTest::newRow("largest") << "9,999" << 9999;
    QTest::newRow("blanks around") << " 7 " << 7;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks only") << "   " << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("four digits") << "1234" << 1234;
    QTest::newRow("not a number") << "ab" << 0;
}

void TestReadingText::rateFromText()
{
    QFETCH(QString, text);
    QFETCH(int, rate);
    QCOMPARE(ReadingText::rateFromText(text), rate);
}

void TestReadingText::footerLines()
{
    const QString blanks28(28, QLatin1Char(' '));
    const QStringList reading =
        ReadingText::footerLines(86.0, -5.25, QStringLiteral("77.0"), QStringLiteral("Date:"), "2026-12-10");
    QCOMPARE(reading, QStringList({QStringLiteral("          MAX:     86.0") + blanks28 + "MIN:     -5.3" +
                                       blanks28 + "AVG:     77.0",
                                   QStringLiteral("          Date:     2026-12-10")}));
    const QStringList unitChange =
        ReadingText::footerLines(0.0, 0.0, QStringLiteral("0.0"), QStringLiteral("DATE:"), "2026-01-02");
    QCOMPARE(unitChange.value(0), QStringLiteral("          MAX:     0.0") + blanks28 + "MIN:     0.0" +
                                      blanks28 + "AVG:     0.0");
    QCOMPARE(unitChange.value(1), QStringLiteral("          DATE:     2026-01-02"));
}

// The first reading sets both extremes and restarts the sum; so does the
// first one after Clear, although Clear itself leaves the extremes alone.
void TestReadingText::firstReadingStartsTheSeries()
{
    MeasurementSeries series;
    double sum = 123.0; // whatever an earlier series left
    series.add(25.0, 250, sum);
    QCOMPARE(series.readingCount(), 1);
    QCOMPARE(series.maxReading(), 25.0);
    QCOMPARE(series.minReading(), 25.0);
    QCOMPARE(sum, 25.0);
    QCOMPARE(series.averageText(sum, true), QStringLiteral("25.0"));

    series.add(30.5, 305, sum);
    series.add(-2.0, -20, sum);
    QCOMPARE(series.maxReading(), 30.5);
    QCOMPARE(series.minReading(), -2.0);
    QCOMPARE(series.averageText(sum, true), QStringLiteral("17.8")); // 53.5 / 3 = 17.83

    series.restart();
    QCOMPARE(series.readingCount(), 0);
    QCOMPARE(series.maxReading(), 30.5);
    QCOMPARE(series.minReading(), -2.0);

    // Above the old maximum, yet it is the minimum as well.
    series.add(40.0, 400, sum);
    QCOMPARE(series.readingCount(), 1);
    QCOMPARE(series.maxReading(), 40.0);
    QCOMPARE(series.minReading(), 40.0);
    QCOMPARE(sum, 40.0);
    QCOMPARE(series.averageText(sum, true), QStringLiteral("40.0"));
    QCOMPARE(series.averageText(sum, false), QStringLiteral("104.0"));
}

// Celsius readings 20.0 and 30.0, the table converted to 68 and 86, then a
// reading of 25.0 C in Fahrenheit: 77.0, and the average from the Celsius
// sum 75.0 over three readings.
void TestReadingText::averageSurvivesUnitChange()
{
    MeasurementSeries series;
    double sum = 0.0;
    series.add(20.0, 200, sum);
    series.add(30.0, 300, sum);
    QCOMPARE(series.averageText(sum, true), QStringLiteral("25.0"));

    series.setExtremes(86.0, 68.0);
    const QString v = ReadingText::valueText(250, false);
    QCOMPARE(v, QStringLiteral("77.0"));
    series.add(v.toDouble(), 250, sum);
    QCOMPARE(series.readingCount(), 3);
    QCOMPARE(sum, 75.0);
    QCOMPARE(series.maxReading(), 86.0);
    QCOMPARE(series.minReading(), 68.0);
    QCOMPARE(series.averageText(sum, false), QStringLiteral("77.0"));
}

void TestReadingText::axisMaximumFollowsLargestReading_data()
{
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<QList<double>>("readings");
    QTest::addColumn<double>("maximum");
    QTest::newRow("C below default") << true << QList<double>{25.0, 499.9} << 500.0;
    QTest::newRow("C exactly default") << true << QList<double>{500.0} << 500.0;
    QTest::newRow("C above default") << true << QList<double>{25.0, 612.3} << 612.3;
    QTest::newRow("C stays at largest") << true << QList<double>{612.3, 30.0, 501.0} << 612.3;
    QTest::newRow("C all negative") << true << QList<double>{-50.0, -10.0} << 500.0;
    QTest::newRow("F below default") << false << QList<double>{77.0, 931.9} << 932.0;
    QTest::newRow("F above default") << false << QList<double>{77.0, 1832.0, 100.0} << 1832.0;
}

void TestReadingText::axisMaximumFollowsLargestReading()
{
    QFETCH(bool, celsius);
    QFETCH(QList<double>, readings);
    QFETCH(double, maximum);
    MeasurementSeries series;
    double sum = 0.0;
    for (double x : readings)
        series.add(x, 0, sum);
    QCOMPARE(series.axisMaximum(celsius), maximum);
}

QTEST_APPLESS_MAIN(TestReadingText)
#include "tst_readingtext.moc"
