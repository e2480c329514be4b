#include "output/logic/worksheetwriter.h"

#include "common/kelvoraerror.h"
#include "output/logic/tablewalk.h"
#include "store/fileerror.h"
#include "store/measuretable.h"
#include "store/measuretablemodel.h"

#include <QSaveFile>

QVector<GridColumn> DataGridColumns()
{
    QVector<GridColumn> columns;
    for (int column = 0; column < MeasureTableModel::ColumnCount; ++column) {
        const QString field = MeasureTableModel::fieldName(column);
        columns.append({field, field, true});
    }
    return columns;
}

void ApplyGridLayout(TableFields &fields, const QVector<GridColumn> &columns)
{
    for (int c = 0; c < columns.size(); ++c) {
        const GridColumn &column = columns.at(c);
        fields.setIndex(column.fieldName, c);
        fields.setDisplayLabel(column.fieldName, column.title);
        fields.setVisible(column.fieldName, column.visible);
    }
}

WorksheetWriter::WorksheetWriter(QIODevice &device, int fieldCount)
    : m_stream(device), m_fieldCount(fieldCount)
{
}

void WorksheetWriter::PutBof()
{
    m_stream.bof();
}

void WorksheetWriter::PutEof()
{
    m_stream.eof();
}

void WorksheetWriter::PutSheetTitle(const QString &title)
{
    curCol = 3;
    PutLabel(title, false);
    curCol = 0;
    ++curRow;
}

void WorksheetWriter::PutColumnTitles(const QVector<GridColumn> &columns)
{
    // Each title stands at its column's position, hidden columns counted,
    // which is where ApplyGridLayout puts the column's field.
    for (int c = 0; c < columns.size(); ++c) {
        if (!columns.at(c).visible)
            continue;
        curCol = c;
        PutLabel(columns.at(c).title, false);
    }
    ++curRow;
    curCol = 0;
}

int WorksheetWriter::PutRecords(MeasureTable &table)
{
    const TableFields &fields = table.fields();
    TableWalk walk(table);
    int written = 0;
    while (!table.eof() && written < MaxDataRows) {
        for (int i = 0; i < fields.count(); ++i) {
            PutField(table.fieldByName(fields.at(i).name), fields.at(i).visible);
            NextCell();
        }
        table.next();
        ++written;
    }
    return written;
}

void WorksheetWriter::PutField(const QVariant &value, bool visible)
{
    if (value.isNull() || !visible) {
        PutBlank();
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::UChar:
    case QMetaType::SChar: {
        const qint64 v = value.toLongLong();
        if (v >= RkMin && v <= RkMax)
            PutRk(qint32(v), false);
        else
            PutNumber(double(v), false);
        return;
    }
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double: PutNumber(value.toDouble(), false); return;
    case QMetaType::QByteArray: PutLabel(QString(), false); return;
    default: PutLabel(value.toString(), false); return;
    }
}

void WorksheetWriter::advanceIf(bool advance)
{
    if (advance)
        NextCell();
}

void WorksheetWriter::PutLabel(const QString &text, bool advance)
{
    m_stream.label(row(), column(), text);
    advanceIf(advance);
}

void WorksheetWriter::PutNumber(double value, bool advance)
{
    m_stream.number(row(), column(), value);
    advanceIf(advance);
}

void WorksheetWriter::PutRk(qint32 value, bool advance)
{
    m_stream.rk(row(), column(), value);
    advanceIf(advance);
}

void WorksheetWriter::PutBlank()
{
    m_stream.blank(row(), column());
}

void WorksheetWriter::NextCell()
{
    if (curCol == m_fieldCount - 1) {
        ++curRow;
        curCol = 0;
    } else {
        ++curCol;
    }
}

WorkbookResult WriteWorkbook(QIODevice &device, MeasureTable &table, const QVector<GridColumn> &columns,
                             const QString &title)
{
    WorkbookResult result;
    result.rowCount = table.recordCount();
    WorksheetWriter writer(device, table.fields().count());
    writer.PutBof();
    writer.PutSheetTitle(title);
    writer.PutColumnTitles(columns);
    result.rowsWritten = writer.PutRecords(table);
    writer.PutEof();
    writer.flush();
    return result;
}

WorkbookResult WriteWorkbookFile(const QString &path, MeasureTable &table, const QVector<GridColumn> &columns,
                                 const QString &title)
{
    // Unbuffered (the stream buffers the records itself): QSaveFile::commit()
    // renames the file even when flushing a buffer of its own has failed, so
    // a disk that fills in the last bytes would leave a cut sheet in place.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throwFileError(QStringLiteral("write"), file);
    WorkbookResult result;
    try {
        result = WriteWorkbook(file, table, columns, title);
    } catch (const KelvoraError &) {
        // A refused write is told with the file's name; other failures (a
        // table that cannot be read) as they are.
        if (file.error() != QFileDevice::NoError)
            throwFileError(QStringLiteral("write"), file);
        throw;
    }
    if (!file.commit())
        throwFileError(QStringLiteral("write"), file);
    return result;
}
