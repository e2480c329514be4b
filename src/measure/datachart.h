#pragma once

#include "measure/logic/axisnavigation.h"
#include "measure/logic/indexedseries.h"
#include "measure/logic/printrectangle.h"

#include <QChartView>
#include <QColor>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <array>
#include <vector>

class ChartFooter;
class QLineSeries;
class QPainter;
class QPrinter;
class QValueAxis;

// The line chart of the data windows (component name "Chart1"): a title,
// four value axes (series are drawn against bottom and left; top and right
// are hidden and only follow the navigation), line series whose X values are
// the point indices 0, 1, 2, ..., no legend, and footer lines under the
// bottom axis.
//
// Each series keeps its full data beside the chart, with an index of its
// extremes. The chart itself draws a min/max-decimated copy of the visible
// part (about two points per pixel column), handed over with one replace()
// on the next turn of the event loop after any number of appends, and
// decimated again after a zoom or scroll. The index finds each pixel
// column's extremes without reading all its points, so a week of readings
// costs about what a short series does, and zooming in shows every point.
//
// A series may be broken into segments (where readings were missed): each
// segment is drawn by a line series of its own in the series' colour, so no
// line joins the last point of one segment to the first of the next.
class DataChart : public QChartView {
    Q_OBJECT
public:
    explicit DataChart(QWidget *parent = nullptr);
    ~DataChart() override;

    // Series are addressed by their index, 0 for the first one added.
    int addSeries(const QString &name, const QColor &colour);
    int seriesCount() const { return int(m_series.size()); }
    void setSeriesColour(int series, const QColor &colour);
    QColor seriesColour(int series) const;
    // Appends a point with the next index as X; startsSegment breaks the
    // line before it.
    void appendPoint(int series, double y, bool startsSegment = false);
    // New values keep the segments, as after a change of unit.
    void setSeriesData(int series, const QVector<double> &ys);
    // The indices (ascending) at which the line of a series starts anew.
    void setSegmentStarts(int series, const QVector<qsizetype> &starts);
    const QVector<qsizetype> &segmentStarts(int series) const { return m_series.at(series).segmentStarts; }
    // Empties the series and joins its segments.
    void clearSeries(int series);
    const QVector<double> &seriesData(int series) const;
    // The points the chart draws for a series (after the pending update),
    // all segments in turn.
    QList<QPointF> drawnPoints(int series);
    // The same, one list per drawn segment.
    QList<QList<QPointF>> drawnSegments(int series);

    // Title (blue, 16-pixel font unless changed through chart()).
    void setTitle(const QString &text);
    QString title() const;
    void setVerticalAxisTitle(const QString &text);
    QString verticalAxisTitle() const { return m_verticalAxisTitle; }
    void setFooter(const QStringList &lines);
    QStringList footer() const;
    void clearFooter() { setFooter({}); }
    void setFooterAlignment(Qt::Alignment alignment);
    Qt::Alignment footerAlignment() const;

    // The range in use; an automatic end follows the data.
    AxisRange axisRange(ChartAxis axis) const { return m_navigation.range(axis); }
    // Fixes both ends (the axis no longer follows the data); a minimum above
    // the maximum is swapped with it.
    void setAxisRange(ChartAxis axis, double minimum, double maximum);
    void setAxisAutomatic(ChartAxis axis, bool automatic);
    bool isAxisAutomatic(ChartAxis axis) const { return m_navigation.isAutomatic(axis); }
    QValueAxis *axis(ChartAxis axis) const;

    // Zooms all four axes by percent (120 in, 80 out), saving them at the
    // first zoom since creation or the last undo; undoZoom restores them.
    void zoomPercent(double percent);
    void undoZoom();
    bool isZoomed() const { return m_navigation.isZoomed(); }

    // Applies pending data and ranges now and redraws.
    void refresh();

    void setPrintMargins(const PrintMargins &margins) { m_printMargins = margins; }
    PrintMargins printMargins() const { return m_printMargins; }
    // Proportional printing keeps the on-screen aspect ratio; without it the
    // chart fills the print rectangle.
    void setPrintProportional(bool proportional) { m_printProportional = proportional; }
    bool printProportional() const { return m_printProportional; }
    // Prints the whole chart as shown into the margins' rectangle of one
    // landscape page, as a job named after the chart's component name, and
    // gives the printer its orientation back, also after a failure.
    // Throws KelvoraError when the job cannot be printed.
    void print(QPrinter &printer);
    // Draws the whole chart into target.
    void draw(QPainter *painter, const QRectF &target);

private:
    struct Series {
        QString name;
        QColor colour;
        // One per segment drawn so far; lines not needed now are empty.
        std::vector<QLineSeries *> lines;
        IndexedSeries data;
        QVector<qsizetype> segmentStarts;
        bool dirty = true;
    };

    QLineSeries *addLine(Series &s);
    void redrawSeries(Series &s, const AxisRange &visible, int buckets);

    void dataChanged(int series);
    void recomputeDataExtents();
    void scheduleUpdate();
    void applyUpdate();
    void applyAxes();
    double labelStep(ChartAxis axis, const AxisRange &range) const;
    void layoutChart();

    std::vector<Series> m_series;
    std::array<QValueAxis *, 4> m_axes{};
    AxisNavigation m_navigation;
    bool m_hasValues = false;
    double m_minValue = 0.0;
    double m_maxValue = 0.0;
    ChartFooter *m_footer;
    QString m_verticalAxisTitle;
    QTimer m_updateTimer;
    AxisRange m_decimatedRange{};
    int m_decimatedBuckets = 0;
    PrintMargins m_printMargins;
    bool m_printProportional = true;
};
