// Label steps of a value axis: 1.0 where the labels fit, widened along
// 1, 2, 5, 10, ... where they would overlap.
#include "measure/logic/axislabelstep.h"

#include <QtTest>

class TestAxisLabelStep : public QObject {
    Q_OBJECT
private slots:
    void step_data();
    void step();
    void decimals_data();
    void decimals();
};

void TestAxisLabelStep::step_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("maxLabels");
    QTest::addColumn<double>("expected");

    QTest::newRow("room for every label") << 10.0 << 20 << 1.0;
    QTest::newRow("exactly enough room") << 10.0 << 11 << 1.0;
    QTest::newRow("one label too many") << 10.0 << 10 << 2.0;
    QTest::newRow("300 degrees on 25 labels") << 300.0 << 25 << 20.0;
    QTest::newRow("300 degrees on 7 labels") << 300.0 << 7 << 50.0;
    QTest::newRow("100,000 points on 12 labels") << 99999.0 << 12 << 10000.0;
    QTest::newRow("fewer labels than two still gets two") << 300.0 << 0 << 200.0;
    QTest::newRow("zoomed below one step") << 0.65 << 20 << 0.2;
    QTest::newRow("zoomed far below one step") << 0.003 << 20 << 0.001;
    QTest::newRow("no width") << 0.0 << 20 << 1.0;
}

void TestAxisLabelStep::step()
{
    QFETCH(double, width);
    QFETCH(int, maxLabels);
    QFETCH(double, expected);

    QCOMPARE(axisLabelStep(width, maxLabels, 1.0), expected);
}

void TestAxisLabelStep::decimals_data()
{
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("expected");

    QTest::newRow("1") << 1.0 << 0;
    QTest::newRow("50") << 50.0 << 0;
    QTest::newRow("0.5") << 0.5 << 1;
    QTest::newRow("0.2") << 0.2 << 1;
    QTest::newRow("0.05") << 0.05 << 2;
    QTest::newRow("0.001") << 0.001 << 3;
}

void TestAxisLabelStep::decimals()
{
    QFETCH(double, step);
    QFETCH(int, expected);

    QCOMPARE(axisLabelDecimals(step), expected);
}

QTEST_APPLESS_MAIN(TestAxisLabelStep)
#include "tst_axislabelstep.moc"
