// LED display geometry: segment polygons, setter rules, cells of a text.
#include "measure/logic/ledgeometry.h"

#include <QtTest>

#include <algorithm>

using LedGeometry::Metrics;
using LedGeometry::Polygon;

Q_DECLARE_METATYPE(Metrics)
Q_DECLARE_METATYPE(Polygon)
Q_DECLARE_METATYPE(std::optional<int>)

namespace {

Metrics measurementMetrics()
{
    Metrics metrics;
    metrics.wordWidth = 28;
    metrics.wordHeight = 49;
    metrics.thick = 6;
    return metrics;
}

Metrics cellMetrics(int wordWidth, int wordHeight, int thick)
{
    Metrics metrics;
    metrics.wordWidth = wordWidth;
    metrics.wordHeight = wordHeight;
    metrics.thick = thick;
    return metrics;
}

} // namespace

class TestLedGeometry : public QObject {
    Q_OBJECT
private slots:
    void polygons_data();
    void polygons();
    void cellOrigins();
    void fittedSize_data();
    void fittedSize();

    void wordWidthRule_data();
    void wordWidthRule();
    void wordHeightRule_data();
    void wordHeightRule();
    void thickRule_data();
    void thickRule();

    void splitText_data();
    void splitText();
    void litPolygons_data();
    void litPolygons();
};

void TestLedGeometry::polygons_data()
{
    QTest::addColumn<Metrics>("metrics");
    QTest::addColumn<QPoint>("cell");
    QTest::addColumn<int>("index");
    QTest::addColumn<Polygon>("expected");

    // Default geometry W 17, H 29, T 3, first cell at (4, 4).
    const Metrics defaults;
    const QPoint first(4, 4);
    QTest::newRow("default top") << defaults << first << 0
                                 << Polygon{{{6, 4}, {8, 6}, {12, 6}, {14, 4}, {14, 4}, {14, 4}}};
    QTest::newRow("default upper right") << defaults << first << 1
                                         << Polygon{{{16, 5}, {14, 7}, {14, 15}, {16, 17}, {16, 17}, {16, 17}}};
    QTest::newRow("default lower right") << defaults << first << 2
                                         << Polygon{{{16, 19}, {14, 21}, {14, 29}, {16, 31}, {16, 31}, {16, 31}}};
    QTest::newRow("default bottom") << defaults << first << 3
                                    << Polygon{{{14, 32}, {12, 30}, {8, 30}, {6, 32}, {6, 32}, {6, 32}}};
    QTest::newRow("default lower left") << defaults << first << 4
                                        << Polygon{{{4, 31}, {6, 29}, {6, 21}, {4, 19}, {4, 19}, {4, 19}}};
    QTest::newRow("default upper left") << defaults << first << 5
                                        << Polygon{{{4, 17}, {6, 15}, {6, 7}, {4, 5}, {4, 5}, {4, 5}}};
    QTest::newRow("default middle") << defaults << first << 6
                                    << Polygon{{{7, 17}, {6, 18}, {7, 19}, {13, 19}, {14, 18}, {13, 17}}};
    QTest::newRow("default point") << defaults << first << 7
                                   << Polygon{{{18, 30}, {18, 33}, {21, 33}, {21, 30}, {18, 30}, {18, 30}}};

    // The measurement window's geometry W 28, H 49, T 6.
    const Metrics measurement = measurementMetrics();
    QTest::newRow("measurement middle")
        << measurement << first << 6 << Polygon{{{10, 24}, {6, 28}, {10, 32}, {18, 32}, {22, 28}, {18, 24}}};
    QTest::newRow("measurement point")
        << measurement << first << 7 << Polygon{{{26, 47}, {26, 53}, {32, 53}, {32, 47}, {26, 47}, {26, 47}}};
    QTest::newRow("measurement third cell middle")
        << measurement << QPoint(68, 4) << 6
        << Polygon{{{74, 24}, {70, 28}, {74, 32}, {82, 32}, {86, 28}, {82, 24}}};

    // One pixel thick, the middle segment is a line on the middle row; the
    // others keep their formulas.
    const Metrics thin = cellMetrics(10, 9, 1);
    QTest::newRow("thin middle is a line")
        << thin << QPoint(0, 0) << 6 << Polygon{{{2, 4}, {2, 4}, {2, 4}, {5, 4}, {5, 4}, {5, 4}}};
    QTest::newRow("thin top") << thin << QPoint(0, 0) << 0
                              << Polygon{{{2, 0}, {2, 0}, {5, 0}, {5, 0}, {5, 0}, {5, 0}}};
    QTest::newRow("thin point") << thin << QPoint(0, 0) << 7
                                << Polygon{{{9, 8}, {9, 9}, {10, 9}, {10, 8}, {9, 8}, {9, 8}}};
}

void TestLedGeometry::polygons()
{
    QFETCH(Metrics, metrics);
    QFETCH(QPoint, cell);
    QFETCH(int, index);
    QFETCH(Polygon, expected);
    QCOMPARE(LedGeometry::BuildSegments(cell, metrics)[index], expected);
}

void TestLedGeometry::cellOrigins()
{
    Metrics metrics = measurementMetrics();
    metrics.offSetX = 5;
    metrics.offSetY = 7;
    metrics.space = 3;
    QCOMPARE(LedGeometry::cellOrigin(metrics, 0), QPoint(5, 7));
    QCOMPARE(LedGeometry::cellOrigin(metrics, 4), QPoint(5 + 4 * 31, 7));
}

void TestLedGeometry::fittedSize_data()
{
    QTest::addColumn<Metrics>("metrics");
    QTest::addColumn<int>("cellCount");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("default text") << Metrics{} << 2 << QSize(46, 37);
    QTest::newRow("two blanks and 320") << measurementMetrics() << 5 << QSize(164, 57);
    QTest::newRow("seven cells") << measurementMetrics() << 7 << QSize(228, 57);
    QTest::newRow("no cell: margins less one gap") << measurementMetrics() << 0 << QSize(4, 57);
}

void TestLedGeometry::fittedSize()
{
    QFETCH(Metrics, metrics);
    QFETCH(int, cellCount);
    QFETCH(QSize, expected);
    QCOMPARE(LedGeometry::fittedSize(metrics, cellCount), expected);
}

void TestLedGeometry::wordWidthRule_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("thick");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("28 with T 3") << 28 << 3 << true;
    QTest::newRow("12 with T 6, not above 2T") << 12 << 6 << false;
    QTest::newRow("13 with T 6") << 13 << 6 << true;
    QTest::newRow("0 with T 3") << 0 << 3 << false;
}

void TestLedGeometry::wordWidthRule()
{
    QFETCH(int, value);
    QFETCH(int, thick);
    QFETCH(bool, accepted);
    QCOMPARE(LedGeometry::acceptsWordWidth(value, thick), accepted);
}

void TestLedGeometry::wordHeightRule_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("thick");
    QTest::addColumn<std::optional<int>>("stored");
    QTest::newRow("48 with T 3 becomes 49") << 48 << 3 << std::optional<int>(49);
    QTest::newRow("29 stays 29") << 29 << 3 << std::optional<int>(29);
    QTest::newRow("exactly 4T, made odd") << 24 << 6 << std::optional<int>(25);
    QTest::newRow("23 with T 6, below 4T") << 23 << 6 << std::optional<int>();
    QTest::newRow("11 with T 3, below 4T") << 11 << 3 << std::optional<int>();
}

void TestLedGeometry::wordHeightRule()
{
    QFETCH(int, value);
    QFETCH(int, thick);
    QFETCH(std::optional<int>, stored);
    QCOMPARE(LedGeometry::wordHeightFor(value, thick), stored);
}

void TestLedGeometry::thickRule_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("wordWidth");
    QTest::addColumn<int>("wordHeight");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("6 in 28 x 49") << 6 << 28 << 49 << true;
    QTest::newRow("7 in 28 x 49") << 7 << 28 << 49 << true;
    QTest::newRow("14 in 28 x 49, too wide") << 14 << 28 << 49 << false;
    QTest::newRow("13 in 28 x 49, too high") << 13 << 28 << 49 << false;
    QTest::newRow("12 in 28 x 49, fills the height") << 12 << 28 << 49 << true;
    QTest::newRow("3 in an even height") << 3 << 17 << 30 << false;
}

void TestLedGeometry::thickRule()
{
    QFETCH(int, value);
    QFETCH(int, wordWidth);
    QFETCH(int, wordHeight);
    QFETCH(bool, accepted);
    QCOMPARE(LedGeometry::acceptsThick(value, wordWidth, wordHeight), accepted);
}

void TestLedGeometry::splitText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("chars");
    QTest::addColumn<int>("pointCell");
    QTest::newRow("padded reading") << "  32.0" << "  320" << 3;
    QTest::newRow("negative reading") << "-100.5" << "-1005" << 3;
    QTest::newRow("no point") << "00" << "00" << -1;
    QTest::newRow("leading point") << ".5" << "5" << -1;
    QTest::newRow("only the first point is removed") << "1.2.3" << "12.3" << 0;
    QTest::newRow("trailing point") << "5." << "5" << 0;
    QTest::newRow("empty") << "" << "" << -1;
}

void TestLedGeometry::splitText()
{
    QFETCH(QString, text);
    QFETCH(QString, chars);
    QFETCH(int, pointCell);
    const LedGeometry::Cells cells = LedGeometry::splitText(text);
    QCOMPARE(cells.chars, chars);
    QCOMPARE(cells.pointCell, pointCell);
}

void TestLedGeometry::litPolygons_data()
{
    // Segments as numbered by the geometry: a top 0, b upper right 1,
    // c lower right 2, d bottom 3, e lower left 4, f upper left 5, g middle 6.
    QTest::addColumn<QChar>("c");
    QTest::addColumn<bool>("pointed");
    QTest::addColumn<QString>("segments");
    QTest::newRow("0") << QChar('0') << false << "012345";
    QTest::newRow("1") << QChar('1') << false << "12";
    QTest::newRow("2") << QChar('2') << false << "01346";
    QTest::newRow("3") << QChar('3') << false << "01236";
    QTest::newRow("4") << QChar('4') << false << "1256";
    QTest::newRow("5") << QChar('5') << false << "02356";
    QTest::newRow("6") << QChar('6') << false << "023456";
    QTest::newRow("7") << QChar('7') << false << "012";
    QTest::newRow("8") << QChar('8') << false << "0123456";
    QTest::newRow("9") << QChar('9') << false << "012356";
    QTest::newRow("digit with point") << QChar('2') << true << "013467";
    QTest::newRow("minus") << QChar('-') << false << "6";
    QTest::newRow("minus before the point") << QChar('-') << true << "6";
    QTest::newRow("blank before the point") << QChar(' ') << true << "";
    QTest::newRow("second point") << QChar('.') << false << "";
    QTest::newRow("letter") << QChar('E') << false << "";
    QTest::newRow("non-ASCII digit") << QChar(0x0663) << false << "";
}

void TestLedGeometry::litPolygons()
{
    QFETCH(QChar, c);
    QFETCH(bool, pointed);
    QFETCH(QString, segments);
    QString lit = LedGeometry::litPolygons(c, pointed);
    std::sort(lit.begin(), lit.end());
    QCOMPARE(lit, segments);
}

QTEST_APPLESS_MAIN(TestLedGeometry)
#include "tst_ledgeometry.moc"
