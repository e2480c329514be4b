// The row colours of the measurement and import grids (extremes) and of the
// data view grid (one colour per loaded file).
#include "store/gridcolouring.h"

#include <QtTest>

Q_DECLARE_METATYPE(CellColour)
Q_DECLARE_METATYPE(FileBounds)

namespace QTest {
template <>
char *toString(const CellColour &colour)
{
    return qstrdup(QByteArray::number(static_cast<int>(colour)).constData());
}
} // namespace QTest

class TestGridColouring : public QObject {
    Q_OBJECT
private slots:
    void rowColour_data();
    void rowColour();
};

void TestGridColouring::rowColour_data()
{
    QTest::addColumn<bool>("byFile");
    QTest::addColumn<double>("meavalue");
    QTest::addColumn<double>("maxReading");
    QTest::addColumn<double>("minReading");
    QTest::addColumn<qint64>("recno");
    QTest::addColumn<FileBounds>("bounds");
    QTest::addColumn<bool>("tableBusy");
    QTest::addColumn<bool>("tableEmpty");
    QTest::addColumn<CellColour>("expected");

    auto extremes = [](const char *name, double v, double max, double min, CellColour expected) {
        QTest::newRow(name) << false << v << max << min << qint64(0) << FileBounds{} << false << false << expected;
    };
    extremes("single row: purple", 36.6, 36.6, 36.6, CellColour::Purple);
    extremes("equal extremes, value above", 37.0, 36.6, 36.6, CellColour::Red);
    extremes("equal extremes, value below", 36.0, 36.6, 36.6, CellColour::Purple);
    extremes("at the maximum", 40.0, 40.0, 20.0, CellColour::Red);
    extremes("above a stale maximum", 41.0, 40.0, 20.0, CellColour::Red);
    extremes("at the minimum", 20.0, 40.0, 20.0, CellColour::Purple);
    extremes("between", 30.0, 40.0, 20.0, CellColour::Default);

    auto files = [](const char *name, qint64 recno, const FileBounds &bounds, CellColour expected,
                    bool busy = false, bool empty = false) {
        QTest::newRow(name) << true << 0.0 << 0.0 << 0.0 << recno << bounds << busy << empty << expected;
    };
    const FileBounds three{11, 21, 31, 0, 0, 0, 0, 0, 0, 0};
    files("3 files: first row", 1, three, CellColour::Blue);
    files("3 files: end of file 1", 10, three, CellColour::Blue);
    files("3 files: file 2", 11, three, CellColour::Green);
    files("3 files: end of file 2", 20, three, CellColour::Green);
    files("3 files: file 3", 21, three, CellColour::Navy);
    files("3 files: end of file 3", 30, three, CellColour::Navy);
    files("3 files: unloaded bounds 0 colour nothing", 31, three, CellColour::Default);
    files("no file loaded", 1, FileBounds{}, CellColour::Default);

    const FileBounds ten{2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const CellColour tenColours[] = {CellColour::Blue,   CellColour::Green,        CellColour::Navy,
                                     CellColour::Red,    CellColour::Purple,       CellColour::ButtonShadow,
                                     CellColour::Maroon, CellColour::Desktop,      CellColour::MoneyGreen,
                                     CellColour::Yellow};
    for (int file = 1; file <= 10; ++file)
        files(qPrintable(QStringLiteral("10 files: file %1").arg(file)), file, ten, tenColours[file - 1]);
    files("10 files: the tenth has no upper bound", 100000, ten, CellColour::Yellow);
    files("9 files: last row of the ninth", 9, FileBounds{2, 3, 4, 5, 6, 7, 8, 9, 10, 0},
          CellColour::MoneyGreen);
    files("8 files: rows past them", 9, FileBounds{2, 3, 4, 5, 6, 7, 8, 9, 0, 0}, CellColour::Default);

    files("table busy", 1, three, CellColour::Default, true);
    files("table empty", 1, three, CellColour::Default, false, true);
}

void TestGridColouring::rowColour()
{
    QFETCH(bool, byFile);
    QFETCH(double, meavalue);
    QFETCH(double, maxReading);
    QFETCH(double, minReading);
    QFETCH(qint64, recno);
    QFETCH(FileBounds, bounds);
    QFETCH(bool, tableBusy);
    QFETCH(bool, tableEmpty);

    const CellColour colour = byFile ? filesColour(recno, bounds, tableBusy, tableEmpty)
                                     : extremesColour(meavalue, maxReading, minReading);
    QTEST(colour, "expected");
}

QTEST_GUILESS_MAIN(TestGridColouring)
#include "tst_gridcolouring.moc"
