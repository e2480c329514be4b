// Min/max decimation of a series for drawing: extremes survive, the edges
// are reached, and a narrow enough range keeps every point.
#include "measure/logic/seriesdecimation.h"

#include <QtTest>

#include <cmath>

namespace {

// A slow wave with two single-point spikes that a plain thinning would miss.
QVector<double> wave(int n)
{
    QVector<double> ys(n);
    for (int i = 0; i < n; ++i)
        ys[i] = 25.0 + 5.0 * std::sin(i / 500.0);
    if (n > 70001) {
        ys[12345] = 480.0;
        ys[70001] = -40.0;
    }
    return ys;
}

} // namespace

class TestSeriesDecimation : public QObject {
    Q_OBJECT
private slots:
    void keepsExtremesOfEveryBucket_data();
    void keepsExtremesOfEveryBucket();
    void narrowRangeKeepsEveryPoint_data();
    void narrowRangeKeepsEveryPoint();
    void rangeOutsideTheData_data();
    void rangeOutsideTheData();
};

void TestSeriesDecimation::keepsExtremesOfEveryBucket_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("buckets");

    QTest::newRow("whole series, 800 columns") << 0.0 << 99999.0 << 800;
    QTest::newRow("whole series, 1 column") << 0.0 << 99999.0 << 1;
    QTest::newRow("middle part, 300 columns") << 10000.5 << 80000.25 << 300;
    QTest::newRow("reversed range") << 80000.25 << 10000.5 << 300;
}

void TestSeriesDecimation::keepsExtremesOfEveryBucket()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, buckets);

    const QVector<double> ys = wave(100000);
    const QList<QPointF> points = decimateMinMax(ys, from, to, buckets);

    QVERIFY(points.size() <= 2 * buckets + 2);
    // The first and last points reach just past the visible edges.
    const double lo = std::min(from, to);
    const double hi = std::max(from, to);
    QCOMPARE(points.first().x(), std::floor(lo));
    QCOMPARE(points.last().x(), std::ceil(hi));
    // Points are real samples, in order of X.
    for (int i = 0; i < points.size(); ++i) {
        const int x = int(points[i].x());
        QCOMPARE(points[i].x(), double(x));
        QCOMPARE(points[i].y(), ys[x]);
        if (i > 0)
            QVERIFY(points[i].x() > points[i - 1].x());
    }
    // The extremes of the visible part survive.
    const auto first = ys.cbegin() + qsizetype(std::floor(lo));
    const auto last = ys.cbegin() + qsizetype(std::ceil(hi)) + 1;
    double drawnMin = points.first().y();
    double drawnMax = drawnMin;
    for (const QPointF &p : points) {
        drawnMin = std::min(drawnMin, p.y());
        drawnMax = std::max(drawnMax, p.y());
    }
    QCOMPARE(drawnMin, *std::min_element(first, last));
    QCOMPARE(drawnMax, *std::max_element(first, last));
}

void TestSeriesDecimation::narrowRangeKeepsEveryPoint_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("firstX");
    QTest::addColumn<int>("lastX");

    QTest::newRow("short series") << 10 << 0.0 << 9.0 << 0 << 9;
    QTest::newRow("one point") << 1 << -1.0 << 1.0 << 0 << 0;
    QTest::newRow("zoomed into a long series") << 100000 << 50000.3 << 50999.7 << 50000 << 51000;
    QTest::newRow("view reaching past the end") << 100 << 90.5 << 130.0 << 90 << 99;
    QTest::newRow("view starting before the data") << 100 << -20.0 << 5.5 << 0 << 6;
}

void TestSeriesDecimation::narrowRangeKeepsEveryPoint()
{
    QFETCH(int, size);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, firstX);
    QFETCH(int, lastX);

    const QVector<double> ys = wave(size);
    const QList<QPointF> points = decimateMinMax(ys, from, to, 800);

    QCOMPARE(points.size(), lastX - firstX + 1);
    for (int i = 0; i < points.size(); ++i) {
        QCOMPARE(points[i].x(), double(firstX + i));
        QCOMPARE(points[i].y(), ys[firstX + i]);
    }
}

void TestSeriesDecimation::rangeOutsideTheData_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");

    QTest::newRow("empty series") << 0 << 0.0 << 10.0;
    QTest::newRow("view after the last point") << 100 << 99.5 << 150.0;
    QTest::newRow("view before the first point") << 100 << -50.0 << -0.5;
}

void TestSeriesDecimation::rangeOutsideTheData()
{
    QFETCH(int, size);
    QFETCH(double, from);
    QFETCH(double, to);

    QVERIFY(decimateMinMax(wave(size), from, to, 800).isEmpty());
}

QTEST_APPLESS_MAIN(TestSeriesDecimation)
#include "tst_seriesdecimation.moc"
