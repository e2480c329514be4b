#include "cli/seriesfile.h"

#include "output/logic/seriescsv.h"
#include "output/logic/worksheetwriter.h"
#include "output/logic/xlsxsheetwriter.h"
#include "store/kelvoradatabase.h"
#include "store/logfilewriter.h"
#include "store/measuretable.h"
#include "store/wholefile.h"

#include <QFileInfo>

namespace SeriesFile {

std::optional<Format> formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("klg"))
        return Format::Log;
    if (suffix == QLatin1String("csv"))
        return Format::Csv;
    if (suffix == QLatin1String("xls"))
        return Format::Sheet;
    if (suffix == QLatin1String("xlsx"))
        return Format::Workbook;
    return std::nullopt;
}

QString knownExtensions()
{
    return QStringLiteral(".klg, .csv, .xls or .xlsx");
}

QString WriteResult::shortfall() const
{
    if (complete())
        return QString();
    return QStringLiteral("A sheet holds no more than %1 rows: %2 of %3 rows written.")
        .arg(maxRows)
        .arg(rowsWritten)
        .arg(rowCount);
}

WriteResult write(const QString &path, Format format, MeasureTable &table, LogValueText valueText)
{
    table.open();
    WriteResult result{table.recordCount(), table.recordCount(), table.recordCount()};
    switch (format) {
    case Format::Log: writeLogFile(path, table, valueText); break;
    case Format::Csv: writeWholeFile(path, csvBytes(table.rows(), valueText)); break;
    case Format::Sheet:
    case Format::Workbook: {
        // The layout the export gives a data window's grid, so the sheet is
        // the one the windows write for the same rows.
        const QVector<GridColumn> columns = DataGridColumns();
        ApplyGridLayout(table.fields(), columns);
        if (format == Format::Sheet) {
            result.rowsWritten = WriteWorkbookFile(path, table, columns, QString()).rowsWritten;
            result.maxRows = WorksheetWriter::MaxDataRows;
        } else {
            result.rowsWritten = XlsxSheet::writeFile(path, table, columns).rowsWritten;
            result.maxRows = XlsxSheet::MaxDataRows;
        }
        break;
    }
    }
    table.last();
    return result;
}

WriteResult write(const QString &path, Format format, QVector<MeasureRecord> rows, KelvoraDatabase &database,
                  MeasureTable &table, LogValueText valueText)
{
    table.close();
    table.emptyTable();
    table.open();
    database.inBulk([&] { table.appendAll(std::move(rows)); });
    return write(path, format, table, valueText);
}

} // namespace SeriesFile
