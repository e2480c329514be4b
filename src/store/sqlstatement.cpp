#include "store/sqlstatement.h"

#include "common/kelvoraerror.h"
#include "store/kelvoradatabase.h"

#include <QSqlError>
#include <QSqlQuery>

void SqlStatement::execSQL()
{
    if (!m_database.isOpen())
        throw DatabaseError(QStringLiteral("Cannot execute a statement: the database is not open"));
    if (m_text.trimmed().isEmpty())
        throw DatabaseError(QStringLiteral("Cannot execute an empty statement"));
    QSqlQuery query(m_database.connection());
    if (!query.exec(m_text))
        m_database.raise(QStringLiteral("Cannot execute \"%1\"").arg(m_text.simplified()), query.lastError());
}
