#pragma once

#include "common/kelvoraerror.h"
#include "store/measurerecord.h"
#include "store/measuretable.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Text of the DatabaseError that body throws; empty when it throws none.
template <typename Body>
QString databaseErrorText(Body &&body)
{
    try {
        body();
    } catch (const DatabaseError &e) {
        return e.text();
    }
    return QString();
}

inline MeasureRecord measureRecord(qint64 recno, double meavalue, const QString &unit = QStringLiteral("C"))
{
    MeasureRecord r;
    r.recno = recno;
    r.date = QStringLiteral("2024-05-01");
    r.time = QStringLiteral("10:00:%1").arg(recno % 60, 2, 10, QLatin1Char('0'));
    r.ems = 0.95;
    r.meavalue = meavalue;
    r.unit = unit;
    return r;
}

// The measured values of a table's rows, in table order.
inline QList<double> meaValues(const MeasureTable &table)
{
    QList<double> out;
    for (const MeasureRecord &r : table.rows())
        out << r.meavalue;
    return out;
}

// A second, independent connection to the same file, standing for another
// program (or an earlier instance) using the database.
class OtherConnection {
public:
    explicit OtherConnection(const QString &filePath)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name());
        db.setDatabaseName(filePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        db.open();
    }
    ~OtherConnection()
    {
        QSqlDatabase::database(name(), false).close();
        QSqlDatabase::removeDatabase(name());
    }
    OtherConnection(const OtherConnection &) = delete;
    OtherConnection &operator=(const OtherConnection &) = delete;

    bool exec(const QString &statement)
    {
        QSqlQuery query(QSqlDatabase::database(name(), false));
        return query.exec(statement);
    }
    int rowCount(const QString &table)
    {
        QSqlQuery query(QSqlDatabase::database(name(), false));
        if (!query.exec(QStringLiteral("SELECT count(*) FROM ") + table) || !query.next())
            return -1;
        return query.value(0).toInt();
    }

private:
    static QString name() { return QStringLiteral("other"); }
};
