#pragma once

#include <QFont>
#include <QList>
#include <QMargins>
#include <QObject>
#include <QStringList>

class QChart;
class QGraphicsSimpleTextItem;

// Lines of text under a chart's bottom axis. They are items of the chart's
// own scene, so they are drawn wherever the chart is: on screen and in print.
// The chart's bottom margin grows by the lines' height to make room.
class ChartFooter : public QObject {
    Q_OBJECT
public:
    explicit ChartFooter(QChart *chart);

    void setLines(const QStringList &lines);
    QStringList lines() const { return m_lines; }
    // Qt::AlignLeft, Qt::AlignHCenter (the default) or Qt::AlignRight.
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const { return m_alignment; }
    void setFont(const QFont &font);

private:
    void placeLines();

    QChart *m_chart;
    QMargins m_baseMargins;
    QStringList m_lines;
    QList<QGraphicsSimpleTextItem *> m_items;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    QFont m_font;
};
