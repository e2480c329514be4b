// Tiling the child windows and placing the fixed-size ones.
#include "shell/logic/childplacement.h"

#include <QtTest>

using ChildPlacement::Tiling;

Q_DECLARE_METATYPE(Tiling)

class TestChildPlacement : public QObject {
    Q_OBJECT
private slots:
    void tile_data();
    void tile();
    void dialogPosition_data();
    void dialogPosition();
};

void TestChildPlacement::tile_data()
{
    QTest::addColumn<QRect>("area");
    QTest::addColumn<int>("count");
    QTest::addColumn<Tiling>("tiling");
    QTest::addColumn<QVector<QRect>>("expected");

    const QRect area(0, 0, 300, 200);
    QTest::newRow("none") << area << 0 << Tiling::SideBySide << QVector<QRect>{};
    QTest::newRow("one fills the area") << area << 1 << Tiling::OneAboveTheOther << QVector<QRect>{area};
    QTest::newRow("two above each other")
        << area << 2 << Tiling::OneAboveTheOther << QVector<QRect>{{0, 0, 300, 100}, {0, 100, 300, 100}};
    QTest::newRow("two side by side")
        << area << 2 << Tiling::SideBySide << QVector<QRect>{{0, 0, 150, 200}, {150, 0, 150, 200}};
    QTest::newRow("uneven split leaves no gap")
        << QRect(0, 0, 100, 10) << 3 << Tiling::SideBySide
        << QVector<QRect>{{0, 0, 33, 10}, {33, 0, 33, 10}, {66, 0, 34, 10}};
    QTest::newRow("offset area")
        << QRect(10, 20, 90, 61) << 2 << Tiling::OneAboveTheOther
        << QVector<QRect>{{10, 20, 90, 30}, {10, 50, 90, 31}};
}

void TestChildPlacement::tile()
{
    QFETCH(QRect, area);
    QFETCH(int, count);
    QFETCH(Tiling, tiling);
    QFETCH(QVector<QRect>, expected);
    QCOMPARE(ChildPlacement::tile(area, count, tiling), expected);
}

void TestChildPlacement::dialogPosition_data()
{
    QTest::addColumn<QSize>("mainSize");
    QTest::addColumn<QSize>("windowSize");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("setup, remainders dropped") << QSize(1281, 1005) << QSize(638, 428) << QPoint(321, 144);
    QTest::newRow("About") << QSize(1024, 748) << QSize(539, 324) << QPoint(242, 106);
    QTest::newRow("main window smaller than the window") << QSize(500, 300) << QSize(539, 324) << QPoint(-19, -6);
}

void TestChildPlacement::dialogPosition()
{
    QFETCH(QSize, mainSize);
    QFETCH(QSize, windowSize);
    QFETCH(QPoint, expected);
    QCOMPARE(ChildPlacement::dialogPosition(mainSize, windowSize), expected);
}

QTEST_APPLESS_MAIN(TestChildPlacement)
#include "tst_childplacement.moc"
