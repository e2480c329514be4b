#pragma once

#include "store/measurerecord.h"

#include <QAbstractTableModel>
#include <QPointer>

class MeasureTable;

// The grids' view of a measurement table, read from its row cache. An append
// arrives as inserted rows, so a grid's cost per new row does not grow with
// the table; a refresh, emptying or reopening arrives as a reset.
class MeasureTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { RecNo, MeaValue, Unit, Ems, Time, Date, ColumnCount };

    explicit MeasureTableModel(MeasureTable &table, QObject *parent = nullptr);

    MeasureTable *table() const { return m_table; }
    // The row at a grid position; null past the rows the table holds.
    const MeasureRecord *record(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void takeAppendedRows();
    void reset();
    int tableRowCount() const;

    QPointer<MeasureTable> m_table;
    // The rows announced so far. The cache can be ahead of it (it grows
    // before the table announces the append, and silently while the table's
    // controls are disabled), never read beyond it.
    int m_rowCount = 0;
};
