#include "store/measuretablemodel.h"

#include "common/kelvoraerror.h"
#include "store/cellentry.h"
#include "store/measuretable.h"

MeasureTableModel::MeasureTableModel(MeasureTable &table, QObject *parent)
    : QAbstractTableModel(parent), m_table(&table), m_rowCount(tableRowCount())
{
    connect(&table, &MeasureTable::rowsAppended, this, &MeasureTableModel::takeAppendedRows);
    connect(&table, &MeasureTable::rowChanged, this, &MeasureTableModel::takeChangedRow);
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

void MeasureTableModel::takeChangedRow(int row)
{
    if (row < m_rowCount)
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
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
    if (role != Qt::DisplayRole && role != Qt::EditRole)
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

Qt::ItemFlags MeasureTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool MeasureTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const MeasureRecord *r = record(index.row());
    if (!m_editable || role != Qt::EditRole || !r || index.column() < 0 || index.column() >= ColumnCount)
        return false;
    // Called from the grid's editor: a failure ends here, in the error report.
    bool posted = false;
    guardedHandler([&] {
        const MeasureRecord edited = withCellText(*r, Column(index.column()), value.toString());
        m_table->post(index.row(), edited);
        posted = true;
    });
    return posted;
}

QString MeasureTableModel::fieldName(int column)
{
    static const char *const Names[ColumnCount] = {"RecNo", "MeaValue", "Unit", "Ems", "Time", "Date"};
    return column >= 0 && column < ColumnCount ? QString::fromLatin1(Names[column]) : QString();
}

QVariant MeasureTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return fieldName(section);
}
