#include "shell/measuregrid.h"

#include "shell/cellcolours.h"
#include "store/measuretable.h"
#include "store/measuretablemodel.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

// Paints each cell with the background its row gets from the grid's
// callback, then draws it the ordinary way.
class MeasureGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(MeasureGrid &grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QColor background = m_grid.rowBackground(index.row());
        if (background.isValid())
            option->backgroundBrush = background;
    }

private:
    MeasureGrid &m_grid;
};

MeasureGrid::MeasureGrid(MeasureTable &table, QWidget *parent)
    : QTableView(parent), m_model(new MeasureTableModel(table, this))
{
    setModel(m_model);
    setItemDelegate(new Delegate(*this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, desktopColour());
    colours.setColor(QPalette::Text, Qt::white);
    setPalette(colours);

    // Fixed row heights: positions follow from the row number, and nothing
    // is measured per row however long the table grows.
    QHeaderView *rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    rows->hide();

    connect(m_model, &QAbstractItemModel::rowsInserted, this, &MeasureGrid::showCurrentRow);
    connect(m_model, &QAbstractItemModel::modelReset, this, &MeasureGrid::showCurrentRow);
}

void MeasureGrid::setDrawColumnCell(DrawColumnCell callback)
{
    m_drawColumnCell = std::move(callback);
    viewport()->update();
}

QColor MeasureGrid::rowBackground(int row) const
{
    const MeasureRecord *record = m_model->record(row);
    if (!record || !m_drawColumnCell)
        return QColor();
    return toColor(m_drawColumnCell(*record));
}

void MeasureGrid::showCurrentRow()
{
    const MeasureTable *table = m_model->table();
    const int rowCount = m_model->rowCount();
    if (!table || rowCount == 0)
        return;
    const int row = qMin(table->cursor(), rowCount - 1);
    const int column = qMax(currentIndex().column(), 0);
    setCurrentIndex(m_model->index(row, column));
    scrollTo(currentIndex());
}
