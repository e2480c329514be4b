#include "store/measuretablemodel.h"

#include "store/measuretable.h"

MeasureTableModel::MeasureTableModel(MeasureTable &table, QObject *parent)
    : QAbstractTableModel(parent), m_table(&table), m_rowCount(tableRowCount())
{
    connect(&table, &MeasureTable::rowsAppended, this, &MeasureTableModel::takeAppendedRows);
    connect(&table, &MeasureTable::rowsReset, this, &MeasureTableModel::reset);
    connect(&table, &QObject::destroyed, this, &MeasureTableModel::reset);
}

int MeasureTableModel::tableRowCount() const
{
    return m_table ? m_table->recordCount() : 0;
}

void MeasureTableModel::takeAppendedRows()
{
    const int count = tableRowCount();
    if (count <= m_rowCount)
        return;
    beginInsertRows(QModelIndex(), m_rowCount, count - 1);
    m_rowCount = count;
    endInsertRows();
}

void MeasureTableModel::reset()
{
    beginResetModel();
    m_rowCount = tableRowCount();
    endResetModel();
}

const MeasureRecord *MeasureTableModel::record(int row) const
{
    // The cache may have shrunk without an announcement while the table's
    // controls were disabled; such rows read as absent until the reset.
    if (!m_table || row < 0 || row >= m_rowCount || row >= m_table->recordCount())
        return nullptr;
    return &m_table->rows().at(row);
}

int MeasureTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int MeasureTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MeasureTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    const MeasureRecord *r = record(index.row());
    if (!r)
        return QVariant();
    switch (index.column()) {
    case RecNo: return QString::number(r->recno);
    case MeaValue: return QString::number(r->meavalue, 'g', 15);
    case Unit: return r->unit;
    case Ems: return QString::number(r->ems, 'g', 15);
    case Time: return r->time;
    case Date: return r->date;
    }
    return QVariant();
}

QVariant MeasureTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const Headers[ColumnCount] = {"RecNo", "MeaValue", "Unit", "Ems", "Time", "Date"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(Headers[section]);
}
