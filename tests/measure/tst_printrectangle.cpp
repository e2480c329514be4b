// The rectangle of a page that a chart is printed into.
#include "measure/logic/printrectangle.h"

#include <QtTest>

class TestPrintRectangle : public QObject {
    Q_OBJECT
private slots:
    void rectangle_data();
    void rectangle();
};

void TestPrintRectangle::rectangle_data()
{
    QTest::addColumn<QSize>("page");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("bottom");

    // Landscape A4 at 1200 dpi: 5 %, 4 %, 4 %, 5 % of the printable page.
    QTest::newRow("A4 landscape") << QSize(13633, 9450) << 682 << 378 << 13633 - 545 << 9450 - 473;
    QTest::newRow("round numbers") << QSize(1000, 500) << 50 << 20 << 960 << 475;
    // Halves round away from zero: 5 % of 1010 is 50.5, 5 % of 1050 is 52.5.
    QTest::newRow("halves") << QSize(1010, 1050) << 51 << 42 << 1010 - 40 << 1050 - 53;
}

void TestPrintRectangle::rectangle()
{
    QFETCH(QSize, page);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, right);
    QFETCH(int, bottom);

    const QRect r = printRectangle(page, PrintMargins{5, 4, 4, 5});
    QCOMPARE(r.left(), left);
    QCOMPARE(r.top(), top);
    QCOMPARE(r.x() + r.width(), right);
    QCOMPARE(r.y() + r.height(), bottom);
}

QTEST_APPLESS_MAIN(TestPrintRectangle)
#include "tst_printrectangle.moc"
