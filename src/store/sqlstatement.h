#pragma once

#include <QString>

class KelvoraDatabase;

// The statement object Query1: a statement text that is executed without a
// result set. Failures throw DatabaseError.
class SqlStatement {
public:
    explicit SqlStatement(KelvoraDatabase &database) : m_database(database) {}

    void close() {}
    void clear() { m_text.clear(); }
    void setText(const QString &text) { m_text = text; }
    QString text() const { return m_text; }
    void execSQL();
    KelvoraDatabase &database() const { return m_database; }

private:
    KelvoraDatabase &m_database;
    QString m_text;
};
