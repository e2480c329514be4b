#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// One member of a zip file (an .xlsx workbook) as unzip gives it; empty
// when unzip cannot read it.
inline QByteArray zipMember(const QString &zipFile, const char *member)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zipFile, QString::fromLatin1(member)});
    if (!unzip.waitForFinished(60000) || unzip.exitCode() != 0)
        return QByteArray();
    return unzip.readAllStandardOutput();
}
