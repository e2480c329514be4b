#include "store/cellentry.h"

#include "common/kelvoraerror.h"
#include "store/decimalformat.h"
#include "store/measuretable.h"

namespace {

qint64 integerText(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

} // namespace

double decimalFromText(const QString &text)
{
    bool ok = false;
    const double value = readDecimal(text.trimmed(), &ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

MeasureRecord withCellText(const MeasureRecord &row, MeasureTableModel::Column column, const QString &text)
{
    MeasureRecord edited = row;
    switch (column) {
    case MeasureTableModel::RecNo: edited.recno = integerText(text); break;
    case MeasureTableModel::MeaValue: edited.meavalue = decimalFromText(text); break;
    case MeasureTableModel::Unit: edited.unit = text; break;
    case MeasureTableModel::Ems: edited.ems = decimalFromText(text); break;
    case MeasureTableModel::Time: edited.time = text; break;
    case MeasureTableModel::Date: edited.date = text; break;
    case MeasureTableModel::ColumnCount: break;
    }
    return edited;
}
