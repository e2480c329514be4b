#include "datachart.h"

#include "chartfooter.h"
#include "common/kelvoraerror.h"
#include "measure/logic/axislabelstep.h"
#include "measure/logic/drawableaxis.h"
#include "measure/logic/seriesdecimation.h"

#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// Pixel columns assumed before the chart has been laid out.
constexpr int defaultBuckets = 1000;

int axisIndex(ChartAxis axis)
{
    return static_cast<int>(axis);
}

Qt::Alignment axisAlignment(ChartAxis axis)
{
    switch (axis) {
    case ChartAxis::Left: return Qt::AlignLeft;
    case ChartAxis::Right: return Qt::AlignRight;
    case ChartAxis::Top: return Qt::AlignTop;
    case ChartAxis::Bottom: break;
    }
    return Qt::AlignBottom;
}

bool isVertical(ChartAxis axis)
{
    return axis == ChartAxis::Left || axis == ChartAxis::Right;
}

QString labelText(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace

DataChart::DataChart(QWidget *parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("Chart1"));
    setRenderHint(QPainter::Antialiasing, false);

    QChart *c = chart();
    // One plain white ground, drawn by the view: the chart's own rounded
    // background would cost a second fill of the whole area on every redraw.
    c->setBackgroundVisible(false);
    setBackgroundBrush(Qt::white);
    c->legend()->hide();
    c->setAnimationOptions(QChart::NoAnimation);
    QFont titleFont = c->titleFont();
    titleFont.setPixelSize(16);
    c->setTitleFont(titleFont);
    c->setTitleBrush(QColor(Qt::blue));

    for (ChartAxis a : allChartAxes) {
        auto *axis = new QValueAxis(c);
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0.0);
        axis->setTickInterval(1.0);
        axis->setLabelFormat(QStringLiteral("%.0f"));
        c->addAxis(axis, axisAlignment(a));
        m_axes[axisIndex(a)] = axis;
    }
    axis(ChartAxis::Top)->setVisible(false);
    axis(ChartAxis::Right)->setVisible(false);

    m_footer = new ChartFooter(c);

    m_updateTimer.setSingleShot(true);
    m_updateTimer.setInterval(0);
    connect(&m_updateTimer, &QTimer::timeout, this, &DataChart::applyUpdate);
    // A new plot size changes the label steps and the decimation.
    connect(c, &QChart::plotAreaChanged, this, &DataChart::scheduleUpdate);
    applyAxes();
}

DataChart::~DataChart() = default;

int DataChart::addSeries(const QString &name, const QColor &colour)
{
    Series s;
    s.name = name;
    s.colour = colour;
    addLine(s);
    m_series.push_back(s);
    return int(m_series.size()) - 1;
}

QLineSeries *DataChart::addLine(Series &s)
{
    auto *line = new QLineSeries; // owned by the chart once added
    line->setName(s.name);
    line->setObjectName(s.name);
    chart()->addSeries(line);
    line->attachAxis(axis(ChartAxis::Bottom));
    line->attachAxis(axis(ChartAxis::Left));
    QPen pen(s.colour);
    pen.setWidth(1);
    line->setPen(pen);
    s.lines.push_back(line);
    return line;
}

void DataChart::setSeriesColour(int series, const QColor &colour)
{
    Series &s = m_series.at(series);
    s.colour = colour;
    QPen pen(colour);
    pen.setWidth(1);
    for (QLineSeries *line : s.lines)
        line->setPen(pen);
}

QColor DataChart::seriesColour(int series) const
{
    return m_series.at(series).colour;
}

void DataChart::appendPoint(int series, double y, bool startsSegment)
{
    Series &s = m_series.at(series);
    if (startsSegment && !s.data.isEmpty())
        s.segmentStarts.append(s.data.size());
    s.data.append(y);
    if (!m_hasValues) {
        m_hasValues = true;
        m_minValue = m_maxValue = y;
    } else {
        m_minValue = std::min(m_minValue, y);
        m_maxValue = std::max(m_maxValue, y);
    }
    m_navigation.setDataExtent(ChartAxis::Left, AxisRange{m_minValue, m_maxValue});
    // The longest series spans the bottom axis' data.
    qsizetype longest = 0;
    for (const Series &other : m_series)
        longest = std::max(longest, other.data.size());
    m_navigation.setDataExtent(ChartAxis::Bottom, AxisRange{0.0, double(longest - 1)});
    dataChanged(series);
}

void DataChart::setSeriesData(int series, const QVector<double> &ys)
{
    m_series.at(series).data.assign(ys);
    recomputeDataExtents();
    dataChanged(series);
}

void DataChart::setSegmentStarts(int series, const QVector<qsizetype> &starts)
{
    m_series.at(series).segmentStarts = starts;
    dataChanged(series);
}

void DataChart::clearSeries(int series)
{
    m_series.at(series).segmentStarts.clear();
    setSeriesData(series, {});
}

const QVector<double> &DataChart::seriesData(int series) const
{
    return m_series.at(series).data.values();
}

QList<QPointF> DataChart::drawnPoints(int series)
{
    QList<QPointF> points;
    for (const QList<QPointF> &segment : drawnSegments(series))
        points += segment;
    return points;
}

QList<QList<QPointF>> DataChart::drawnSegments(int series)
{
    refresh();
    QList<QList<QPointF>> segments;
    for (const QLineSeries *line : m_series.at(series).lines)
        if (line->count() > 0)
            segments.append(line->points());
    return segments;
}

void DataChart::dataChanged(int series)
{
    m_series.at(series).dirty = true;
    scheduleUpdate();
}

void DataChart::recomputeDataExtents()
{
    m_hasValues = false;
    qsizetype longest = 0;
    for (const Series &s : m_series) {
        longest = std::max(longest, s.data.size());
        if (s.data.isEmpty())
            continue;
        const IndexedSeries::Extremes e = s.data.extremes(0, s.data.size() - 1);
        const double lo = s.data.values()[e.lowest];
        const double hi = s.data.values()[e.highest];
        m_minValue = m_hasValues ? std::min(m_minValue, lo) : lo;
        m_maxValue = m_hasValues ? std::max(m_maxValue, hi) : hi;
        m_hasValues = true;
    }
    m_navigation.setDataExtent(ChartAxis::Left,
                               m_hasValues ? std::optional<AxisRange>(AxisRange{m_minValue, m_maxValue})
                                           : std::nullopt);
    m_navigation.setDataExtent(ChartAxis::Bottom,
                               longest > 0 ? std::optional<AxisRange>(AxisRange{0.0, double(longest - 1)})
                                           : std::nullopt);
}

void DataChart::setTitle(const QString &text)
{
    chart()->setTitle(text);
}

QString DataChart::title() const
{
    return chart()->title();
}

void DataChart::setVerticalAxisTitle(const QString &text)
{
    m_verticalAxisTitle = text;
    // Axis titles are rich text, which would fold runs of blanks into one.
    axis(ChartAxis::Left)->setTitleText(QString(text).replace(QLatin1Char(' '), QChar(0xA0)));
}

void DataChart::setFooter(const QStringList &lines)
{
    m_footer->setLines(lines);
}

QStringList DataChart::footer() const
{
    return m_footer->lines();
}

void DataChart::setFooterAlignment(Qt::Alignment alignment)
{
    m_footer->setAlignment(alignment);
}

Qt::Alignment DataChart::footerAlignment() const
{
    return m_footer->alignment();
}

void DataChart::setAxisRange(ChartAxis axis, double minimum, double maximum)
{
    m_navigation.setRange(axis, minimum, maximum);
    scheduleUpdate();
}

void DataChart::setAxisAutomatic(ChartAxis axis, bool automatic)
{
    m_navigation.setAutomatic(axis, automatic);
    scheduleUpdate();
}

QValueAxis *DataChart::axis(ChartAxis axis) const
{
    return m_axes[axisIndex(axis)];
}

void DataChart::zoomPercent(double percent)
{
    m_navigation.zoomPercent(percent);
    scheduleUpdate();
}

void DataChart::undoZoom()
{
    m_navigation.undoZoom();
    scheduleUpdate();
}

void DataChart::refresh()
{
    applyUpdate();
    viewport()->update();
}

void DataChart::scheduleUpdate()
{
    if (!m_updateTimer.isActive())
        m_updateTimer.start();
}

void DataChart::applyUpdate()
{
    m_updateTimer.stop();
    applyAxes();

    const AxisRange visible = m_navigation.range(ChartAxis::Bottom);
    const QRectF plot = chart()->plotArea();
    const int buckets = plot.width() >= 1.0 ? int(plot.width()) : defaultBuckets;
    const bool viewChanged = visible.minimum != m_decimatedRange.minimum ||
                             visible.maximum != m_decimatedRange.maximum || buckets != m_decimatedBuckets;
    m_decimatedRange = visible;
    m_decimatedBuckets = buckets;
    for (Series &s : m_series) {
        if (!s.dirty && !viewChanged)
            continue;
        redrawSeries(s, visible, buckets);
        s.dirty = false;
    }
}

void DataChart::redrawSeries(Series &s, const AxisRange &visible, int buckets)
{
    const qsizetype n = s.data.size();
    // The points of [from, to] in view, with the neighbour outside each edge.
    const auto inView = [&](qsizetype from, qsizetype to) {
        const double lo = std::max(double(from), std::floor(visible.minimum));
        const double hi = std::min(double(to), std::ceil(visible.maximum));
        return hi >= lo ? hi - lo + 1.0 : 0.0;
    };
    // Each segment gets the share of the pixel columns that its points have.
    const double total = inView(0, n - 1);
    std::size_t used = 0;
    qsizetype first = 0;
    for (qsizetype k = 0; k <= s.segmentStarts.size() && first < n; ++k) {
        const qsizetype next = k < s.segmentStarts.size() ? std::clamp(s.segmentStarts[k], first, n) : n;
        if (next == first)
            continue;
        const qsizetype last = next - 1;
        const int share = total > 0.0 ? int(std::ceil(buckets * inView(first, last) / total)) : buckets;
        QList<QPointF> points = decimateMinMax(s.data, first, last, visible.minimum, visible.maximum, share);
        first = next;
        if (points.isEmpty())
            continue;
        QLineSeries *line = used < s.lines.size() ? s.lines[used] : addLine(s);
        // A lone reading between two gaps shows as a dot.
        line->setPointsVisible(points.size() == 1);
        line->replace(points);
        ++used;
    }
    for (std::size_t k = used; k < s.lines.size(); ++k)
        if (s.lines[k]->count() > 0)
            s.lines[k]->clear();
}

void DataChart::applyAxes()
{
    for (ChartAxis a : allChartAxes) {
        QValueAxis *valueAxis = axis(a);
        const AxisRange r = drawableRange(m_navigation.range(a));
        const double step = drawableTickInterval(r, labelStep(a, r));
        const bool rangeChanged = valueAxis->min() != r.minimum || valueAxis->max() != r.maximum;
        // The axis makes a label per step at once: of the two changes, make
        // first the one that leaves fewer labels in between.
        if (step >= valueAxis->tickInterval()) {
            valueAxis->setTickInterval(step);
            if (rangeChanged)
                valueAxis->setRange(r.minimum, r.maximum);
        } else {
            if (rangeChanged)
                valueAxis->setRange(r.minimum, r.maximum);
            valueAxis->setTickInterval(step);
        }
        const QString format = QStringLiteral("%.%1f").arg(axisLabelDecimals(step));
        if (valueAxis->labelFormat() != format)
            valueAxis->setLabelFormat(format);
    }
}

double DataChart::labelStep(ChartAxis a, const AxisRange &r) const
{
    const QRectF plot = chart()->plotArea();
    const QFontMetricsF metrics(axis(a)->labelsFont());
    const double width = r.maximum - r.minimum;
    if (isVertical(a)) {
        // Labels overlap when they come closer than a line of text.
        const double length = plot.height() >= 1.0 ? plot.height() : 400.0;
        return axisLabelStep(width, int(length / (metrics.height() * 1.2)), 1.0);
    }
    // The widest label and two digits of space decide, and the width of a
    // label depends on the step's decimals.
    const double length = plot.width() >= 1.0 ? plot.width() : 600.0;
    double step = 1.0;
    for (int pass = 0; pass < 2; ++pass) {
        const int decimals = axisLabelDecimals(step);
        const double labelWidth = std::max(metrics.horizontalAdvance(labelText(r.minimum, decimals)),
                                           metrics.horizontalAdvance(labelText(r.maximum, decimals))) +
                                  metrics.horizontalAdvance(QStringLiteral("00"));
        step = axisLabelStep(width, int(length / labelWidth), 1.0);
    }
    return step;
}

void DataChart::layoutChart()
{
    // A chart that was never shown still has to be drawn at its size.
    if (!isVisible() && chart()->size() != QSizeF(size()))
        chart()->resize(size());
    if (QGraphicsLayout *l = chart()->layout())
        l->activate();
    applyUpdate();
    if (QGraphicsLayout *l = chart()->layout())
        l->activate();
}

void DataChart::draw(QPainter *painter, const QRectF &target)
{
    layoutChart();
    const QRectF source = chart()->sceneBoundingRect();
    scene()->render(painter, target, source,
                    m_printProportional ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
}

void DataChart::print(QPrinter &printer)
{
    // Gives the printer its orientation back however the job ends.
    struct OrientationRestorer {
        QPrinter &printer;
        QPageLayout::Orientation orientation;
        ~OrientationRestorer() { printer.setPageOrientation(orientation); }
    } restorer{printer, printer.pageLayout().orientation()};

    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(objectName());
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString where = printer.outputFileName().isEmpty()
                                  ? QStringLiteral("the printer \"%1\"").arg(printer.printerName())
                                  : QStringLiteral("\"%1\"").arg(printer.outputFileName());
        throw KelvoraError(QStringLiteral("The graph could not be printed on %1.").arg(where));
    }
    const QRect target = printRectangle(QSize(printer.width(), printer.height()), m_printMargins);
    try {
        draw(&painter, target);
    } catch (...) {
        printer.abort();
        throw;
    }
    painter.end();
}
