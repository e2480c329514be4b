#pragma once

#include "store/measuretable.h"

#include <optional>

class KelvoraDatabase;

// Appends rows to a table inside the database's bulk transaction so that
// they can be taken back alone. Whatever else is written on the connection
// meanwhile (a live run's readings, an edited cell, while the caller lets
// events run between rows) joins that transaction, and taking the rows back
// keeps it. Failures throw DatabaseError.
class UndoableAppend {
public:
    // Begins the bulk transaction, or a part of the one under way.
    UndoableAppend(KelvoraDatabase &database, MeasureTable &table);
    // Takes the rows back unless commit() or undo() has run.
    ~UndoableAppend();
    UndoableAppend(const UndoableAppend &) = delete;
    UndoableAppend &operator=(const UndoableAppend &) = delete;

    void add(MeasureRecord row);
    int added() const { return m_appender->added(); }

    // Announces the rows added so far to the table's grids.
    void announce();
    // Commits the rows with the transaction. A commit
    // that fails has rolled back and re-read the tables (see
    // KelvoraDatabase::commitBulk) before it throws.
    void commit();
    // Removes the rows added, from the database and the row cache, and
    // commits what else the transaction holds. When the engine has already
    // abandoned the transaction, or the removal fails, the transaction is
    // rolled back and the open tables re-read their rows, as after any bulk
    // work that failed. Never throws: it runs while a failure that caused it
    // may be on its way.
    void undo() noexcept;

private:
    void run(const QString &statement);
    void flushLogAhead();
    qint64 totalChanges();

    KelvoraDatabase &m_database;
    MeasureTable &m_table;
    std::optional<MeasureTable::Appender> m_appender;
    qint64 m_changesAtStart = 0; // rows changed on the connection before the first append
    bool m_ended = false;
};
