#pragma once

#include "output/logic/reportlayout.h"

#include <QDate>
#include <QString>

class MeasureTable;
class QPrinter;

// Draws the data sheet of a table by a report layout: on every page the
// title, the header lines, the column titles, as many rows as fit and the
// footer with the page number.
class DataSheetRenderer {
public:
    DataSheetRenderer(const ReportLayout &layout, const MeasureTable &table, const QString &companyName,
                      const QDate &printDate);

    // Gives the printer the layout's orientation and margins.
    void setUpPage(QPrinter &printer) const;
    // Throws ReportLayoutError naming the layout's file and lines when a
    // page of printer cannot hold the title, the header lines, the column
    // titles, one row and the footer.
    void checkPage(QPrinter &printer) const;
    // Draws every page, or the printer's page range when it has one. On a
    // page too small for one row (a page chosen in the print preview) it
    // draws the reason instead, never rows over the footer.
    void render(QPrinter &printer) const;

private:
    struct Metrics;
    Metrics metrics(QPrinter &printer) const;
    ReportLayoutError pageTooSmall(const Metrics &m) const;
    QString cellText(int row, const QString &field) const;

    const ReportLayout &m_layout;
    const MeasureTable &m_table;
    QString m_companyName;
    QDate m_printDate;
};
