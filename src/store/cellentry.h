#pragma once

#include "store/measurerecord.h"
#include "store/measuretablemodel.h"

#include <QString>

// The row with the text typed into one of its grid cells: RecNo takes an
// integer, MeaValue and Ems a plain decimal number (blanks around it
// allowed), the other columns the text as typed. Throws ConversionError
// "'%s' is not a valid integer value" or "'%s' is not a valid floating
// point value" with the typed text when it holds no such number.
MeasureRecord withCellText(const MeasureRecord &row, MeasureTableModel::Column column, const QString &text);

// The plain decimal number in text (blanks around it allowed; see
// readDecimal). Throws ConversionError "'%s' is not a valid floating point
// value" with the text when it holds no such number, as with "1e300".
double decimalFromText(const QString &text);
