#include "chartfooter.h"

#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsSimpleTextItem>

#include <cmath>

ChartFooter::ChartFooter(QChart *chart)
    : QObject(chart), m_chart(chart), m_baseMargins(chart->margins()), m_font(chart->font())
{
    connect(chart, &QChart::geometryChanged, this, &ChartFooter::placeLines);
}

void ChartFooter::setLines(const QStringList &lines)
{
    if (lines == m_lines)
        return;
    m_lines = lines;
    while (m_items.size() > m_lines.size())
        delete m_items.takeLast();
    while (m_items.size() < m_lines.size()) {
        auto *item = new QGraphicsSimpleTextItem(m_chart);
        item->setFont(m_font);
        m_items.append(item);
    }
    for (int i = 0; i < m_lines.size(); ++i)
        m_items[i]->setText(m_lines[i]);
    placeLines();
}

void ChartFooter::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    placeLines();
}

void ChartFooter::setFont(const QFont &font)
{
    m_font = font;
    for (QGraphicsSimpleTextItem *item : std::as_const(m_items))
        item->setFont(font);
    placeLines();
}

void ChartFooter::placeLines()
{
    const qreal lineHeight = QFontMetricsF(m_font).lineSpacing();
    const int footerHeight = int(std::ceil(lineHeight * m_items.size()));
    QMargins margins = m_baseMargins;
    margins.setBottom(m_baseMargins.bottom() + footerHeight);
    if (m_chart->margins() != margins)
        m_chart->setMargins(margins);

    // The block ends half a base margin above the chart's lower edge.
    const QSizeF size = m_chart->size();
    qreal y = size.height() - footerHeight - m_baseMargins.bottom() / 2.0;
    for (QGraphicsSimpleTextItem *item : std::as_const(m_items)) {
        const qreal width = item->boundingRect().width();
        qreal x = m_baseMargins.left();
        if (m_alignment & Qt::AlignHCenter)
            x = (size.width() - width) / 2.0;
        else if (m_alignment & Qt::AlignRight)
            x = size.width() - m_baseMargins.right() - width;
        item->setPos(x, y);
        y += lineHeight;
    }
}
