#include "store/runrecovery.h"

#include "common/kelvoraerror.h"
#include "store/logfilewriter.h"
#include "store/measuretable.h"

#include <QDir>
#include <QFile>

RunRecovery::RunRecovery(const QString &folder) : m_folder(folder)
{
}

QString RunRecovery::fileName(const QDateTime &now)
{
    return QStringLiteral("Recovered %1.klg").arg(now.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
}

RunRecovery::Result RunRecovery::recover(MeasureTable &meaData, const QDateTime &now) const
{
    if (!QFile::exists(markerPath()) || meaData.isEmpty())
        return {};
    const QString path = QDir(m_folder).absoluteFilePath(fileName(now));
    try {
        writeLogFile(path, meaData, LogValueText::OneDecimal);
    } catch (const KelvoraError &e) {
        return {Outcome::Failed, path, e.text()};
    }
    return {Outcome::Written, path, QString()};
}

void RunRecovery::markRunning() const
{
    QFile(markerPath()).open(QIODevice::WriteOnly);
}

void RunRecovery::markClosed() const
{
    QFile::remove(markerPath());
}

QString RunRecovery::markerPath() const
{
    return QDir(m_folder).absoluteFilePath(QString::fromLatin1(MarkerFileName));
}
