#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class KelvoraDatabase;

// A statement run directly on the engine behind the database's connection,
// for the bulk paths (a long log file appended, a converted table re-read),
// where the generic layer's cost per bound value and per fetched row would
// take most of the time. It shares the connection and so its transaction.
// Failures throw DatabaseError with the engine's text.
class SqliteStatement {
public:
    SqliteStatement(KelvoraDatabase &database, const QString &text, const QString &context);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // Parameters count from 0. A bound text is copied.
    void bind(int parameter, qint64 value);
    void bind(int parameter, double value);
    void bind(int parameter, const QString &text);

    // Runs the statement up to its next row: true when there is one.
    bool step();
    // Makes it ready to run again with new values.
    void reset();

    qint64 columnInt(int column) const;
    double columnDouble(int column) const;
    QString columnText(int column) const;
    // The text without a copy; valid until the next step() or reset().
    QStringView columnTextView(int column) const;

    qint64 lastInsertRowid() const;

private:
    [[noreturn]] void fail() const;

    KelvoraDatabase &m_database;
    QString m_context;
    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    std::vector<QByteArray> m_texts; // the UTF-8 of bound texts, kept until the next bind
};
