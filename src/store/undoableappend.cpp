#include "store/undoableappend.h"

#include "store/kelvoradatabase.h"
#include "store/walcheckpoint.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const QString Savepoint = QStringLiteral("undoable_append");
// Rows between two flushes of the write-ahead log while rows are added.
constexpr int FlushAheadRows = 1 << 17;
constexpr int DefaultCheckpointPages = 1000; // SQLite's own

} // namespace

UndoableAppend::UndoableAppend(KelvoraDatabase &database, MeasureTable &table)
    : m_database(database), m_table(table)
{
    m_database.beginBulk();
    try {
        run(QStringLiteral("SAVEPOINT ") + Savepoint);
        m_changesAtStart = totalChanges();
        m_appender.emplace(table);
    } catch (...) {
        m_database.rollbackBulk();
        throw;
    }
}

UndoableAppend::~UndoableAppend()
{
    undo();
}

void UndoableAppend::add(MeasureRecord row)
{
    m_appender->add(std::move(row));
    if (m_appender->added() % FlushAheadRows == 0)
        flushLogAhead();
}

void UndoableAppend::flushLogAhead()
{
    // The commit flushes the whole log to the disk at once, which takes long
    // after many rows; flushing what the log holds so far along the way
    // leaves the commit only the rest. Merely a head start: the commit still
    // flushes, so nothing depends on it succeeding.
#ifdef Q_OS_UNIX
    QFile log(m_database.filePath() + QStringLiteral("-wal"));
    if (log.open(QIODevice::ReadOnly))
        ::fdatasync(log.handle());
#endif
}

void UndoableAppend::run(const QString &statement)
{
    QSqlQuery query(m_database.connection());
    if (!query.exec(statement))
        m_database.raise(QStringLiteral("Cannot append to table %1").arg(m_table.tableName()),
                         query.lastError());
}

qint64 UndoableAppend::totalChanges()
{
    QSqlQuery query(m_database.connection());
    if (!query.exec(QStringLiteral("SELECT total_changes()")) || !query.next())
        m_database.raise(QStringLiteral("Cannot append to table %1").arg(m_table.tableName()),
                         query.lastError());
    return query.value(0).toLongLong();
}

void UndoableAppend::announce()
{
    m_appender->finish();
}

void UndoableAppend::commit()
{
    run(QStringLiteral("RELEASE ") + Savepoint);
    m_ended = true;
    // The rows make a long log; copying it back into the file at the commit
    // would stall the caller, so another thread does that afterwards.
    QSqlQuery query(m_database.connection());
    query.exec(QStringLiteral("PRAGMA wal_autocheckpoint"));
    const int pages = query.next() ? query.value(0).toInt() : DefaultCheckpointPages;
    query.exec(QStringLiteral("PRAGMA wal_autocheckpoint=0"));
    try {
        m_database.commitBulk();
    } catch (...) {
        query.exec(QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(pages));
        throw;
    }
    query.exec(QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(pages));
    checkpointInBackground(m_database.filePath());
}

void UndoableAppend::undo() noexcept
{
    if (m_ended)
        return;
    m_ended = true;
    try {
        const int first = m_appender->firstPosition();
        // Rolling back to the savepoint is quick but would also take back
        // every other change made since: only when there was none.
        if (totalChanges() - m_changesAtStart == m_appender->added()) {
            run(QStringLiteral("ROLLBACK TO ") + Savepoint);
            run(QStringLiteral("RELEASE ") + Savepoint);
            m_table.discardFrom(first);
        } else {
            run(QStringLiteral("RELEASE ") + Savepoint);
            m_table.removeFrom(first);
        }
        m_database.commitBulk();
    } catch (...) {
        // A commit that failed has rolled back already; then this does nothing.
        m_database.rollbackBulk();
    }
}
