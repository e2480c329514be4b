#pragma once

#include "output/logic/biff5stream.h"

#include <QString>
#include <QVariant>
#include <QVector>

class MeasureTable;
class QIODevice;
class TableFields;

// A column of a data grid as the export needs it.
struct GridColumn {
    QString fieldName;
    QString title;
    bool visible = true;
};

// The columns of a data grid as the data windows lay it out: every column of
// the table model in its own order, each titled with its field's name and shown.
QVector<GridColumn> DataGridColumns();

// Gives the fields of a table the grid's layout: the field of the column at
// grid position c moves to position c and takes the column's title and
// visibility. The fields keep this layout afterwards.
void ApplyGridLayout(TableFields &fields, const QVector<GridColumn> &columns);

// Lays a table out as a worksheet: the title at row 0, column 3; the titles
// of the grid's visible columns in row 1, each above its field's cells; from
// row 2 one row per table row with one cell per field at the field's
// position. Row numbers are 16-bit, so at most MaxDataRows rows fit.
class WorksheetWriter {
public:
    static constexpr int LastRow = 0xFFFF;
    static constexpr int FirstDataRow = 2;
    static constexpr int MaxDataRows = LastRow - FirstDataRow + 1;
    static constexpr qint64 RkMin = -(qint64(1) << 29);
    static constexpr qint64 RkMax = (qint64(1) << 29) - 1;

    WorksheetWriter(QIODevice &device, int fieldCount);

    // The cell the next record describes, both from 0.
    int curRow = 0;
    int curCol = 0;

    void PutBof();
    void PutEof();
    void PutSheetTitle(const QString &title);
    void PutColumnTitles(const QVector<GridColumn> &columns);
    // Writes every row from the first, then puts the table back on the row
    // it was on; its grid is not told of the walk. Returns the rows written.
    int PutRecords(MeasureTable &table);

    // The cell of a field's value: BLANK for a null value or a hidden
    // field, RK for an integer that fits (NUMBER beyond), NUMBER for a
    // floating-point value, an empty LABEL for bytes, else a LABEL with the
    // value as text.
    void PutField(const QVariant &value, bool visible);
    void PutLabel(const QString &text, bool advance);
    void PutNumber(double value, bool advance);
    void PutRk(qint32 value, bool advance);
    void PutBlank();
    void NextCell();

    void flush() { m_stream.flush(); }

private:
    quint16 row() const { return quint16(curRow); }
    quint16 column() const { return quint16(curCol); }
    void advanceIf(bool advance);

    Biff5Stream m_stream;
    int m_fieldCount;
};

struct WorkbookResult {
    int rowsWritten = 0;
    int rowCount = 0;
};

// The whole sheet of table, laid out by the grid's columns, onto device.
WorkbookResult WriteWorkbook(QIODevice &device, MeasureTable &table, const QVector<GridColumn> &columns,
                             const QString &title);

// Writes the sheet to path through a temporary file in the same directory
// that replaces path only once complete: a failed export leaves no file
// behind. Throws KelvoraError "Cannot write file <path>: <reason>".
WorkbookResult WriteWorkbookFile(const QString &path, MeasureTable &table, const QVector<GridColumn> &columns,
                                 const QString &title);
