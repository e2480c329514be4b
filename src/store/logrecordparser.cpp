#include "store/logrecordparser.h"

#include "common/kelvoraerror.h"
#include "store/decimalformat.h"
#include "store/logfileformat.h"

#include <charconv>
#include <utility>

namespace {

// The text before the first comma of text, and the text after that comma
// (empty when there is none).
std::pair<QStringView, QStringView> splitAtComma(QStringView text)
{
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0)
        return {text, QStringView()};
    return {text.left(comma), text.mid(comma + 1)};
}

void appendUtf8(QByteArray &out, QStringView text)
{
    // Most texts are ASCII, which is copied byte by byte.
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *bytes = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            out.resize(start);
            out += text.toUtf8();
            return;
        }
        bytes[i] = char(c);
    }
}

} // namespace

int parseLogTotal(QStringView line)
{
    const QStringView text = line.mid(line.indexOf(QLatin1Char(':')) + 1);
    bool ok = false;
    const int total = text.toInt(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return total;
}

LogLine parseLogLine(QStringView line)
{
    const QStringView valueColumns = line.mid(LogFile::ValueColumn, LogFile::ValueWidth);
    bool ok = false;
    const double value = readDecimal(valueColumns.trimmed(), &ok);
    // A value longer than its columns pushes its comma on; read from the
    // columns alone it would come back cut ("18031.8" as 18031).
    const qsizetype valueEnd = LogFile::ValueColumn + LogFile::ValueWidth;
    const bool runsOn = line.size() > valueEnd && line.at(valueEnd) != QLatin1Char(',');
    if (!ok || runsOn)
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(valueColumns));

    LogLine parsed;
    parsed.head = line.left(LogFile::HeadLength);
    const auto [date, afterDate] = splitAtComma(parsed.head);
    parsed.date = date.trimmed();
    parsed.time = splitAtComma(afterDate).first.trimmed();
    parsed.emsColumns = line.mid(LogFile::EmsColumn, LogFile::EmsWidth);
    if (line.endsWith(QLatin1Char('C'))) {
        parsed.celsius = value;
        parsed.fahrenheit = roundOneDecimal(value * 1.8 + 32);
    } else {
        parsed.fahrenheit = value;
        parsed.celsius = roundOneDecimal((value - 32) / 1.8);
    }
    return parsed;
}

MeasureRecord loadedRow(const LogLine &line, bool unitCelsius, qint64 recno, const QString &previousDate)
{
    MeasureRecord row;
    row.recno = recno;
    row.date = line.date == previousDate ? previousDate : line.date.toString();
    row.time = line.time.toString();
    row.ems = readDecimal(line.emsColumns.trimmed(), nullptr);
    row.meavalue = unitCelsius ? line.celsius : line.fahrenheit;
    row.unit = unitCelsius ? QStringLiteral("C") : QStringLiteral("F");
    return row;
}

void appendStagingLine(QByteArray &out, const LogLine &line, const MeasureRecord &row)
{
    appendUtf8(out, line.head);
    const qsizetype valueStart = out.size();
    appendShortest(out, row.meavalue);
    const qsizetype valueLength = out.size() - valueStart;
    if (valueLength < LogFile::ValueWidth)
        out.append(LogFile::ValueWidth - valueLength, ' ');
    out.append(',');
    appendUtf8(out, line.emsColumns);
    out.append(',');
    appendUtf8(out, row.unit);
    out.append(',');
    char recno[24];
    out.append(recno, std::to_chars(recno, recno + sizeof recno, row.recno).ptr - recno);
}
