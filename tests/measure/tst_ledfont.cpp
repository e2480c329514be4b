// The LED display control: properties, auto-size and the picture it paints.
#include "measure/LEDFont.h"

#include <QAccessible>
#include <QtTest>

#include <array>

namespace {

const QColor Green(0, 128, 0);
const QColor Grey(99, 99, 99);
const QColor Yellow(247, 255, 0);

// A point inside each polygon of a 28 x 49 cell with 6-pixel segments,
// relative to the cell's top left corner: segments a to g, then the point.
const std::array<QPoint, 8> SamplePoints = {{
    {10, 2},  // top
    {18, 12}, // upper right
    {18, 36}, // lower right
    {10, 46}, // bottom
    {2, 36},  // lower left
    {2, 12},  // upper left
    {10, 24}, // middle
    {25, 46}, // decimal point
}};

// The measurement window's display: geometry set in its order, green
// background and unlit colour, lit colour left at the default.
void setUpAsMeasurementDisplay(TLEDFontNum &led)
{
    led.SetBGColor(Green);
    led.SetDarkColor(Green);
    led.SetWordWidth(28);
    led.SetWordHeight(48);
    led.SetThick(6);
}

QPoint cellOrigin(int cell)
{
    return {4 + cell * 32, 4};
}

} // namespace

class TestLedFont : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void geometrySetters_data();
    void geometrySetters();
    void autoSize_data();
    void autoSize();
    void autoSizeOff();

    void segments_data();
    void segments();
    void blankCellsShowOnlyTheBackground();
    void paintsItsPicture();
    void accessibleText();
};

void TestLedFont::defaults()
{
    TLEDFontNum led;
    QCOMPARE(led.OffSetX(), 4);
    QCOMPARE(led.OffSetY(), 4);
    QCOMPARE(led.WordWidth(), 17);
    QCOMPARE(led.WordHeight(), 29);
    QCOMPARE(led.Thick(), 3);
    QCOMPARE(led.Space(), 4);
    QCOMPARE(led.Text(), QStringLiteral("00"));
    QCOMPARE(led.BGColor(), QColor(74, 66, 74));
    QCOMPARE(led.LightColor(), Yellow);
    QCOMPARE(led.DarkColor(), Grey);
    QVERIFY(led.AutoSize());

    // One pixel larger each way than "00" needs, and kept through changes
    // that leave the needed size alone.
    QCOMPARE(led.size(), QSize(47, 38));
    led.SetThick(2);
    led.SetLightColor(Green);
    QCOMPARE(led.size(), QSize(47, 38));
    led.SetOffSetY(5);
    QCOMPARE(led.size(), QSize(46, 39));
}

void TestLedFont::geometrySetters_data()
{
    // Each step is "Property=value", applied through the property system in
    // order; every check uses the values the earlier steps left.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("wordWidth");
    QTest::addColumn<int>("wordHeight");
    QTest::addColumn<int>("thick");

    const QStringList measurement{"WordWidth=28", "WordHeight=48", "Thick=6"};
    QTest::newRow("measurement window order") << measurement << 28 << 49 << 6;
    QTest::newRow("thick 7 accepted") << measurement + QStringList{"Thick=7"} << 28 << 49 << 7;
    QTest::newRow("thick 14 refused") << measurement + QStringList{"Thick=14"} << 28 << 49 << 6;
    QTest::newRow("width 12 refused with T 6") << measurement + QStringList{"WordWidth=12"} << 28 << 49 << 6;
    QTest::newRow("height 23 refused with T 6") << measurement + QStringList{"WordHeight=23"} << 28 << 49 << 6;
    QTest::newRow("height back to 48 keeps 49") << measurement + QStringList{"WordHeight=48"} << 28 << 49 << 6;
    QTest::newRow("thick before a wider cell is refused")
        << QStringList{"Thick=9", "WordWidth=28", "WordHeight=48"} << 28 << 49 << 3;
    QTest::newRow("height checked against the old thickness")
        << QStringList{"Thick=4", "WordHeight=15", "Thick=3", "WordHeight=15"} << 17 << 15 << 3;
}

void TestLedFont::geometrySetters()
{
    QFETCH(QStringList, steps);
    QFETCH(int, wordWidth);
    QFETCH(int, wordHeight);
    QFETCH(int, thick);

    TLEDFontNum led;
    for (const QString &step : steps) {
        const QStringList parts = step.split(QLatin1Char('='));
        QVERIFY(led.setProperty(parts[0].toLatin1(), parts[1].toInt()));
    }
    QCOMPARE(led.WordWidth(), wordWidth);
    QCOMPARE(led.WordHeight(), wordHeight);
    QCOMPARE(led.Thick(), thick);
}

void TestLedFont::autoSize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("size");
    QTest::newRow("padded reading") << "  32.0" << QSize(164, 57);
    QTest::newRow("negative reading, five cells") << "-100.5" << QSize(164, 57);
    QTest::newRow("seven characters") << "-1000.5" << QSize(196, 57);
    QTest::newRow("leading point") << ".5" << QSize(36, 57);
    QTest::newRow("second point takes a cell") << "1.2.3" << QSize(132, 57);
    QTest::newRow("empty") << "" << QSize(4, 57);
}

void TestLedFont::autoSize()
{
    QFETCH(QString, text);
    QFETCH(QSize, size);

    TLEDFontNum led;
    led.SetText(text);
    setUpAsMeasurementDisplay(led);
    QCOMPARE(led.size(), size);

    // The same size when the text comes after the geometry.
    TLEDFontNum later;
    setUpAsMeasurementDisplay(later);
    later.SetText(text);
    QCOMPARE(later.size(), size);
}

void TestLedFont::autoSizeOff()
{
    TLEDFontNum led;
    led.SetAutoSize(false);
    led.SetText(QStringLiteral("  32.0"));
    led.SetWordWidth(28);
    QCOMPARE(led.size(), QSize(47, 38));

    led.SetAutoSize(true);
    QCOMPARE(led.size(), QSize(164, 37));

    // Switched on again, the width is checked alone: 47 is not the 46 that
    // "00" needs.
    TLEDFontNum fresh;
    fresh.SetAutoSize(false);
    fresh.SetAutoSize(true);
    QCOMPARE(fresh.size(), QSize(46, 37));
}

void TestLedFont::segments_data()
{
    // pattern: one letter per polygon (segments a to g, then the point):
    // L lit, D unlit, B background.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("light");
    QTest::addColumn<QColor>("dark");
    QTest::addColumn<int>("cell");
    QTest::addColumn<QString>("pattern");

    QTest::newRow("32.0: blank cell") << "  32.0" << Yellow << Green << 1 << "BBBBBBBB";
    QTest::newRow("32.0: 3") << "  32.0" << Yellow << Green << 2 << "LLLLBBLB";
    QTest::newRow("32.0: 2 carries the point") << "  32.0" << Yellow << Green << 3 << "LLBLLBLL";
    QTest::newRow("32.0: 0") << "  32.0" << Yellow << Green << 4 << "LLLLLLBB";
    QTest::newRow("negative: minus") << "-100.5" << Yellow << Green << 0 << "BBBBBBLB";
    QTest::newRow("unlit pattern in a blank cell") << " 5" << Yellow << Grey << 0 << "DDDDDDDD";
    QTest::newRow("5 over its unlit pattern") << " 5" << Yellow << Grey << 1 << "LDLLDLLD";
    QTest::newRow("leading point lights none") << ".5" << Yellow << Grey << 0 << "LDLLDLLD";
    QTest::newRow("1.2.3: point after the 1") << "1.2.3" << Yellow << Grey << 0 << "DLLDDDDL";
    QTest::newRow("1.2.3: second point unlit") << "1.2.3" << Yellow << Grey << 2 << "DDDDDDDD";
    QTest::newRow("1.2.3: last digit") << "1.2.3" << Yellow << Grey << 3 << "LLLLDDLD";
    QTest::newRow("point after a blank") << " .5" << Yellow << Grey << 0 << "DDDDDDDD";
    QTest::newRow("point after minus") << "-.5" << Yellow << Grey << 0 << "DDDDDDLD";
    QTest::newRow("letter shows unlit only") << "E" << Yellow << Grey << 0 << "DDDDDDDD";
    QTest::newRow("lit in the background colour") << "8." << Green << Grey << 0 << "DDDDDDDD";
}

void TestLedFont::segments()
{
    QFETCH(QString, text);
    QFETCH(QColor, light);
    QFETCH(QColor, dark);
    QFETCH(int, cell);
    QFETCH(QString, pattern);

    TLEDFontNum led;
    setUpAsMeasurementDisplay(led);
    led.SetLightColor(light);
    led.SetDarkColor(dark);
    led.SetText(text);
    const QImage image = led.DrawDigits();
    QCOMPARE(image.size(), led.size());

    QString seen;
    for (const QPoint &sample : SamplePoints) {
        const QColor pixel = image.pixelColor(cellOrigin(cell) + sample);
        seen += pixel == Green ? u'B' : pixel == light ? u'L' : pixel == dark ? u'D' : u'?';
    }
    QCOMPARE(seen, pattern);
}

void TestLedFont::blankCellsShowOnlyTheBackground()
{
    TLEDFontNum led;
    setUpAsMeasurementDisplay(led);
    led.SetText(QStringLiteral("  32.0"));
    const QImage image = led.DrawDigits();

    // Everything left of the "3" (margins, two blank cells and their gaps),
    // and the margins below the cells.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < cellOrigin(2).x(); ++x)
            QCOMPARE(image.pixelColor(x, y), Green);
    for (int x = 0; x < image.width(); ++x)
        QCOMPARE(image.pixelColor(x, image.height() - 1), Green);
}

void TestLedFont::paintsItsPicture()
{
    QWidget panel;
    panel.resize(300, 104);
    auto *led = new TLEDFontNum(&panel);
    led->move(32, 32);
    setUpAsMeasurementDisplay(*led);
    led->SetText(QStringLiteral("  74.6"));
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));

    const QImage shown = led->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, led->DrawDigits());
}

void TestLedFont::accessibleText()
{
    TLEDFontNum led;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&led);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::StaticText);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("LED display"));
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("00"));
    led.SetText(QStringLiteral("  32.0"));
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("32.0"));
    led.SetUnit(QStringLiteral("°F"));
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("32.0 °F"));
    QCOMPARE(iface->text(QAccessible::Description), QString());
    led.SetAlarmText(QStringLiteral("High alarm: above 30.0 °F"));
    QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("High alarm: above 30.0 °F"));
}

QTEST_MAIN(TestLedFont)
#include "tst_ledfont.moc"
