#pragma once

#include "store/gridcolouring.h"
#include "store/measurerecord.h"

#include <QTableView>

#include <functional>

class MeasureTable;
class MeasureTableModel;

// The data windows' grid (DBGridEh1) over a measurement table: columns RecNo,
// MeaValue, Unit, Ems, Time, Date, white text on the desktop colour, rows
// tinted by the owning window. Like a data-aware grid it shows the table's
// current row: an appended row and, after a refresh, the row under the
// table's cursor. Rows have one fixed height, so following an append costs
// the same on a long table as on a short one.
class MeasureGrid : public QTableView {
    Q_OBJECT
public:
    // Asked for each row the grid draws; CellColour::Default keeps the
    // grid's colours. All cells of a row get the same colour.
    using DrawColumnCell = std::function<CellColour(const MeasureRecord &row)>;

    explicit MeasureGrid(MeasureTable &table, QWidget *parent = nullptr);

    MeasureTableModel *tableModel() const { return m_model; }
    // An editable grid posts an edited cell to its table (double click,
    // F2 or typing starts the edit); by default the grid is read-only.
    void setEditable(bool editable);
    void setDrawColumnCell(DrawColumnCell callback);
    // The background a row gets from the callback; invalid for the grid's own.
    QColor rowBackground(int row) const;

private:
    class Delegate;

    void showCurrentRow();

    MeasureTableModel *m_model;
    DrawColumnCell m_drawColumnCell;
};
