#include "output/logic/exportformat.h"

#include "output/logic/worksheetwriter.h"
#include "output/logic/xlsxsheetwriter.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <limits>
#include <optional>

namespace {

std::optional<ExportFormat> formatOfSuffix(const QString &suffix)
{
    const QString lower = suffix.toLower();
    if (lower == QLatin1String("xls"))
        return ExportFormat::Xls;
    if (lower == QLatin1String("xlsx"))
        return ExportFormat::Xlsx;
    if (lower == QLatin1String("csv"))
        return ExportFormat::Csv;
    return std::nullopt;
}

// The extension of a filter's pattern, "XLS" of "*.XLS (*.XLS)"; the legacy
// sheet's for a filter of no known pattern.
QString filterSuffix(const QString &filter)
{
    static const QRegularExpression Pattern(QStringLiteral("\\(\\*\\.([A-Za-z]+)\\)$"));
    const QRegularExpressionMatch match = Pattern.match(filter.trimmed());
    const QString suffix = match.hasMatch() ? match.captured(1) : QString();
    return formatOfSuffix(suffix) ? suffix : QStringLiteral("XLS");
}

} // namespace

QString exportFilter()
{
    return QStringLiteral("*.XLS (*.XLS);;*.xls (*.xls);;Excel workbook (*.xlsx);;CSV (*.csv)");
}

ExportTarget exportTarget(const QString &chosen, const QString &selectedFilter)
{
    const QString typed = QFileInfo(chosen).suffix();
    if (const std::optional<ExportFormat> format = formatOfSuffix(typed))
        return {chosen, *format};
    const QString suffix = filterSuffix(selectedFilter);
    const QString path = typed.isEmpty() ? chosen + QLatin1Char('.') + suffix : chosen;
    return {path, *formatOfSuffix(suffix)};
}

int maxDataRows(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Xls: return WorksheetWriter::MaxDataRows;
    case ExportFormat::Xlsx: return XlsxSheet::MaxDataRows;
    case ExportFormat::Csv: break;
    }
    return std::numeric_limits<int>::max();
}
