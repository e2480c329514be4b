#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

class MeasureTable;
class QSqlError;

// The program's one database connection (named "kelvora"): an SQLite 3 file,
// by default "Kelvora.mdb" in the working directory, holding the three
// measurement tables, which are created when missing. Runs in WAL mode.
// Every failure throws DatabaseError with the engine's text.
class KelvoraDatabase {
public:
    static constexpr const char *ConnectionName = "kelvora";
    static constexpr const char *DefaultFileName = "Kelvora.mdb";
    static constexpr int DefaultBusyTimeoutMs = 3000;

    KelvoraDatabase() = default;
    ~KelvoraDatabase();
    KelvoraDatabase(const KelvoraDatabase &) = delete;
    KelvoraDatabase &operator=(const KelvoraDatabase &) = delete;

    // Opens (creating if needed) the file and the three tables.
    void open(const QString &filePath = QString::fromLatin1(DefaultFileName));
    // Closes every table opened on this database, then the connection.
    void close();
    bool isOpen() const { return m_open; }
    // Absolute path of the file, once open() has been called.
    QString filePath() const { return m_filePath; }
    QSqlDatabase connection() const;

    // How long a write waits for another connection's lock before failing.
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return m_busyTimeoutMs; }

    // Bulk work runs in one transaction; nesting is counted. The outermost
    // commit or rollback ends the transaction. A rollback at any depth dooms
    // the transaction: the outermost commit then rolls back and throws.
    // After a failed commit and after a rollback the open tables re-read
    // their rows, so that they show what the database holds.
    void beginBulk();
    // Throws the commit's own error when it fails, not that of the rollback
    // or re-read that follow it.
    void commitBulk();
    // Never throws: it runs while the failure that caused it is on its way,
    // and that failure is the one to report. The engine may already have
    // rolled the transaction back itself (a full disk, an I/O error, a
    // trigger's RAISE(ROLLBACK)); ROLLBACK then fails, harmlessly.
    void rollbackBulk() noexcept;
    int bulkDepth() const { return m_bulkDepth; }

    // Runs work in one bulk transaction and commits it. When work or the
    // commit throws, the transaction is rolled back and that first failure
    // is thrown on.
    template <typename Work>
    void inBulk(Work &&work)
    {
        beginBulk();
        try {
            work();
        } catch (...) {
            rollbackBulk();
            throw;
        }
        commitBulk();
    }

    // Throws DatabaseError "<context> (<file>): <engine text>".
    [[noreturn]] void raise(const QString &context, const QSqlError &error) const;

private:
    friend class MeasureTable;

    void exec(const QString &statement, const QString &context);
    void createMissingTables();
    void rollBackAndReread() noexcept;
    void closeConnection();

    QString m_filePath;
    bool m_open = false;
    int m_busyTimeoutMs = DefaultBusyTimeoutMs;
    int m_bulkDepth = 0;
    bool m_bulkDoomed = false;
    QList<MeasureTable *> m_tables; // registered by MeasureTable's constructor
};
