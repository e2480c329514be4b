#pragma once

#include <QSqlDatabase>
#include <QString>

// The program's one database connection (named "kelvora"): an SQLite 3 file,
// by default "Kelvora.mdb" in the working directory, holding the three
// measurement tables, which are created when missing. Runs in WAL mode.
// Every failure throws DatabaseError with the engine's text.
class KelvoraDatabase {
public:
    static constexpr const char *ConnectionName = "kelvora";
    static constexpr const char *DefaultFileName = "Kelvora.mdb";

    KelvoraDatabase() = default;
    ~KelvoraDatabase();
    KelvoraDatabase(const KelvoraDatabase &) = delete;
    KelvoraDatabase &operator=(const KelvoraDatabase &) = delete;

    // Opens (creating if needed) the file and the three tables.
    void open(const QString &filePath = QString::fromLatin1(DefaultFileName));
    void close();
    bool isOpen() const;
    QString filePath() const { return m_filePath; }
    QSqlDatabase connection() const;

    // Bulk work runs in one transaction; nesting is counted.
    void beginBulk();
    void commitBulk();
    void rollbackBulk();

private:
    QString m_filePath;
    int m_bulkDepth = 0;
};
