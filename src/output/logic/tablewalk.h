#pragma once

class MeasureTable;

// Keeps a table still for its grid during a walk from its first row and puts
// it back on its row afterwards, also when the walk fails.
class TableWalk {
public:
    explicit TableWalk(MeasureTable &table);
    ~TableWalk();
    TableWalk(const TableWalk &) = delete;
    TableWalk &operator=(const TableWalk &) = delete;

private:
    MeasureTable &m_table;
    int m_bookmark;
};
