#pragma once

#include "measurerecord.h"
#include "sqlitestatement.h"
#include "tablefields.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QSqlQuery>
#include <QVector>

#include <optional>

class KelvoraDatabase;

// One of the measurement tables (MeaData, GetRecorde, LoadData) as the
// windows use it: a cursor over the rows in insertion order, appends, and a
// row cache that grows with each append so that a grid bound to it never
// re-reads the whole table for one new row. Failures throw DatabaseError.
class MeasureTable : public QObject {
    Q_OBJECT
public:
    MeasureTable(KelvoraDatabase &database, const QString &tableName, QObject *parent = nullptr);
    ~MeasureTable() override;

    QString tableName() const { return m_tableName; }

    void open();  // reads the rows into the cache; nothing if already open
    void close(); // drops the cache; the rows stay in the database
    bool isActive() const { return m_active; }

    // Deletes every row, keeping the table; works whether open or closed.
    void emptyTable();

    // Stores a row; the cursor moves onto it.
    void append(const MeasureRecord &record);

    // Stores many rows in table order, much faster than one append each; the
    // cursor moves onto the last one. Run it inside a bulk transaction.
    void appendAll(QVector<MeasureRecord> records);

    // Stores rows one by one as appendAll does, for rows that arrive over
    // time and are not held anywhere else: each is stored and cached as it
    // comes, and finish() announces them all and moves the cursor onto the
    // last one. Run it inside a bulk transaction.
    class Appender {
    public:
        explicit Appender(MeasureTable &table);
        void add(MeasureRecord record);
        void finish();
        // Where the rows added so far start in the cache, and how many.
        int firstPosition() const { return m_first; }
        int added() const { return m_table.recordCount() - m_first; }

    private:
        MeasureTable &m_table;
        SqliteStatement m_insert;
        int m_first;
    };

    // Deletes the rows from position on (from 0), in the database and the
    // cache; the cursor stays within the rows left. Announced as a reset.
    void removeFrom(int position);
    // The same for the cache alone, once the rows have left the database
    // by other means (a rollback).
    void discardFrom(int position);

    // Stores changed fields of the row at position row (from 0), as a grid
    // posts an edited cell; the row keeps its place in the scan order.
    void post(int row, const MeasureRecord &record);

    // Re-reads the rows, making changes made by statements visible.
    void refresh();

    // Cursor over the cached rows. eof() is true past the last row, on an
    // empty table and on a closed one.
    void first();
    void next();
    void last();
    bool eof() const;
    bool isEmpty() const { return m_rows.isEmpty(); }
    int recordCount() const { return static_cast<int>(m_rows.size()); }
    int cursor() const { return m_cursor; }
    // The row under the cursor; an empty record when the cursor is past the
    // last row.
    const MeasureRecord &current() const;

    // Field of the current row by name, not case-sensitive: recno, date,
    // time, ems, meavalue, unit. Past the last row every field is null (0 or
    // empty). fieldAsString gives numbers in the shortest general format.
    QVariant fieldByName(const QString &name) const;
    double fieldAsFloat(const QString &name) const;
    QString fieldAsString(const QString &name) const;

    const QVector<MeasureRecord> &rows() const { return m_rows; }

    // The fields in the order, with the titles and visibility, that the
    // last export gave them; at first the columns' order.
    TableFields &fields() { return m_fields; }
    const TableFields &fields() const { return m_fields; }

    // While suspended, appends and refreshes announce nothing; resuming
    // announces one reset so a bound grid repaints once.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabledDepth > 0; }

signals:
    void rowsAppended(int first, int last);
    void rowChanged(int row);
    void rowsReset();

private:
    friend class KelvoraDatabase;

    enum class Field { Recno, Date, Time, Ems, Meavalue, Unit };

    void readAll();
    void announceAppended(int first);
    void announceReset();
    void requireActive() const;
    KelvoraDatabase &database() const;
    QString quotedTableName() const;
    Field fieldIndex(const QString &name) const;

    KelvoraDatabase *m_database;       // cleared when the database is destroyed first
    std::optional<QSqlQuery> m_insert; // prepared while the table is open
    QString m_tableName;
    bool m_active = false;
    QVector<MeasureRecord> m_rows;
    QVector<qint64> m_rowids; // the database's row of each cached row
    int m_cursor = 0;
    TableFields m_fields;
    int m_disabledDepth = 0;
    bool m_changedWhileDisabled = false;
};
