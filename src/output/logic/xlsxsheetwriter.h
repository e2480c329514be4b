#pragma once

#include "output/logic/worksheetwriter.h"

#include <QString>
#include <QVector>

class MeasureTable;

// Lays a table out as an Excel workbook (.xlsx) of one sheet: the titles of
// the grid's visible columns in row 1, frozen, each above its field's cells,
// and from row 2 one row per table row, cells at the same positions as in
// the .xls sheet; a hidden column stays empty and is hidden in the sheet.
// Numbers are number cells; a date (yyyy-MM-dd) and a time (HH:mm:ss) are
// date and time cells shown as "yyyy-mm-dd" and "hh:mm:ss"; other values
// are text.
namespace XlsxSheet {

// A sheet has 1,048,576 rows, one of which holds the titles.
constexpr int MaxDataRows = 1048575;

// The Excel date serial of a date text (days since 1899-12-30) or of a time
// text (fraction of a day); false for text of another form, or a date before
// 1900-03-01, which Excel's serials do not tell apart.
bool dateSerial(const QString &text, double &serial);
bool timeSerial(const QString &text, double &serial);

// Writes the sheet to path, laid out by the grid's columns (the table's
// fields laid out by ApplyGridLayout), through a temporary file that
// replaces path only once complete: a failed export leaves no file behind
// and an old file as it was. Throws KelvoraError "Cannot write file <path>:
// <reason>".
WorkbookResult writeFile(const QString &path, MeasureTable &table, const QVector<GridColumn> &columns);

} // namespace XlsxSheet
