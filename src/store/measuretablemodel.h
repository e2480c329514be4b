#pragma once

#include "store/measurerecord.h"

#include <QAbstractTableModel>
#include <QPointer>

class MeasureTable;

// The grids' view of a measurement table, read from its row cache. An append
// arrives as inserted rows, so a grid's cost per new row does not grow with
// the table; a posted row as changed data; a refresh, emptying or reopening
// arrives as a reset.
class MeasureTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { RecNo, MeaValue, Unit, Ems, Time, Date, ColumnCount };

    explicit MeasureTableModel(MeasureTable &table, QObject *parent = nullptr);

    // The table field a column shows ("RecNo" ...), also its header text.
    static QString fieldName(int column);

    MeasureTable *table() const { return m_table; }
    // An editable model posts a changed cell to the table. A text that the
    // column cannot take, or a post the database refuses, is reported to the
    // user and leaves the row as it was.
    void setEditable(bool editable) { m_editable = editable; }
    bool isEditable() const { return m_editable; }
    // The row at a grid position; null past the rows the table holds.
    const MeasureRecord *record(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void takeAppendedRows();
    void takeChangedRow(int row);
    void reset();
    int tableRowCount() const;

    QPointer<MeasureTable> m_table;
    // The rows announced so far. The cache can be ahead of it (it grows
    // before the table announces the append, and silently while the table's
    // controls are disabled), never read beyond it.
    int m_rowCount = 0;
    bool m_editable = false;
};
