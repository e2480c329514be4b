// The data windows' chart: batched drawing of appended points, automatic and
// fixed axes, decimation that keeps extremes and shows every point when
// zoomed in, labels that do not overlap, the footer, and printing.
#include "pdfinspection.h"

#include "common/kelvoraerror.h"
#include "measure/datachart.h"

#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

Q_DECLARE_METATYPE(AxisRange)

namespace {

// A chart as the measurement window sets it up, shown at a fixed size.
std::unique_ptr<DataChart> measurementChart()
{
    auto chart = std::make_unique<DataChart>();
    chart->addSeries(QStringLiteral("Series1"), Qt::red);
    chart->setTitle(QStringLiteral("Temp. Graph Analyzing"));
    chart->setVerticalAxisTitle(QStringLiteral("Temperature        (Unit:  C)"));
    chart->setFooterAlignment(Qt::AlignLeft);
    chart->resize(900, 600);
    chart->show();
    return chart;
}

// Lets the chart take in everything pending, layout included.
void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Readings around 25 degrees with one spike up and one down.
QVector<double> readings(int n)
{
    QVector<double> ys(n);
    for (int i = 0; i < n; ++i)
        ys[i] = 25.0 + std::sin(i / 50.0);
    if (n > 80000) {
        ys[31337] = 480.0;
        ys[80000] = -30.0;
    }
    return ys;
}

void compareRange(AxisRange actual, AxisRange expected)
{
    QCOMPARE(actual.minimum, expected.minimum);
    QCOMPARE(actual.maximum, expected.maximum);
}

QList<QGraphicsSimpleTextItem *> footerItems(DataChart &chart, const QStringList &lines)
{
    QList<QGraphicsSimpleTextItem *> items;
    for (QGraphicsItem *item : chart.chart()->childItems())
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item))
            if (lines.contains(text->text()))
                items.append(text);
    return items;
}

} // namespace

class TestDataChart : public QObject {
    Q_OBJECT
private slots:
    void appendsAreDrawnInOneReplace();
    void automaticAxesFollowTheData_data();
    void automaticAxesFollowTheData();
    void settingARangeFixesTheAxis_data();
    void settingARangeFixesTheAxis();
    void longSeriesIsDecimatedKeepingExtremes();
    void zoomingInShowsEveryPoint();
    void brokenSeriesDrawsNoLineAcrossAGap();
    void labelsDoNotOverlap_data();
    void labelsDoNotOverlap();
    void anyDataLeavesFewTicks_data();
    void anyDataLeavesFewTicks();
    void footerLinesUnderTheBottomAxis_data();
    void footerLinesUnderTheBottomAxis();
    void verticalAxisTitleKeepsItsBlanks();
    void printsTheWholeChartOnALandscapePage();
    void failedPrintKeepsThePrinterOrientation();
};

void TestDataChart::appendsAreDrawnInOneReplace()
{
    auto chart = measurementChart();
    chart->setAxisRange(ChartAxis::Left, 0.0, 100.0);
    chart->setAxisRange(ChartAxis::Bottom, 0.0, 2000.0);
    settle();
    QLineSeries *series = qobject_cast<QLineSeries *>(chart->chart()->series().first());
    QSignalSpy replaced(series, &QXYSeries::pointsReplaced);
    QSignalSpy added(series, &QXYSeries::pointAdded);

    for (double y : readings(1000))
        chart->appendPoint(0, y);
    QCOMPARE(series->count(), 0); // nothing drawn until the event loop turns
    settle();

    QCOMPARE(replaced.count(), 1);
    QCOMPARE(added.count(), 0);
    QCOMPARE(series->count(), 1000);
    QCOMPARE(series->at(999), QPointF(999.0, readings(1000).at(999)));
}

void TestDataChart::automaticAxesFollowTheData_data()
{
    QTest::addColumn<QVector<double>>("values");
    QTest::addColumn<AxisRange>("bottom");
    QTest::addColumn<AxisRange>("left");

    QTest::newRow("three readings") << QVector<double>{21.5, 25.0, 19.0} << AxisRange{0.0, 2.0}
                                    << AxisRange{19.0, 25.0};
    QTest::newRow("one reading, one unit either side")
        << QVector<double>{25.0} << AxisRange{-1.0, 1.0} << AxisRange{24.0, 26.0};
    const QVector<double> hundred = readings(100);
    const auto [lo, hi] = std::minmax_element(hundred.cbegin(), hundred.cend());
    QTest::newRow("a hundred points") << hundred << AxisRange{0.0, 99.0} << AxisRange{*lo, *hi};
}

void TestDataChart::automaticAxesFollowTheData()
{
    QFETCH(QVector<double>, values);
    QFETCH(AxisRange, bottom);
    QFETCH(AxisRange, left);

    auto chart = measurementChart();
    for (double y : values)
        chart->appendPoint(0, y);
    // Read at once, and as drawn.
    compareRange(chart->axisRange(ChartAxis::Bottom), bottom);
    compareRange(chart->axisRange(ChartAxis::Left), left);
    settle();
    QCOMPARE(chart->axis(ChartAxis::Bottom)->min(), bottom.minimum);
    QCOMPARE(chart->axis(ChartAxis::Bottom)->max(), bottom.maximum);
    QCOMPARE(chart->axis(ChartAxis::Left)->min(), left.minimum);
    QCOMPARE(chart->axis(ChartAxis::Left)->max(), left.maximum);

    // Clearing the series leaves nothing drawn.
    chart->clearSeries(0);
    QVERIFY(chart->drawnPoints(0).isEmpty());
}

void TestDataChart::settingARangeFixesTheAxis_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    QTest::newRow("in order") << 200.0 << 500.0;
    QTest::newRow("minimum above maximum is swapped") << 500.0 << 200.0;
}

void TestDataChart::settingARangeFixesTheAxis()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);

    auto chart = measurementChart();
    chart->setAxisRange(ChartAxis::Left, minimum, maximum);
    for (double y : {150.0, 620.0})
        chart->appendPoint(0, y);
    QVERIFY(!chart->isAxisAutomatic(ChartAxis::Left));
    QVERIFY(chart->isAxisAutomatic(ChartAxis::Bottom));
    compareRange(chart->axisRange(ChartAxis::Left), AxisRange{200.0, 500.0});
    settle();
    QCOMPARE(chart->axis(ChartAxis::Left)->min(), 200.0);
    QCOMPARE(chart->axis(ChartAxis::Left)->max(), 500.0);

    chart->setAxisAutomatic(ChartAxis::Left, true);
    compareRange(chart->axisRange(ChartAxis::Left), AxisRange{150.0, 620.0});
}

void TestDataChart::longSeriesIsDecimatedKeepingExtremes()
{
    auto chart = measurementChart();
    const QVector<double> data = readings(100000);
    for (double y : data)
        chart->appendPoint(0, y);
    settle();
    const QList<QPointF> drawn = chart->drawnPoints(0);

    const double plotWidth = chart->chart()->plotArea().width();
    QVERIFY2(drawn.size() <= 2 * plotWidth + 2, qPrintable(QString::number(drawn.size())));
    QCOMPARE(drawn.first(), QPointF(0.0, data.first()));
    QCOMPARE(drawn.last(), QPointF(99999.0, data.last()));
    QVERIFY(drawn.contains(QPointF(31337.0, 480.0)));
    QVERIFY(drawn.contains(QPointF(80000.0, -30.0)));
}

void TestDataChart::zoomingInShowsEveryPoint()
{
    auto chart = measurementChart();
    const QVector<double> data = readings(100000);
    for (double y : data)
        chart->appendPoint(0, y);
    settle();
    const double plotWidth = chart->chart()->plotArea().width();

    // Each zoom in shows 60 % of the range: 18 of them leave about 10 points.
    for (int i = 0; i < 18; ++i)
        chart->zoomPercent(120.0);
    AxisRange view = chart->axisRange(ChartAxis::Bottom);
    QVERIFY(view.maximum - view.minimum < plotWidth);
    QList<QPointF> drawn = chart->drawnPoints(0);
    int first = int(std::floor(view.minimum));
    QCOMPARE(drawn.size(), int(std::ceil(view.maximum)) - first + 1);
    for (int i = 0; i < drawn.size(); ++i)
        QCOMPARE(drawn[i], QPointF(first + i, data[first + i]));

    // Scrolling far to the right decimates again, for the new view.
    chart->setAxisRange(ChartAxis::Bottom, 90000.0, 90005.0);
    drawn = chart->drawnPoints(0);
    QCOMPARE(drawn.size(), 6);
    QCOMPARE(drawn.first(), QPointF(90000.0, data[90000]));

    // Reset: the whole series again, decimated.
    chart->undoZoom();
    settle();
    view = chart->axisRange(ChartAxis::Bottom);
    QCOMPARE(view.maximum, 99999.0);
    drawn = chart->drawnPoints(0);
    QVERIFY(drawn.size() <= 2 * plotWidth + 2);
    QCOMPARE(drawn.last().x(), 99999.0);
}

void TestDataChart::brokenSeriesDrawsNoLineAcrossAGap()
{
    auto chart = measurementChart();
    const QVector<double> data = readings(100000);
    chart->setSeriesData(0, data);
    // A lone reading at 30000 between two gaps, and a gap before 70000.
    chart->setSegmentStarts(0, {30000, 30001, 70000});
    settle();
    const auto checkSegments = [&](const QList<QList<QPointF>> &segments,
                                   const QList<QPair<int, int>> &ends) {
        QCOMPARE(segments.size(), ends.size());
        for (int k = 0; k < segments.size(); ++k) {
            QCOMPARE(segments[k].first().x(), double(ends[k].first));
            QCOMPARE(segments[k].last().x(), double(ends[k].second));
        }
    };
    checkSegments(chart->drawnSegments(0), {{0, 29999}, {30000, 30000}, {30001, 69999}, {70000, 99999}});
    // Decimated about as the whole line would be (each segment keeps its
    // ends), extremes kept.
    const QList<QPointF> drawn = chart->drawnPoints(0);
    QVERIFY2(drawn.size() <= 2 * chart->chart()->plotArea().width() + 2 + 4 * 4,
             qPrintable(QString::number(drawn.size())));
    QVERIFY(drawn.contains(QPointF(31337.0, 480.0)));
    QVERIFY(drawn.contains(QPointF(80000.0, -30.0)));

    // Zoomed in around the lone reading: every point, still apart.
    chart->setAxisRange(ChartAxis::Bottom, 29997.0, 30003.0);
    checkSegments(chart->drawnSegments(0), {{29997, 29999}, {30000, 30000}, {30001, 30003}});
    QCOMPARE(chart->drawnPoints(0).size(), 7);

    // All segments take a new colour; a new unit keeps the gaps.
    chart->setSeriesColour(0, Qt::blue);
    for (QAbstractSeries *series : chart->chart()->series())
        QCOMPARE(qobject_cast<QLineSeries *>(series)->pen().color(), QColor(Qt::blue));
    QVector<double> converted = data;
    for (double &y : converted)
        y = y * 1.8 + 32;
    chart->setSeriesData(0, converted);
    chart->setAxisAutomatic(ChartAxis::Bottom, true);
    QCOMPARE(chart->drawnSegments(0).size(), 4);

    // Cleared, the next points are one line again.
    chart->clearSeries(0);
    for (double y : {1.0, 2.0, 3.0})
        chart->appendPoint(0, y);
    chart->appendPoint(0, 4.0, true);
    checkSegments(chart->drawnSegments(0), {{0, 2}, {3, 3}});
}

void TestDataChart::labelsDoNotOverlap_data()
{
    QTest::addColumn<ChartAxis>("axis");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");

    // 0 for a step that only has to keep the labels apart.
    QTest::newRow("vertical, ten degrees: every degree") << ChartAxis::Left << 200.0 << 210.0 << 1.0;
    QTest::newRow("vertical, 200 to 500") << ChartAxis::Left << 200.0 << 500.0 << 0.0;
    QTest::newRow("vertical, 392 to 932") << ChartAxis::Left << 392.0 << 932.0 << 0.0;
    QTest::newRow("horizontal, 20 points: every point") << ChartAxis::Bottom << 0.0 << 19.0 << 1.0;
    QTest::newRow("horizontal, 100,000 points") << ChartAxis::Bottom << 0.0 << 99999.0 << 0.0;
}

void TestDataChart::labelsDoNotOverlap()
{
    QFETCH(ChartAxis, axis);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);

    auto chart = measurementChart();
    chart->setAxisRange(axis, minimum, maximum);
    settle();

    QValueAxis *valueAxis = chart->axis(axis);
    const QRectF plot = chart->chart()->plotArea();
    const double pixelsPerStep = valueAxis->tickInterval() *
                                 (axis == ChartAxis::Left ? plot.height() : plot.width()) /
                                 (maximum - minimum);
    const QFontMetricsF metrics(valueAxis->labelsFont());
    const double labelExtent = axis == ChartAxis::Left
                                   ? metrics.height()
                                   : metrics.horizontalAdvance(QString::number(maximum, 'f', 0));
    QVERIFY2(pixelsPerStep > labelExtent,
             qPrintable(QStringLiteral("step %1").arg(valueAxis->tickInterval())));
    if (step > 0.0)
        QCOMPARE(valueAxis->tickInterval(), step);
}

void TestDataChart::anyDataLeavesFewTicks_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("reading");

    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // A value of 1e300 read from a log file once froze the program in the
    // axis' tick layout.
    QTest::newRow("axis up to 1e300") << 200.0 << 1e300 << 1e300;
    QTest::newRow("axis over the whole double range") << -1.7e308 << 1.7e308 << -1.7e308;
    QTest::newRow("tiny range at a huge value") << 1e15 << 1e15 + 0.125 << 1e15;
    QTest::newRow("infinite end") << 200.0 << inf << inf;
    QTest::newRow("not a number") << nan << 500.0 << nan;
}

void TestDataChart::anyDataLeavesFewTicks()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, reading);

    auto chart = measurementChart();
    chart->appendPoint(0, reading);
    chart->setAxisRange(ChartAxis::Left, minimum, maximum);
    settle();
    chart->setAxisAutomatic(ChartAxis::Left, true);
    chart->zoomPercent(120);
    settle();

    for (ChartAxis a : allChartAxes) {
        const QValueAxis *axis = chart->axis(a);
        QVERIFY(std::isfinite(axis->min()) && std::isfinite(axis->max()));
        QVERIFY(axis->min() < axis->max());
        QVERIFY(axis->min() + axis->tickInterval() > axis->min());
        QVERIFY2((axis->max() - axis->min()) / axis->tickInterval() <= 1000,
                 qPrintable(QStringLiteral("%1 to %2 by %3")
                                .arg(axis->min())
                                .arg(axis->max())
                                .arg(axis->tickInterval())));
    }
}

void TestDataChart::footerLinesUnderTheBottomAxis_data()
{
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::newRow("left") << Qt::Alignment(Qt::AlignLeft);
    QTest::newRow("centre") << Qt::Alignment(Qt::AlignHCenter);
}

void TestDataChart::footerLinesUnderTheBottomAxis()
{
    QFETCH(Qt::Alignment, alignment);

    auto chart = measurementChart();
    chart->setFooterAlignment(alignment);
    const QStringList lines{QStringLiteral("          MAX:     25.0") + QString(28, QLatin1Char(' ')) +
                                QStringLiteral("MIN:     21.5"),
                            QStringLiteral("          Date:     2024-05-01")};
    chart->setFooter(lines);
    settle();

    QCOMPARE(chart->footer(), lines);
    const QList<QGraphicsSimpleTextItem *> items = footerItems(*chart, lines);
    QCOMPARE(items.size(), 2);
    const QRectF chartRect(QPointF(0, 0), chart->chart()->size());
    // Below the bottom axis' labels, inside the chart, one under the other.
    const double labelsBottom = chart->chart()->plotArea().bottom() +
                                QFontMetricsF(chart->axis(ChartAxis::Bottom)->labelsFont()).height();
    for (QGraphicsSimpleTextItem *item : items) {
        const QRectF r = item->mapRectToParent(item->boundingRect());
        QVERIFY(r.top() >= labelsBottom);
        QVERIFY(chartRect.contains(r));
    }
    const QRectF first = items[0]->mapRectToParent(items[0]->boundingRect());
    const QRectF second = items[1]->mapRectToParent(items[1]->boundingRect());
    QVERIFY(second.top() >= first.bottom() - 1);
    if (alignment == Qt::AlignLeft) {
        QCOMPARE(first.left(), second.left());
    } else {
        QVERIFY(qAbs(first.center().x() - chartRect.center().x()) < 1.0);
        QVERIFY(qAbs(second.center().x() - chartRect.center().x()) < 1.0);
    }

    chart->clearFooter();
    QVERIFY(footerItems(*chart, lines).isEmpty());
}

void TestDataChart::verticalAxisTitleKeepsItsBlanks()
{
    auto chart = measurementChart();
    QCOMPARE(chart->verticalAxisTitle(), QStringLiteral("Temperature        (Unit:  C)"));
    // Drawn with its blanks, not folded into one as rich text would.
    QVERIFY(!chart->axis(ChartAxis::Left)->titleText().contains(QLatin1String("  ")));
    QCOMPARE(chart->axis(ChartAxis::Left)->titleText().size(), chart->verticalAxisTitle().size());
    QVERIFY(chart->axis(ChartAxis::Left)->titleText().startsWith(QLatin1String("Temperature")));
}

void TestDataChart::printsTheWholeChartOnALandscapePage()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("chart.pdf"));
    auto chart = measurementChart();
    chart->setAxisRange(ChartAxis::Left, 200.0, 500.0);
    for (double y : readings(300))
        chart->appendPoint(0, y * 10.0);
    chart->setFooter(
        {QStringLiteral("          MAX:     261.7"), QStringLiteral("          Date:     2024-05-01")});
    chart->zoomPercent(120.0);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageOrientation(QPageLayout::Portrait);
    chart->print(printer);

    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
    QCOMPARE(pdfPageCount(file), 1);
    const QSizeF page = pdfPageSize(file);
    QVERIFY2(page.width() > page.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(page.width()).arg(page.height())));
    QCOMPARE(pdfInfoField(file, QStringLiteral("Title")), QStringLiteral("Chart1"));
    const QString text = pdfText(file);
    QVERIFY2(text.contains(QLatin1String("Temp. Graph Analyzing")), qPrintable(text));
    // The footer lines themselves, each on a line of its own under the chart.
    QVERIFY2(pdfHasLine(text, QStringLiteral("MAX:\\s+261\\.7")), qPrintable(text));
    QVERIFY(pdfHasLine(text, QStringLiteral("Date:\\s+2024-05-01")));
    // The axes as they are now: zoomed to 260..440, labels standing alone.
    QVERIFY(pdfHasLine(text, QStringLiteral("260")));
    QVERIFY(pdfHasLine(text, QStringLiteral("440")));
    QVERIFY(!text.contains(QLatin1String("500")));
}

void TestDataChart::failedPrintKeepsThePrinterOrientation()
{
    QTemporaryDir dir;
    auto chart = measurementChart();
    chart->appendPoint(0, 25.0);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/chart.pdf")));
    printer.setPageOrientation(QPageLayout::Portrait);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
    QVERIFY_THROWS_EXCEPTION(KelvoraError, chart->print(printer));
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
}

QTEST_MAIN(TestDataChart)
#include "tst_datachart.moc"
