// Splitting reading times into segments where readings were missed, and the
// typical step that the data view's threshold is made of.
#include "measure/logic/timesegments.h"

#include <QtTest>

#include <limits>

using Starts = QVector<qsizetype>;
Q_DECLARE_METATYPE(Starts)

class TestTimeSegments : public QObject {
    Q_OBJECT
private slots:
    void segmentStarts_data();
    void segmentStarts();
    void medianStep_data();
    void medianStep();
};

void TestTimeSegments::segmentStarts_data()
{
    QTest::addColumn<QVector<double>>("times");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<Starts>("starts");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("no point") << QVector<double>{} << 2.0 << Starts{};
    QTest::newRow("one point") << QVector<double>{5} << 2.0 << Starts{};
    QTest::newRow("no gap") << QVector<double>{0, 1, 2, 3, 4.9} << 2.0 << Starts{};
    QTest::newRow("one gap") << QVector<double>{0, 1, 2, 7, 8} << 2.0 << Starts{3};
    QTest::newRow("gap of exactly the threshold") << QVector<double>{0, 1, 3, 4} << 2.0 << Starts{};
    QTest::newRow("just over the threshold") << QVector<double>{0, 1, 3.001, 4} << 2.0 << Starts{2};
    QTest::newRow("two gaps, first and last point alone")
        << QVector<double>{0, 10, 11, 12, 30} << 2.0 << Starts{1, 4};
    QTest::newRow("equal times") << QVector<double>{4, 4, 4, 4} << 2.0 << Starts{};
    QTest::newRow("step back within the threshold") << QVector<double>{0, 2, 1, 3} << 2.0 << Starts{};
    QTest::newRow("step back beyond the threshold") << QVector<double>{100, 101, 50, 51} << 2.0 << Starts{2};
    QTest::newRow("time that is not a number") << QVector<double>{0, nan, 100, 101} << 2.0 << Starts{};
}

void TestTimeSegments::segmentStarts()
{
    QFETCH(QVector<double>, times);
    QFETCH(double, threshold);
    QFETCH(Starts, starts);
    QCOMPARE(TimeSegments::segmentStarts(times, threshold), starts);
}

void TestTimeSegments::medianStep_data()
{
    QTest::addColumn<QVector<double>>("times");
    QTest::addColumn<double>("median");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("no point") << QVector<double>{} << 0.0;
    QTest::newRow("one point") << QVector<double>{7} << 0.0;
    QTest::newRow("equal times only") << QVector<double>{7, 7, 7} << 0.0;
    QTest::newRow("steady with one gap") << QVector<double>{0, 2, 4, 6, 100, 102} << 2.0;
    QTest::newRow("even count of steps") << QVector<double>{0, 1, 4, 10, 20} << 4.5;
    QTest::newRow("seconds repeat at a faster rate") << QVector<double>{0, 0, 1, 1, 2, 2, 3, 3} << 1.0;
    QTest::newRow("unsorted") << QVector<double>{10, 7, 4, 1} << 3.0;
    QTest::newRow("time that is not a number") << QVector<double>{0, 3, nan, 6, 9} << 3.0;
}

void TestTimeSegments::medianStep()
{
    QFETCH(QVector<double>, times);
    QFETCH(double, median);
    QCOMPARE(TimeSegments::medianStep(times), median);
}

QTEST_APPLESS_MAIN(TestTimeSegments)
#include "tst_timesegments.moc"
