#pragma once

#include "filesizelimit.h"

#include "store/kelvoradatabase.h"

#include <QFileInfo>
#include <QMetaType>
#include <QSqlQuery>
#include <QString>
#include <QTest>

#include <initializer_list>

#include <optional>

// Real ways in which SQLite fails a write part-way through a transaction,
// armed on a real database file before the write.
class EngineFailure {
public:
    enum Kind {
        // A trigger's RAISE(ABORT): the statement is undone, the transaction
        // stays open.
        AbortingTrigger,
        // A trigger's RAISE(ROLLBACK): SQLite rolls the whole transaction
        // back itself, so a ROLLBACK after it fails.
        RollingBackTrigger,
        // No page may be added to the file (max_page_count): SQLITE_FULL,
        // after which SQLite has rolled the transaction back.
        DatabaseFull,
        // A deferred foreign key that the commit finds broken: COMMIT fails
        // and the transaction stays open.
        CommitRefused,
        // The commit cannot write the log (a file size limit on this
        // process, as on a full disk): an I/O error at COMMIT, after which
        // SQLite has rolled the transaction back.
        CommitCannotWrite,
    };

    // change names the trigger's event and table ("INSERT ON LoadData",
    // "UPDATE OF unit ON MeaData"), condition the rows that fail ("1" for
    // every row). DatabaseFull and CommitCannotWrite ignore them.
    EngineFailure(Kind kind, KelvoraDatabase &db, const QString &change, const QString &condition)
        : m_kind(kind)
    {
        QSqlQuery query(db.connection());
        switch (kind) {
        case AbortingTrigger:
        case RollingBackTrigger:
            m_armed = query.exec(
                QStringLiteral("CREATE TRIGGER refuse BEFORE %1 WHEN %2 BEGIN "
                               "SELECT RAISE(%3, 'refused'); END")
                    .arg(change, condition,
                         kind == AbortingTrigger ? QStringLiteral("ABORT") : QStringLiteral("ROLLBACK")));
            break;
        case CommitRefused:
            m_armed = query.exec(QStringLiteral("PRAGMA foreign_keys=ON")) &&
                      query.exec(QStringLiteral("CREATE TABLE Parent (id INTEGER PRIMARY KEY)")) &&
                      query.exec(QStringLiteral("CREATE TABLE Child (parent INTEGER REFERENCES Parent(id) "
                                                "DEFERRABLE INITIALLY DEFERRED)")) &&
                      query.exec(QStringLiteral("CREATE TRIGGER orphan AFTER %1 WHEN %2 BEGIN "
                                                "INSERT INTO Child VALUES (1); END")
                                     .arg(change, condition));
            break;
        case DatabaseFull:
            // A limit below the file's size sets it to the file's size.
            m_armed = query.exec(QStringLiteral("PRAGMA max_page_count=1"));
            break;
        case CommitCannotWrite: {
            // The writes stay in the page cache until the commit appends them
            // to the write-ahead log, which must not grow by one page.
            const qint64 logSize = QFileInfo(db.filePath() + QStringLiteral("-wal")).size();
            m_armed = logSize > 0 && m_limit.emplace(logSize + 512).active();
            break;
        }
        }
    }
    EngineFailure(const EngineFailure &) = delete;
    EngineFailure &operator=(const EngineFailure &) = delete;

    bool armed() const { return m_armed; }
    // What the reported error must name.
    QString reason() const
    {
        switch (m_kind) {
        case AbortingTrigger:
        case RollingBackTrigger: return QStringLiteral("refused");
        case CommitRefused: return QStringLiteral("FOREIGN KEY constraint failed");
        case DatabaseFull: return QStringLiteral("database or disk is full");
        case CommitCannotWrite: return QStringLiteral("disk I/O error");
        }
        return QString();
    }

    // One data row per kind, named after what fails, in the column "failure".
    static void addRows(std::initializer_list<Kind> kinds = {AbortingTrigger, RollingBackTrigger,
                                                             DatabaseFull, CommitRefused, CommitCannotWrite})
    {
        QTest::addColumn<Kind>("failure");
        for (Kind kind : kinds)
            QTest::newRow(rowName(kind)) << kind;
    }

private:
    static const char *rowName(Kind kind)
    {
        switch (kind) {
        case AbortingTrigger: return "statement refused";
        case RollingBackTrigger: return "transaction rolled back by the engine";
        case DatabaseFull: return "database full";
        case CommitRefused: return "commit refused";
        case CommitCannotWrite: return "commit cannot write";
        }
        return "";
    }

    Kind m_kind;
    bool m_armed = false;
    std::optional<FileSizeLimit> m_limit;
};

Q_DECLARE_METATYPE(EngineFailure::Kind)
