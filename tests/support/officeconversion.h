#pragma once

// Converting a file with LibreOffice headless, as a user would open it in
// the office suite. Each call uses a user profile of its own, so that runs
// in parallel do not share one.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

struct OfficeConversion {
    QString output; // the converted file; empty on failure
    QString log;    // what soffice said, or why it did not run
};

// Converts source into format (a --convert-to argument such as "csv:...")
// in outDir, within timeoutMs. The user profile is a fresh one unless
// profileDir names one to reuse.
inline OfficeConversion convertWithOffice(const QString &source, const QString &format, const QString &outDir,
                                          int timeoutMs = 180000, const QString &profileDir = QString())
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        return {QString(), QStringLiteral("soffice not found (package libreoffice-calc-nogui)")};
    QTemporaryDir profile;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(soffice,
                  {QStringLiteral("-env:UserInstallation=") +
                       QUrl::fromLocalFile(profileDir.isEmpty() ? profile.path() : profileDir).toString(),
                   QStringLiteral("--headless"), QStringLiteral("--norestore"),
                   QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir, source});
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {QString(), QStringLiteral("soffice did not finish in time")};
    }
    const QString log = QString::fromLocal8Bit(process.readAll());
    const QString extension = format.section(QLatin1Char(':'), 0, 0);
    const QString output =
        QDir(outDir).filePath(QFileInfo(source).completeBaseName() + QLatin1Char('.') + extension);
    return {QFileInfo::exists(output) ? output : QString(), log};
}

// Calc's CSV export: comma-separated, text in UTF-8.
inline QString officeCsvFormat()
{
    return QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76");
}
