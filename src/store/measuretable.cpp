#include "store/measuretable.h"

#include "common/kelvoraerror.h"
#include "store/kelvoradatabase.h"
#include "store/sqlitestatement.h"

#include <QSqlDriver>
#include <QSqlError>

namespace {

// text, or the same text of the row before, shared rather than held twice.
QString sharedText(const QVector<MeasureRecord> &rows, QString MeasureRecord::*field, QStringView text)
{
    if (!rows.isEmpty() && rows.constLast().*field == text)
        return rows.constLast().*field;
    return text.isNull() ? QString() : text.toString();
}

} // namespace

MeasureTable::MeasureTable(KelvoraDatabase &database, const QString &tableName, QObject *parent)
    : QObject(parent), m_database(&database), m_tableName(tableName),
      m_fields({QStringLiteral("recno"), QStringLiteral("date"), QStringLiteral("time"),
                QStringLiteral("ems"), QStringLiteral("meavalue"), QStringLiteral("unit")})
{
    m_database->m_tables.append(this);
}

MeasureTable::~MeasureTable()
{
    if (m_database)
        m_database->m_tables.removeOne(this);
}

KelvoraDatabase &MeasureTable::database() const
{
    if (!m_database || !m_database->isOpen())
        throw DatabaseError(QStringLiteral("Cannot use table %1: the database is not open").arg(m_tableName));
    return *m_database;
}

QString MeasureTable::quotedTableName() const
{
    return database().connection().driver()->escapeIdentifier(m_tableName, QSqlDriver::TableName);
}

void MeasureTable::requireActive() const
{
    if (!m_active)
        throw DatabaseError(
            QStringLiteral("Cannot perform this operation on a closed dataset (table %1)").arg(m_tableName));
}

void MeasureTable::open()
{
    if (m_active)
        return;
    KelvoraDatabase &db = database();
    readAll();
    // Prepared once so that each append costs the same however long the
    // table has grown.
    QSqlQuery insert(db.connection());
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (recno, date, time, ems, meavalue, unit) "
                                       "VALUES (?, ?, ?, ?, ?, ?)")
                            .arg(quotedTableName()))) {
        m_rows.clear();
        m_rowids.clear();
        db.raise(QStringLiteral("Cannot open table %1").arg(m_tableName), insert.lastError());
    }
    m_insert = std::move(insert);
    m_cursor = 0;
    m_active = true;
    announceReset();
}

void MeasureTable::close()
{
    if (!m_active)
        return;
    m_insert.reset();
    m_active = false;
    m_rows.clear();
    m_rows.squeeze();
    m_rowids.clear();
    m_rowids.squeeze();
    m_cursor = 0;
    announceReset();
}

void MeasureTable::readAll()
{
    // rowid order is insertion order, which is how the rows were logged.
    SqliteStatement query(
        database(),
        QStringLiteral("SELECT recno, date, time, ems, meavalue, unit, rowid FROM %1 ORDER BY rowid")
            .arg(quotedTableName()),
        QStringLiteral("Cannot read table %1").arg(m_tableName));
    const qsizetype expected = qMax(m_rows.size(), qsizetype(16));
    QVector<MeasureRecord> rows;
    QVector<qint64> rowids;
    rows.reserve(expected);
    rowids.reserve(expected);
    while (query.step()) {
        MeasureRecord r;
        r.recno = query.columnInt(0);
        // Neighbouring rows mostly share their date and unit: one shared
        // text each keeps a long table's cache small.
        r.date = sharedText(rows, &MeasureRecord::date, query.columnTextView(1));
        r.time = query.columnText(2);
        r.ems = query.columnDouble(3);
        r.meavalue = query.columnDouble(4);
        r.unit = sharedText(rows, &MeasureRecord::unit, query.columnTextView(5));
        rows.append(std::move(r));
        rowids.append(query.columnInt(6));
    }
    m_rows.swap(rows);
    m_rowids.swap(rowids);
}

void MeasureTable::emptyTable()
{
    KelvoraDatabase &db = database();
    QSqlQuery query(db.connection());
    if (!query.exec(QStringLiteral("DELETE FROM %1").arg(quotedTableName())))
        db.raise(QStringLiteral("Cannot empty table %1").arg(m_tableName), query.lastError());
    if (!m_active)
        return;
    m_rows.clear();
    m_rowids.clear();
    m_cursor = 0;
    announceReset();
}

void MeasureTable::append(const MeasureRecord &record)
{
    requireActive();
    KelvoraDatabase &db = database();
    QSqlQuery &insert = *m_insert;
    insert.bindValue(0, record.recno);
    insert.bindValue(1, record.date);
    insert.bindValue(2, record.time);
    insert.bindValue(3, record.ems);
    insert.bindValue(4, record.meavalue);
    insert.bindValue(5, record.unit);
    if (!insert.exec())
        db.raise(QStringLiteral("Cannot append to table %1").arg(m_tableName), insert.lastError());
    const qint64 rowid = insert.lastInsertId().toLongLong();
    insert.finish();
    // A live run appends for days: its rows share the date and unit of the
    // row before, and each holds its own texts without spare room.
    MeasureRecord row = record;
    row.date = sharedText(m_rows, &MeasureRecord::date, record.date);
    row.time = sharedText(m_rows, &MeasureRecord::time, record.time);
    row.unit = sharedText(m_rows, &MeasureRecord::unit, record.unit);
    m_rows.append(std::move(row));
    m_rowids.append(rowid);
    announceAppended(recordCount() - 1);
}

void MeasureTable::appendAll(QVector<MeasureRecord> records)
{
    requireActive();
    if (records.isEmpty())
        return;
    Appender appender(*this);
    for (MeasureRecord &r : records)
        appender.add(std::move(r));
    appender.finish();
}

MeasureTable::Appender::Appender(MeasureTable &table)
    : m_table(table),
      m_insert(
          table.database(),
          QStringLiteral("INSERT INTO %1 (recno, date, time, ems, meavalue, unit) VALUES (?, ?, ?, ?, ?, ?)")
              .arg(table.quotedTableName()),
          QStringLiteral("Cannot append to table %1").arg(table.m_tableName)),
      m_first(table.recordCount())
{
    table.requireActive();
}

void MeasureTable::Appender::add(MeasureRecord record)
{
    m_insert.bind(0, record.recno);
    m_insert.bind(1, record.date);
    m_insert.bind(2, record.time);
    m_insert.bind(3, record.ems);
    m_insert.bind(4, record.meavalue);
    m_insert.bind(5, record.unit);
    m_insert.step();
    m_insert.reset();
    m_table.m_rows.append(std::move(record));
    m_table.m_rowids.append(m_insert.lastInsertRowid());
}

void MeasureTable::Appender::finish()
{
    if (added() > 0)
        m_table.announceAppended(m_first);
}

void MeasureTable::removeFrom(int position)
{
    requireActive();
    if (position < 0 || position >= recordCount())
        return;
    // The cache holds the rows in rowid order.
    KelvoraDatabase &db = database();
    QSqlQuery remove(db.connection());
    remove.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid BETWEEN ? AND ?").arg(quotedTableName()));
    remove.addBindValue(m_rowids.at(position));
    remove.addBindValue(m_rowids.constLast());
    if (!remove.exec())
        db.raise(QStringLiteral("Cannot delete from table %1").arg(m_tableName), remove.lastError());
    discardFrom(position);
}

void MeasureTable::discardFrom(int position)
{
    if (position < 0 || position >= recordCount())
        return;
    m_rows.resize(position);
    m_rowids.resize(position);
    m_cursor = qMin(m_cursor, recordCount());
    announceReset();
}

void MeasureTable::announceAppended(int first)
{
    m_cursor = recordCount() - 1;
    if (controlsDisabled())
        m_changedWhileDisabled = true;
    else
        emit rowsAppended(first, m_cursor);
}

void MeasureTable::post(int row, const MeasureRecord &record)
{
    requireActive();
    if (row < 0 || row >= recordCount())
        throw DatabaseError(
            QStringLiteral("Cannot post to table %1: no row %2").arg(m_tableName).arg(row + 1));
    KelvoraDatabase &db = database();
    QSqlQuery update(db.connection());
    update.prepare(
        QStringLiteral("UPDATE %1 SET recno = ?, date = ?, time = ?, ems = ?, meavalue = ?, unit = ? "
                       "WHERE rowid = ?")
            .arg(quotedTableName()));
    update.addBindValue(record.recno);
    update.addBindValue(record.date);
    update.addBindValue(record.time);
    update.addBindValue(record.ems);
    update.addBindValue(record.meavalue);
    update.addBindValue(record.unit);
    update.addBindValue(m_rowids.at(row));
    if (!update.exec())
        db.raise(QStringLiteral("Cannot post to table %1").arg(m_tableName), update.lastError());
    if (update.numRowsAffected() != 1)
        throw DatabaseError(QStringLiteral("Cannot post to table %1: row %2 is no longer there")
                                .arg(m_tableName)
                                .arg(row + 1));
    m_rows[row] = record;
    if (controlsDisabled())
        m_changedWhileDisabled = true;
    else
        emit rowChanged(row);
}

void MeasureTable::refresh()
{
    requireActive();
    readAll();
    m_cursor = qMin(m_cursor, recordCount());
    announceReset();
}

void MeasureTable::announceReset()
{
    if (controlsDisabled())
        m_changedWhileDisabled = true;
    else
        emit rowsReset();
}

void MeasureTable::first()
{
    requireActive();
    m_cursor = 0;
}

void MeasureTable::next()
{
    requireActive();
    if (m_cursor < recordCount())
        ++m_cursor;
}

void MeasureTable::last()
{
    requireActive();
    m_cursor = qMax(0, recordCount() - 1);
}

bool MeasureTable::eof() const
{
    return m_cursor >= recordCount();
}

const MeasureRecord &MeasureTable::current() const
{
    requireActive();
    static const MeasureRecord none;
    return eof() ? none : m_rows.at(m_cursor);
}

MeasureTable::Field MeasureTable::fieldIndex(const QString &name) const
{
    static const struct {
        const char *name;
        Field field;
    } fields[] = {{"recno", Field::Recno}, {"date", Field::Date},         {"time", Field::Time},
                  {"ems", Field::Ems},     {"meavalue", Field::Meavalue}, {"unit", Field::Unit}};
    for (const auto &f : fields)
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return f.field;
    throw DatabaseError(QStringLiteral("Field '%1' not found").arg(name));
}

QVariant MeasureTable::fieldByName(const QString &name) const
{
    requireActive();
    const Field field = fieldIndex(name);
    if (eof()) {
        const QMetaType type = field == Field::Recno ? QMetaType::fromType<qint64>()
                               : field == Field::Ems || field == Field::Meavalue
                                   ? QMetaType::fromType<double>()
                                   : QMetaType::fromType<QString>();
        return QVariant(type);
    }
    const MeasureRecord &r = m_rows.at(m_cursor);
    switch (field) {
    case Field::Recno: return r.recno;
    case Field::Date: return r.date;
    case Field::Time: return r.time;
    case Field::Ems: return r.ems;
    case Field::Meavalue: return r.meavalue;
    case Field::Unit: return r.unit;
    }
    return QVariant();
}

double MeasureTable::fieldAsFloat(const QString &name) const
{
    const QVariant value = fieldByName(name);
    if (value.isNull())
        return 0.0;
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok)
        throw ConversionError(
            QStringLiteral("'%1' is not a valid floating point value").arg(value.toString()));
    return v;
}

QString MeasureTable::fieldAsString(const QString &name) const
{
    const QVariant value = fieldByName(name);
    if (value.isNull())
        return QString();
    if (value.metaType() == QMetaType::fromType<double>())
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

void MeasureTable::disableControls()
{
    ++m_disabledDepth;
}

void MeasureTable::enableControls()
{
    if (m_disabledDepth == 0)
        return;
    if (--m_disabledDepth > 0 || !m_changedWhileDisabled)
        return;
    m_changedWhileDisabled = false;
    emit rowsReset();
}
