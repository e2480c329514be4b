#include "measure/measuregrid.h"

#include "measure/cellcolours.h"
#include "store/measuretable.h"
#include "store/measuretablemodel.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

// Paints each cell with the background its row gets from the grid's
// callback (or the grid's own), the text clipped to the cell and a dotted
// focus frame. All cells of a row have the same colour: the selection is not
// drawn, and the focus frame is an outline in the text colour, since the
// style's one would tint the current cell in the highlight colour. The
// cells are drawn directly rather than through the style, which lays out
// and elides every text anew: the grid repaints all its visible cells with
// each appended row, and the style's way cost about half of handling a
// reading in the measurement window.
class MeasureGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(MeasureGrid &grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        painter->save();
        painter->fillRect(opt.rect, opt.backgroundBrush.style() != Qt::NoBrush
                                        ? opt.backgroundBrush
                                        : opt.palette.brush(QPalette::Base));
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(QPalette::Text));
        const int margin = m_grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &m_grid) + 1;
        painter->drawText(opt.rect.adjusted(margin, 0, -margin, 0),
                          int(opt.displayAlignment) | Qt::TextSingleLine, opt.text);
        if (opt.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(opt.palette.color(QPalette::Text), 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(opt.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

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

void MeasureGrid::setEditable(bool editable)
{
    m_model->setEditable(editable);
    setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
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
