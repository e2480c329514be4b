#include "store/sqlitestatement.h"

#include "common/kelvoraerror.h"
#include "store/kelvoradatabase.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <sqlite3.h>

namespace {

sqlite3 *engineHandle(const KelvoraDatabase &database)
{
    const QSqlDatabase connection = database.connection();
    const QVariant handle = connection.isValid() ? connection.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

} // namespace

SqliteStatement::SqliteStatement(KelvoraDatabase &database, const QString &text, const QString &context)
    : m_database(database), m_context(context), m_handle(engineHandle(database))
{
    if (!m_handle)
        throw DatabaseError(QStringLiteral("%1: the database is not open").arg(context));
    if (sqlite3_prepare16_v2(m_handle, text.utf16(), int(text.size() * 2), &m_statement, nullptr) !=
        SQLITE_OK)
        fail();
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::fail() const
{
    m_database.raise(m_context, QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(m_handle)),
                                          QSqlError::StatementError));
}

void SqliteStatement::bind(int parameter, qint64 value)
{
    if (sqlite3_bind_int64(m_statement, parameter + 1, value) != SQLITE_OK)
        fail();
}

void SqliteStatement::bind(int parameter, double value)
{
    if (sqlite3_bind_double(m_statement, parameter + 1, value) != SQLITE_OK)
        fail();
}

void SqliteStatement::bind(int parameter, const QString &text)
{
    if (m_texts.size() <= std::size_t(parameter))
        m_texts.resize(std::size_t(parameter) + 1);
    // The engine keeps its texts in UTF-8: handing it UTF-8 spares it a
    // conversion per value. Plain ASCII is copied into a buffer that is
    // reused from row to row.
    QByteArray &utf8 = m_texts[std::size_t(parameter)];
    const QChar *chars = text.constData();
    const qsizetype size = text.size();
    bool ascii = true;
    utf8.resize(size);
    char *out = utf8.data();
    for (qsizetype i = 0; i < size && ascii; ++i) {
        ascii = chars[i].unicode() < 0x80;
        out[i] = char(chars[i].unicode());
    }
    if (!ascii)
        utf8 = text.toUtf8();
    if (sqlite3_bind_text(m_statement, parameter + 1, utf8.constData(), int(utf8.size()), SQLITE_STATIC) !=
        SQLITE_OK)
        fail();
}

bool SqliteStatement::step()
{
    switch (sqlite3_step(m_statement)) {
    case SQLITE_ROW: return true;
    case SQLITE_DONE: return false;
    default: fail();
    }
}

void SqliteStatement::reset()
{
    // reset reports the failure of the last step again, which step() has
    // already thrown.
    sqlite3_reset(m_statement);
}

qint64 SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double SqliteStatement::columnDouble(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

QString SqliteStatement::columnText(int column) const
{
    const QStringView text = columnTextView(column);
    return text.isNull() ? QString() : text.toString();
}

QStringView SqliteStatement::columnTextView(int column) const
{
    const auto *text = static_cast<const char16_t *>(sqlite3_column_text16(m_statement, column));
    if (!text)
        return QStringView();
    return QStringView(text, sqlite3_column_bytes16(m_statement, column) / 2);
}

qint64 SqliteStatement::lastInsertRowid() const
{
    return sqlite3_last_insert_rowid(m_handle);
}
