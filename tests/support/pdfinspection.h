#pragma once

// What poppler's command-line tools read from a PDF file: its text, the size
// of its first page in points and its title.

#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

inline QString runPdfTool(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString pdfText(const QString &path)
{
    return runPdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

// Whether a line of a PDF's text, blanks around it aside, matches pattern
// whole: a footer line or an axis label, not a part of another text.
inline bool pdfHasLine(const QString &text, const QString &pattern)
{
    return QRegularExpression(QStringLiteral("^\\s*%1\\s*$").arg(pattern), QRegularExpression::MultilineOption)
        .match(text)
        .hasMatch();
}

inline QString pdfInfoField(const QString &path, const QString &field)
{
    const QString info = runPdfTool(QStringLiteral("pdfinfo"), {path});
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = line.match(info);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

inline int pdfPageCount(const QString &path)
{
    return pdfInfoField(path, QStringLiteral("Pages")).toInt();
}

// "841.89 x 595.276 pts (A4)" gives 841.89 x 595.276.
inline QSizeF pdfPageSize(const QString &path)
{
    const QRegularExpression size(QStringLiteral("^([0-9.]+) x ([0-9.]+) pts"));
    const QRegularExpressionMatch m = size.match(pdfInfoField(path, QStringLiteral("Page size")));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}
