// The "0.0" format of the statistics: one decimal, rounded half away from
// zero on the decimal value as written.
#include "store/decimalformat.h"

#include <QtTest>

class TestDecimalFormat : public QObject {
    Q_OBJECT
private slots:
    void oneDecimal_data();
    void oneDecimal();
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
}

void TestDecimalFormat::oneDecimal()
{
    QFETCH(double, value);
    QTEST(formatOneDecimal(value), "text");
}

QTEST_GUILESS_MAIN(TestDecimalFormat)
#include "tst_decimalformat.moc"
