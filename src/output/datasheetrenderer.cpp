#include "output/datasheetrenderer.h"

#include "store/measuretable.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

struct DataSheetRenderer::Metrics {
    QFont body;
    QFont bold;
    QFont title;
    double dotsPerMm = 0;
    double titleHeight = 0;
    double lineHeight = 0;
    double baseline = 0; // of a row's text below the row's top
    double charWidth = 0;
    double headerHeight = 0; // title, header lines, gap and column titles
    double footerHeight = 0;
    QSizeF area;
    int rowsPerPage = 0;
};

DataSheetRenderer::DataSheetRenderer(const ReportLayout &layout, const MeasureTable &table,
                                     const QString &companyName, const QDate &printDate)
    : m_layout(layout), m_table(table), m_companyName(companyName), m_printDate(printDate)
{
}

void DataSheetRenderer::setUpPage(QPrinter &printer) const
{
    printer.setPageOrientation(m_layout.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(m_layout.marginsMm, QPageLayout::Millimeter);
}

DataSheetRenderer::Metrics DataSheetRenderer::metrics(QPrinter &printer) const
{
    Metrics m;
    // Cells stand at character positions of a fixed-pitch font, so that a
    // whole row is one text: a print preview records every page up front,
    // and a text costs it mostly per drawing, not per character.
    m.body = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m.body.setPointSizeF(m_layout.fontPointSize);
    // Rows are plain digits and letters: skipping the text shaper (it still
    // runs for scripts that need it) more than halves the recording time.
    m.body.setStyleStrategy(QFont::PreferNoShaping);
    m.bold = m.body;
    m.bold.setBold(true);
    m.title.setPointSizeF(m_layout.titlePointSize);
    m.title.setBold(true);
    // Fonts measured for the printer, whose resolution the painter uses.
    m.dotsPerMm = printer.logicalDpiY() / 25.4;
    m.titleHeight = QFontMetricsF(m.title, &printer).height() * 1.3;
    const QFontMetricsF bodyMetrics(m.body, &printer);
    m.lineHeight = bodyMetrics.height() * 1.25;
    m.baseline = (m.lineHeight - bodyMetrics.height()) / 2 + bodyMetrics.ascent();
    m.charWidth = bodyMetrics.horizontalAdvance(QLatin1Char('0'));
    m.headerHeight = (m_layout.title.isEmpty() ? 0 : m.titleHeight) +
                     m.lineHeight * (m_layout.header.size() + 1) + m.lineHeight * 1.2;
    m.footerHeight = m_layout.footer.isEmpty() ? 0 : m.lineHeight * 1.5;
    m.area = printer.pageLayout().paintRectPixels(printer.logicalDpiX()).size();
    m.rowsPerPage = qMax(0, int((m.area.height() - m.headerHeight - m.footerHeight) / m.lineHeight));
    return m;
}

ReportLayoutError DataSheetRenderer::pageTooSmall(const Metrics &m) const
{
    const auto mm = [&m](double pixels) { return QString::number(pixels / m.dotsPerMm, 'f', 1); };
    return m_layout.heightError(
        QStringLiteral("the title, header lines, column titles, one row and the footer "
                       "need %1 mm, but the page has %2 mm between its margins")
            .arg(mm(m.headerHeight + m.lineHeight + m.footerHeight), mm(m.area.height())));
}

void DataSheetRenderer::checkPage(QPrinter &printer) const
{
    const Metrics m = metrics(printer);
    if (m.rowsPerPage < 1)
        throw pageTooSmall(m);
}

QString DataSheetRenderer::cellText(int row, const QString &field) const
{
    const MeasureRecord &r = m_table.rows().at(row);
    if (field == QLatin1String("RecNo"))
        return QString::number(r.recno);
    if (field == QLatin1String("MeaValue"))
        return QString::number(r.meavalue, 'g', 15);
    if (field == QLatin1String("Ems"))
        return QString::number(r.ems, 'g', 15);
    if (field == QLatin1String("Date"))
        return r.date;
    if (field == QLatin1String("Time"))
        return r.time;
    return r.unit;
}

void DataSheetRenderer::render(QPrinter &printer) const
{
    const Metrics m = metrics(printer);
    if (m.rowsPerPage < 1) {
        QPainter painter(&printer);
        painter.setFont(m.body);
        painter.drawText(QRectF(QPointF(0, 0), m.area), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         pageTooSmall(m).text());
        return;
    }
    const int rows = m_table.recordCount();
    const int pages = qMax(1, (rows + m.rowsPerPage - 1) / m.rowsPerPage);
    int first = 1;
    int last = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = qMax(1, printer.fromPage());
        last = qMin(pages, printer.toPage() > 0 ? printer.toPage() : pages);
    }

    // Each column starts at the character nearest its place in the layout.
    QVector<int> start{0};
    double mm = 0;
    for (const ReportLayout::Column &c : m_layout.columns) {
        mm += c.widthMm;
        start.append(qMax(start.last() + 2, qRound(mm * m.dotsPerMm / m.charWidth)));
    }
    const auto rowText = [&](auto cell) {
        QString text;
        text.reserve(start.last());
        for (int c = 0; c < m_layout.columns.size(); ++c) {
            text += QStringView(cell(c)).left(start[c + 1] - start[c] - 1);
            if (c + 1 < m_layout.columns.size())
                text.resize(start[c + 1], QLatin1Char(' '));
        }
        return text;
    };
    const double tableWidth = start.last() * m.charWidth;
    const QString printDate =
        QStringLiteral("Print date: ") + m_printDate.toString(QStringLiteral("yyyy-MM-dd"));

    QPainter painter(&printer);
    for (int page = first; page <= last; ++page) {
        if (page > first)
            printer.newPage();
        double y = 0;
        if (!m_layout.title.isEmpty()) {
            painter.setFont(m.title);
            painter.drawText(QRectF(0, y, m.area.width(), m.titleHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                             m_layout.title);
            y += m.titleHeight;
        }
        painter.setFont(m.body);
        for (ReportLayout::HeaderField field : m_layout.header) {
            painter.drawText(QRectF(0, y, m.area.width(), m.lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                             field == ReportLayout::HeaderField::CompanyName ? m_companyName : printDate);
            y += m.lineHeight;
        }
        y += m.lineHeight;

        painter.setFont(m.bold);
        painter.drawText(QPointF(0, y + m.baseline),
                         rowText([&](int c) { return m_layout.columns[c].title; }));
        y += m.lineHeight * 1.1;
        painter.drawLine(QPointF(0, y), QPointF(tableWidth, y));
        y += m.lineHeight * 0.1;

        painter.setFont(m.body);
        const int end = qMin(rows, page * m.rowsPerPage);
        for (int row = (page - 1) * m.rowsPerPage; row < end; ++row) {
            painter.drawText(QPointF(0, y + m.baseline),
                             rowText([&](int c) { return cellText(row, m_layout.columns[c].field); }));
            y += m.lineHeight;
        }

        if (!m_layout.footer.isEmpty())
            painter.drawText(QRectF(0, m.area.height() - m.lineHeight, m.area.width(), m.lineHeight),
                             Qt::AlignHCenter | Qt::AlignVCenter, m_layout.footerText(page, pages));
    }
}
