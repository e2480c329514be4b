#pragma once

#include "linkfixture.h"
#include "storetestsupport.h"

#include "store/kelvoradatabase.h"
#include "store/measuretable.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStringList>

// A program directory (executable and working directory, scripted dialogs)
// with the database and the three measurement tables open.
struct LogFileEnv {
    LogFileEnv()
    {
        db.open(env.dir.path(QStringLiteral("Kelvora.mdb")));
        for (MeasureTable *table : {&meaData, &getRecorde, &loadData})
            table->open();
    }

    QString path(const QString &name) const { return env.dir.path(name); }
    QByteArray staging() const { return env.dir.readFile(QStringLiteral("AsciiDBF.TXT")); }

    // Rows of the table as stored in the database, bypassing its row cache.
    int storedRows(const MeasureTable &table)
    {
        QSqlQuery query(db.connection());
        if (!query.exec(QStringLiteral("SELECT count(*) FROM ") + table.tableName()) || !query.next())
            return -1;
        return query.value(0).toInt();
    }

    ProgramEnv env;
    KelvoraDatabase db;
    MeasureTable meaData{db, QStringLiteral("MeaData")};
    MeasureTable getRecorde{db, QStringLiteral("GetRecorde")};
    MeasureTable loadData{db, QStringLiteral("LoadData")};
};

inline MeasureRecord logRecord(qint64 recno, const QString &date, const QString &time, double meavalue,
                               double ems, const QString &unit)
{
    MeasureRecord r = measureRecord(recno, meavalue, unit);
    r.date = date;
    r.time = time;
    r.ems = ems;
    return r;
}

// A row as "recno|date|time|meavalue|ems|unit", numbers in the shortest form.
inline QString rowText(const MeasureRecord &r)
{
    return QStringList{QString::number(r.recno), r.date, r.time, QString::number(r.meavalue, 'g', 15),
                       QString::number(r.ems, 'g', 15), r.unit}
        .join(QLatin1Char('|'));
}

inline QStringList rowTexts(const MeasureTable &table)
{
    QStringList out;
    for (const MeasureRecord &r : table.rows())
        out << rowText(r);
    return out;
}

// Lines joined with CR LF after every line, the last one included.
inline QByteArray crlfLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += line.toUtf8() + "\r\n";
    return out;
}

// How many of this process's open file descriptors refer to path; -1 where
// the system does not list them.
inline int openDescriptors(const QString &path)
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    if (!fds.exists())
        return -1;
    const QString target = QFileInfo(path).canonicalFilePath();
    int count = 0;
    for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (!target.isEmpty() && fd.symLinkTarget() == target)
            ++count;
    return count;
}

// Text of the KelvoraError (of any kind) that body throws; empty when none.
template <typename Body>
QString kelvoraErrorText(Body &&body)
{
    try {
        body();
    } catch (const KelvoraError &e) {
        return e.text();
    }
    return QString();
}
