#include "store/kelvoradatabase.h"

#include "common/kelvoraerror.h"
#include "store/measuretable.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const char *const TableNames[] = {"MeaData", "GetRecorde", "LoadData"};

QString connectionName()
{
    return QString::fromLatin1(KelvoraDatabase::ConnectionName);
}

} // namespace

KelvoraDatabase::~KelvoraDatabase()
{
    close();
    for (MeasureTable *table : std::as_const(m_tables))
        table->m_database = nullptr;
}

void KelvoraDatabase::open(const QString &filePath)
{
    close();
    m_filePath = QFileInfo(filePath).absoluteFilePath();
    const QString nativePath = QDir::toNativeSeparators(m_filePath);

    // A second owner of the connection name would silently replace ours.
    if (QSqlDatabase::contains(connectionName()))
        throw DatabaseError(QStringLiteral("Cannot open database %1: the connection '%2' is already in use")
                                .arg(nativePath, connectionName()));

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName());
        db.setDatabaseName(m_filePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs));
        if (!db.open()) {
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            closeConnection();
            const bool folderMissing = !QFileInfo(m_filePath).dir().exists();
            raise(folderMissing ? QStringLiteral("Cannot open database, its folder does not exist")
                                : QStringLiteral("Cannot open database"),
                  error);
        }
    }
    m_open = true;

    try {
        // SQLite reads the file header only on the first statement, so a file
        // that is not a database fails here rather than in db.open().
        exec(QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("Cannot open database"));
        // Every commit reaches the disk before it returns, so a power cut
        // loses no committed reading. Said here because an SQLite build may
        // default to less in WAL mode.
        exec(QStringLiteral("PRAGMA synchronous=FULL"), QStringLiteral("Cannot open database"));
        createMissingTables();
    } catch (...) {
        close();
        throw;
    }
}

void KelvoraDatabase::createMissingTables()
{
    QStringList missing;
    {
        const QStringList existing = connection().tables();
        for (const char *name : TableNames) {
            const QString table = QString::fromLatin1(name);
            if (!existing.contains(table, Qt::CaseInsensitive))
                missing << table;
        }
    }
    // Creating only what is missing keeps opening an existing file free of
    // writes, so it succeeds while another connection holds the write lock.
    if (missing.isEmpty())
        return;
    inBulk([&] {
        for (const QString &table : std::as_const(missing))
            exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (recno INTEGER, date TEXT, time TEXT, "
                                "ems REAL, meavalue REAL, unit TEXT)")
                     .arg(table),
                 QStringLiteral("Cannot create table %1").arg(table));
    });
}

void KelvoraDatabase::close()
{
    for (MeasureTable *table : std::as_const(m_tables))
        table->close();
    // Closing the connection rolls back any transaction left open.
    m_bulkDepth = 0;
    m_bulkDoomed = false;
    // The connection name is global; only its owner may remove it.
    if (!m_open)
        return;
    m_open = false;
    closeConnection();
}

void KelvoraDatabase::closeConnection()
{
    if (!QSqlDatabase::contains(connectionName()))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName(), false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName());
}

QSqlDatabase KelvoraDatabase::connection() const
{
    if (!m_open)
        return QSqlDatabase();
    return QSqlDatabase::database(connectionName(), false);
}

void KelvoraDatabase::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = qMax(0, milliseconds);
    if (m_open)
        exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(m_busyTimeoutMs),
             QStringLiteral("Cannot set the busy timeout"));
}

void KelvoraDatabase::beginBulk()
{
    if (!m_open)
        throw DatabaseError(QStringLiteral("Cannot begin a transaction: the database is not open"));
    if (m_bulkDepth == 0) {
        // IMMEDIATE takes the write lock now (waiting up to the busy timeout),
        // so a locked database fails here and not halfway through the work.
        exec(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("Cannot begin a transaction"));
        m_bulkDoomed = false;
    }
    ++m_bulkDepth;
}

void KelvoraDatabase::commitBulk()
{
    if (m_bulkDepth == 0)
        throw DatabaseError(QStringLiteral("Cannot commit: no transaction is active"));
    if (--m_bulkDepth > 0)
        return;
    if (m_bulkDoomed) {
        rollBackAndReread();
        throw DatabaseError(QStringLiteral("The transaction was rolled back by an inner operation (%1)")
                                .arg(QDir::toNativeSeparators(m_filePath)));
    }
    QSqlError error;
    {
        QSqlQuery query(connection());
        if (query.exec(QStringLiteral("COMMIT")))
            return;
        error = query.lastError();
    }
    // A commit that failed may have left the transaction open, which would
    // keep the connection locked, or the engine may have rolled it back.
    rollBackAndReread();
    raise(QStringLiteral("Cannot commit the transaction"), error);
}

void KelvoraDatabase::rollbackBulk() noexcept
{
    if (m_bulkDepth == 0)
        return;
    m_bulkDoomed = true;
    if (--m_bulkDepth > 0)
        return;
    rollBackAndReread();
}

void KelvoraDatabase::rollBackAndReread() noexcept
{
    m_bulkDoomed = false;
    try {
        // Its failure is no news: either the engine has already rolled back,
        // or the error that led here is the one to report.
        QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
    } catch (...) {
    }
    // The row caches may hold rows that the database no longer has. Each
    // table is re-read even when another one fails to.
    for (MeasureTable *table : std::as_const(m_tables)) {
        try {
            if (table->isActive())
                table->refresh();
        } catch (...) {
        }
    }
}

void KelvoraDatabase::exec(const QString &statement, const QString &context)
{
    QSqlQuery query(connection());
    if (!query.exec(statement))
        raise(context, query.lastError());
}

void KelvoraDatabase::raise(const QString &context, const QSqlError &error) const
{
    throw DatabaseError(QStringLiteral("%1 (%2): %3")
                            .arg(context, QDir::toNativeSeparators(m_filePath), error.text().trimmed()));
}
