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
    // Draws every page, or the printer's page range when it has one.
    void render(QPrinter &printer) const;

private:
    struct Metrics;
    Metrics metrics(QPrinter &printer) const;
    QString cellText(int row, const QString &field) const;

    const ReportLayout &m_layout;
    const MeasureTable &m_table;
    QString m_companyName;
    QDate m_printDate;
};
