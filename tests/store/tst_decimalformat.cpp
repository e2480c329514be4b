// The "0.0" format of the statistics: one decimal, rounded half away from
// zero on the decimal value as written. The shortest form and the reading of
// numbers take shortcuts for plain decimals, which must give exactly what
// Qt's general formatter and parser give.
#include "store/decimalformat.h"

#include <QtTest>

class TestDecimalFormat : public QObject {
    Q_OBJECT
private slots:
    void oneDecimal_data();
    void oneDecimal();
    void shortest_data();
    void shortest();
    void readsPlainDecimals_data();
    void readsPlainDecimals();
};

void TestDecimalFormat::oneDecimal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << "0.0";
    QTest::newRow("whole number") << 77.0 << "77.0";
    QTest::newRow("large") << 1112.0 << "1112.0";
    QTest::newRow("already one decimal") << 97.9 << "97.9";
    QTest::newRow("rounded down") << 36.64 << "36.6";
    QTest::newRow("0.05 up") << 0.05 << "0.1";
    // These doubles lie just below the half; the decimal value is what counts.
    QTest::newRow("0.15 up") << 0.15 << "0.2";
    QTest::newRow("97.85 up") << 97.85 << "97.9";
    QTest::newRow("1.45 up") << 1.45 << "1.5";
    QTest::newRow("average 110/3") << 110.0 / 3 << "36.7";
    // The mean of 0.7 and 1.4 is the double 1.0499999999999998, which reads
    // as 1.05.
    QTest::newRow("average on a half") << (0.7 + 1.4) / 2 << "1.1";
    QTest::newRow("negative half away from zero") << -10.45 << "-10.5";
    QTest::newRow("negative") << -6.7 << "-6.7";
    QTest::newRow("negative rounding to zero") << -0.04 << "0.0";
    QTest::newRow("tiny") << 1e-20 << "0.0";
    QTest::newRow("99.95 carries") << 99.95 << "100.0";
    QTest::newRow("just below a half") << 36.649999 << "36.6";
    QTest::newRow("just above a half") << -36.650001 << "-36.7";
}

void TestDecimalFormat::oneDecimal()
{
    QFETCH(double, value);
    QTEST(formatOneDecimal(value), "text");
}

void TestDecimalFormat::shortest_data()
{
    QTest::addColumn<double>("value");

    const QList<QPair<const char *, double>> values{
        {"zero", 0.0},
        {"negative zero", -0.0},
        {"whole number", 25.0},
        {"one decimal", 77.5},
        {"negative", -10.5},
        {"emissivity", 0.95},
        {"converted", 36.6 * 1.8 + 32},
        {"smallest without exponent here", 0.001},
        {"below that", 0.000999},
        {"tiny", 1e-20},
        {"large", 99999999999999.9},
        {"1e14", 1e14},
        {"1e15", 1e15},
        {"sixteen digits, a tie at fifteen", 1.000030517578125},
        {"a tie among large numbers", 12345678901234.25},
        {"seventeen digits", 0.1 + 0.2},
        {"infinity", qInf()},
    };
    for (const auto &[name, value] : values)
        QTest::newRow(name) << value;
}

void TestDecimalFormat::shortest()
{
    QFETCH(double, value);
    const QString expected = QString::number(value, 'g', 15);
    QCOMPARE(formatShortest(value), expected);
    QByteArray appended("x");
    appendShortest(appended, value);
    QCOMPARE(appended, "x" + expected.toLatin1());
}

void TestDecimalFormat::readsPlainDecimals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    // The forms the program writes, read as Qt reads them.
    for (const char *text : {"25.3", "-10.5", "0", "-0", "007", "0.95", "1", "+5",
                             "0.1000000000000000055511151231", "99999999999999999999999999999999"})
        QTest::newRow(text) << QString::fromLatin1(text) << true;
    // Exponents would let a six-column value reach 1e300 and, in Fahrenheit,
    // beyond the double's range; none of these is written by the program.
    for (const char *text : {"1e300", "1e205", "1E5",  "2.5e-3", "inf",
                             "-inf",  "nan",   "25.",  ".5",     "-",
                             "",      " 5",    "5 ",   "1,5",    "--1",
                             "+-1",   "1.2.3", "0x10", "12a",    "999999999999999999999999999999999"})
        QTest::newRow(text) << QString::fromLatin1(text) << false;
    QTest::newRow("non-ASCII digit") << QString::fromUtf8("\xd9\xa3") << false;
}

void TestDecimalFormat::readsPlainDecimals()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    bool ok = !accepted;
    const double value = readDecimal(text, &ok);
    QCOMPARE(ok, accepted);
    const double expected = accepted ? QStringView(text).toDouble() : 0.0;
    // Bit for bit: the sign of a zero counts too.
    QCOMPARE(QByteArray::fromRawData(reinterpret_cast<const char *>(&value), sizeof value),
             QByteArray::fromRawData(reinterpret_cast<const char *>(&expected), sizeof expected));
}

QTEST_GUILESS_MAIN(TestDecimalFormat)
#include "tst_decimalformat.moc"
