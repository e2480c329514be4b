#pragma once

#include "common/kelvoraerror.h"

#include <QMarginsF>
#include <QString>
#include <QStringList>
#include <QVector>

// A report layout file could not be read or holds an error. The text names
// the file (and the line).
class ReportLayoutError : public KelvoraError {
public:
    using KelvoraError::KelvoraError;
};

// The data sheet's design as a report layout file gives it; the file's
// format is described at the top of the program's own "Kelvora_en.rav".
struct ReportLayout {
    struct Column {
        QString field;
        QString title;
        double widthMm = 0.0;
    };
    enum class HeaderField { CompanyName, PrintDate };

    bool landscape = false;
    QMarginsF marginsMm{15, 15, 15, 15};
    double fontPointSize = 9;
    QString title;
    double titlePointSize = 16;
    QVector<HeaderField> header;
    QVector<Column> columns;
    QString footer;

    // Where the layout came from, for mistakes found only when it meets a
    // page: the file, and the lines of the settings that take the page's
    // height (margins, font sizes, title, header fields, footer).
    QString fileName;
    QVector<int> heightLines;

    // The footer with its page number and count filled in.
    QString footerText(int page, int pages) const;
    // The error for a mistake of the page's height, naming the file and the
    // lines of heightLines.
    ReportLayoutError heightError(const QString &what) const;

    // Parses a layout's text; fileName names it in errors. Throws
    // ReportLayoutError "Report layout <file>, line <n>: <what>", also for a
    // number that is not finite.
    static ReportLayout parse(const QByteArray &text, const QString &fileName);
    // Reads and parses a file. Throws ReportLayoutError.
    static ReportLayout load(const QString &path);
};
