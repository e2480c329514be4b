// Axis ranges of a chart: percentage zoom, scrolling, and the undo of
// zooming with the ranges saved at the first zoom.
#include "measure/logic/axisnavigation.h"

#include <QtTest>

Q_DECLARE_METATYPE(AxisRange)

namespace {

// The measurement window's chart as it opens: vertical axes fixed at
// 200..500, horizontal axes following 100 points at X 0..99.
AxisNavigation measurementChart()
{
    AxisNavigation nav;
    nav.setRange(ChartAxis::Left, 200.0, 500.0);
    nav.setRange(ChartAxis::Right, 200.0, 500.0);
    nav.setDataExtent(ChartAxis::Bottom, AxisRange{0.0, 99.0});
    nav.setRange(ChartAxis::Top, 0.0, 99.0);
    return nav;
}

void scroll(AxisNavigation &nav, ChartAxis a, ChartAxis b, double percent)
{
    for (ChartAxis axis : {a, b}) {
        const AxisRange r = scrolledRange(nav.range(axis), percent);
        nav.setRange(axis, r.minimum, r.maximum);
    }
}

// Runs steps written as "in", "out", "reset", "left" and "up", blank-separated.
void run(AxisNavigation &nav, const QString &steps)
{
    for (const QString &step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (step == QLatin1String("in"))
            nav.zoomPercent(120.0);
        else if (step == QLatin1String("out"))
            nav.zoomPercent(80.0);
        else if (step == QLatin1String("reset"))
            nav.undoZoom();
        else if (step == QLatin1String("left"))
            scroll(nav, ChartAxis::Top, ChartAxis::Bottom, -10.0);
        else if (step == QLatin1String("up"))
            scroll(nav, ChartAxis::Left, ChartAxis::Right, -10.0);
        else
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
    }
}

} // namespace

class TestAxisNavigation : public QObject {
    Q_OBJECT
private slots:
    void zoomOnce_data();
    void zoomOnce();
    void navigationSequences_data();
    void navigationSequences();
    void resetRestoresAutomaticFlags();
    void setRangeSwapsAndFixes_data();
    void setRangeSwapsAndFixes();
    void tenScrollsMoveOneWidth_data();
    void tenScrollsMoveOneWidth();
    void automaticEndsFollowData();
};

void TestAxisNavigation::zoomOnce_data()
{
    QTest::addColumn<double>("percent");
    QTest::addColumn<AxisRange>("left");
    QTest::addColumn<AxisRange>("bottom");

    QTest::newRow("zoom in") << 120.0 << AxisRange{260.0, 440.0} << AxisRange{19.8, 79.2};
    QTest::newRow("zoom out") << 80.0 << AxisRange{140.0, 560.0} << AxisRange{-19.8, 118.8};
}

void TestAxisNavigation::zoomOnce()
{
    QFETCH(double, percent);
    QFETCH(AxisRange, left);
    QFETCH(AxisRange, bottom);

    AxisNavigation nav = measurementChart();
    nav.zoomPercent(percent);

    QCOMPARE(nav.range(ChartAxis::Left).minimum, left.minimum);
    QCOMPARE(nav.range(ChartAxis::Left).maximum, left.maximum);
    QCOMPARE(nav.range(ChartAxis::Right).minimum, left.minimum);
    QCOMPARE(nav.range(ChartAxis::Bottom).minimum, bottom.minimum);
    QCOMPARE(nav.range(ChartAxis::Bottom).maximum, bottom.maximum);
    QCOMPARE(nav.range(ChartAxis::Top).maximum, bottom.maximum);
    // A zoomed automatic axis no longer follows the data.
    QVERIFY(!nav.isAutomatic(ChartAxis::Bottom));
    nav.setDataExtent(ChartAxis::Bottom, AxisRange{0.0, 500.0});
    QCOMPARE(nav.range(ChartAxis::Bottom).maximum, bottom.maximum);
    QVERIFY(nav.isZoomed());
    QVERIFY(nav.isRestorePending());
}

void TestAxisNavigation::navigationSequences_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<AxisRange>("left");
    QTest::addColumn<AxisRange>("bottom");
    QTest::addColumn<bool>("pending");

    const AxisRange openLeft{200.0, 500.0};
    const AxisRange openBottom{0.0, 99.0};
    QTest::newRow("reset with nothing pending")
        << QStringLiteral("reset") << openLeft << openBottom << false;
    QTest::newRow("zoom in, scroll left, reset")
        << QStringLiteral("in left reset") << openLeft << openBottom << false;
    QTest::newRow("scroll up twice, reset: stays scrolled")
        << QStringLiteral("up up reset") << AxisRange{140.0, 440.0} << openBottom << false;
    QTest::newRow("zoom in, reset, zoom out, reset")
        << QStringLiteral("in reset out reset") << openLeft << openBottom << false;
    QTest::newRow("zoom in, reset, scroll up, zoom out, reset: the second zoom's start")
        << QStringLiteral("in reset up out reset") << AxisRange{170.0, 470.0} << openBottom << false;
    QTest::newRow("scroll up, zoom in, reset: back to the scrolled range")
        << QStringLiteral("up in reset") << AxisRange{170.0, 470.0} << openBottom << false;
    QTest::newRow("zoom in, zoom out, reset: the first zoom's ranges")
        << QStringLiteral("in out reset") << openLeft << openBottom << false;
    QTest::newRow("zoom in then out is 84 % of the start")
        << QStringLiteral("in out") << AxisRange{224.0, 476.0} << AxisRange{7.92, 91.08}
        << true;
}

void TestAxisNavigation::navigationSequences()
{
    QFETCH(QString, steps);
    QFETCH(AxisRange, left);
    QFETCH(AxisRange, bottom);
    QFETCH(bool, pending);

    AxisNavigation nav = measurementChart();
    run(nav, steps);

    QCOMPARE(nav.range(ChartAxis::Left).minimum, left.minimum);
    QCOMPARE(nav.range(ChartAxis::Left).maximum, left.maximum);
    QCOMPARE(nav.range(ChartAxis::Right).minimum, left.minimum);
    QCOMPARE(nav.range(ChartAxis::Right).maximum, left.maximum);
    QCOMPARE(nav.range(ChartAxis::Bottom).minimum, bottom.minimum);
    QCOMPARE(nav.range(ChartAxis::Bottom).maximum, bottom.maximum);
    QCOMPARE(nav.isRestorePending(), pending);
}

void TestAxisNavigation::resetRestoresAutomaticFlags()
{
    AxisNavigation nav = measurementChart();
    nav.zoomPercent(120.0);
    // Points added while zoomed stay outside the fixed view...
    nav.setDataExtent(ChartAxis::Bottom, AxisRange{0.0, 199.0});
    QCOMPARE(nav.range(ChartAxis::Bottom).maximum, 79.2);
    // ...until the reset makes the axis follow the data again.
    nav.undoZoom();
    QVERIFY(nav.isAutomatic(ChartAxis::Bottom));
    QVERIFY(!nav.isAutomatic(ChartAxis::Left));
    QCOMPARE(nav.range(ChartAxis::Bottom).maximum, 199.0);
    QVERIFY(!nav.isZoomed());
}

void TestAxisNavigation::setRangeSwapsAndFixes_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    QTest::newRow("in order") << 10.0 << 20.0;
    QTest::newRow("minimum above maximum") << 20.0 << 10.0;
}

void TestAxisNavigation::setRangeSwapsAndFixes()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);

    AxisNavigation nav;
    nav.setDataExtent(ChartAxis::Left, AxisRange{-5.0, 50.0});
    nav.setRange(ChartAxis::Left, minimum, maximum);
    QCOMPARE(nav.state(ChartAxis::Left).minimum, 10.0);
    QCOMPARE(nav.state(ChartAxis::Left).maximum, 20.0);
    QCOMPARE(nav.range(ChartAxis::Left).minimum, 10.0);
    QCOMPARE(nav.range(ChartAxis::Left).maximum, 20.0);
    QVERIFY(!nav.isAutomatic(ChartAxis::Left));
}

void TestAxisNavigation::tenScrollsMoveOneWidth_data()
{
    QTest::addColumn<double>("percent");
    QTest::addColumn<double>("expectedMinimum");

    QTest::newRow("left arrow") << -10.0 << -99.0;
    QTest::newRow("right arrow") << 10.0 << 99.0;
}

void TestAxisNavigation::tenScrollsMoveOneWidth()
{
    QFETCH(double, percent);
    QFETCH(double, expectedMinimum);

    AxisNavigation nav = measurementChart();
    for (int i = 0; i < 10; ++i)
        scroll(nav, ChartAxis::Top, ChartAxis::Bottom, percent);
    const AxisRange r = nav.range(ChartAxis::Bottom);
    QVERIFY2(qAbs(r.minimum - expectedMinimum) < 1e-9, qPrintable(QString::number(r.minimum)));
    QVERIFY(qAbs((r.maximum - r.minimum) - 99.0) < 1e-9);
    QVERIFY(!nav.isRestorePending());
}

void TestAxisNavigation::automaticEndsFollowData()
{
    AxisNavigation nav;
    // Without data an automatic axis keeps its stored ends; a range without
    // width is drawn one unit either side.
    QCOMPARE(nav.range(ChartAxis::Left).minimum, -1.0);
    QCOMPARE(nav.range(ChartAxis::Left).maximum, 1.0);
    nav.setDataExtent(ChartAxis::Left, AxisRange{21.5, 21.5});
    QCOMPARE(nav.range(ChartAxis::Left).minimum, 20.5);
    nav.setDataExtent(ChartAxis::Left, AxisRange{18.0, 30.0});
    QCOMPARE(nav.range(ChartAxis::Left).minimum, 18.0);
    QCOMPARE(nav.range(ChartAxis::Left).maximum, 30.0);
}

QTEST_APPLESS_MAIN(TestAxisNavigation)
#include "tst_axisnavigation.moc"
