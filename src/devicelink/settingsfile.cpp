#include "settingsfile.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// Our keys, in the order they are written.
enum Key {
    CompanyName,
    SerialPort,
    MachineMode,
    MeasureMode,
    HalValue,
    LalValue,
    SystemLal,
    SystemHal,
    UnitCf,
    AlarmOnOff,
    Ems,
    SamplePeriod,
    KeyCount
};

constexpr std::array<const char *, KeyCount> KeyNames = {
    "COMPANY_NAME", "SEARIAL_PORT", "MACHINE_MODE", "MEASURE_MODE", "HAL_VALUE", "LAL_VALUE",
    "SYSTEMLAL",    "SYSTEMHAL",    "UNIT_CF",      "ALARMONOFF",   "EMS",       "SAMPLE_PERIOD"};

using Values = std::array<std::optional<QString>, KeyCount>;

// One line of the file: its bytes without the line break, and the break itself
// ("\r\n", "\n", or empty for a last line without one).
struct Line {
    QByteArray text;
    QByteArray eol;
};

// What a line means to us.
struct Parsed {
    enum Kind { Other, Header, KeyValue } kind = Other;
    QString name; // section name or key
    QString value;
};

QList<Line> splitLines(const QByteArray &data)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype nl = data.indexOf('\n', start);
        if (nl < 0) {
            lines.append({data.mid(start), QByteArray()});
            break;
        }
        const bool crlf = nl > start && data.at(nl - 1) == '\r';
        const qsizetype end = crlf ? nl - 1 : nl;
        lines.append({data.mid(start, end - start), crlf ? QByteArray("\r\n") : QByteArray("\n")});
        start = nl + 1;
    }
    return lines;
}

Parsed parseLine(const Line &line)
{
    // fromUtf8 drops a leading byte order mark.
    const QString text = QString::fromUtf8(line.text).trimmed();
    Parsed parsed;
    if (text.size() >= 2 && text.startsWith(u'[') && text.endsWith(u']')) {
        parsed.kind = Parsed::Header;
        parsed.name = text.mid(1, text.size() - 2).trimmed();
        return parsed;
    }
    if (text.startsWith(u';') || text.startsWith(u'#'))
        return parsed;
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0)
        return parsed;
    parsed.name = text.left(eq).trimmed();
    if (parsed.name.isEmpty())
        return parsed;
    parsed.kind = Parsed::KeyValue;
    parsed.value = text.mid(eq + 1).trimmed();
    return parsed;
}

bool isOurSection(const Parsed &parsed)
{
    return parsed.kind == Parsed::Header
           && parsed.name.compare(QLatin1String(SettingsFile::SectionName), Qt::CaseInsensitive) == 0;
}

// Index of our key named name (any case), or KeyCount.
int keyIndex(const Parsed &parsed)
{
    if (parsed.kind != Parsed::KeyValue)
        return KeyCount;
    for (int i = 0; i < KeyCount; ++i) {
        if (parsed.name.compare(QLatin1String(KeyNames[i]), Qt::CaseInsensitive) == 0)
            return i;
    }
    return KeyCount;
}

// Decimal integer with optional sign that fits [min, max]; nothing else.
std::optional<qint64> parseInteger(const std::optional<QString> &raw, qint64 min, qint64 max)
{
    if (!raw)
        return std::nullopt;
    const QString text = raw->trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > max + 1) // past every field's range; stops overflow of qint64
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

qint16 int16Or(const std::optional<QString> &raw, qint16 fallback)
{
    const auto v = parseInteger(raw, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    return v ? static_cast<qint16>(*v) : fallback;
}

qint32 int32Or(const std::optional<QString> &raw, qint32 fallback)
{
    const auto v = parseInteger(raw, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    return v ? static_cast<qint32>(*v) : fallback;
}

// Alarm limits above 65280 were stored as 16-bit two's complement of the
// negative value, offset by one: 65335 stands for -200.
qint32 alarmLimit(qint32 value)
{
    return value > 65280 ? value - 65535 : value;
}

// The fields hold degrees; the file holds tenths, truncated toward zero. A
// product within floating noise of a whole number counts as that number, so a
// value like 0.7 - 0.4 writes 3, not 2.
qint32 toTenths(double degrees)
{
    if (std::isnan(degrees))
        return 0;
    const double product = degrees * 10.0;
    const double nearest = std::round(product);
    const double tenths = std::fabs(product - nearest) < 1e-6 ? nearest : std::trunc(product);
    if (tenths <= std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    if (tenths >= std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(tenths);
}

void applyValues(const Values &values, TSystemVars &vars)
{
    vars.companyName = values[CompanyName].value_or(QString());
    vars.serialPort = values[SerialPort].value_or(QStringLiteral("COM1"));

    vars.machineMode = int16Or(values[MachineMode], 4);
    if (vars.machineMode > 4)
        vars.machineMode = 0;

    vars.measureMode = int16Or(values[MeasureMode], 0);
    if (vars.measureMode > 7)
        vars.measureMode = 7;

    vars.halValue = alarmLimit(int32Or(values[HalValue], 365));
    vars.lalValue = alarmLimit(int32Or(values[LalValue], 300));
    vars.systemLal = int32Or(values[SystemLal], 0) / 10.0;
    vars.systemHal = int32Or(values[SystemHal], 0) / 10.0;
    vars.unitCelsius = int32Or(values[UnitCf], 1) == 1;
    vars.alarmOn = int32Or(values[AlarmOnOff], 1) == 1;
    vars.emsValue = int32Or(values[Ems], 95);

    vars.samplePeriod = int32Or(values[SamplePeriod], 5);
    if (vars.samplePeriod > 9999)
        vars.samplePeriod = 9999;
}

// A line break inside a text value would split the line; it becomes a blank.
QByteArray textValue(QString text)
{
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text.toUtf8();
}

QList<Line> keyLines(const TSystemVars &vars, const QByteArray &eol)
{
    std::array<QByteArray, KeyCount> values;
    values[CompanyName] = textValue(vars.companyName);
    values[SerialPort] = textValue(vars.serialPort);
    values[MachineMode] = QByteArray::number(vars.machineMode);
    values[MeasureMode] = QByteArray::number(vars.measureMode);
    values[HalValue] = QByteArray::number(vars.halValue);
    values[LalValue] = QByteArray::number(vars.lalValue);
    values[SystemLal] = QByteArray::number(toTenths(vars.systemLal));
    values[SystemHal] = QByteArray::number(toTenths(vars.systemHal));
    values[UnitCf] = vars.unitCelsius ? "1" : "0";
    values[AlarmOnOff] = vars.alarmOn ? "1" : "0";
    values[Ems] = QByteArray::number(vars.emsValue);
    values[SamplePeriod] = QByteArray::number(vars.samplePeriod);

    QList<Line> lines;
    for (int i = 0; i < KeyCount; ++i)
        lines.append({QByteArray(KeyNames[i]) + '=' + values[i], eol});
    return lines;
}

QByteArray platformEol()
{
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n");
#else
    return QByteArrayLiteral("\n");
#endif
}

// Reads the whole file; nullopt when it cannot be opened or read.
std::optional<QByteArray> readAll(const QString &path)
{
    if (QFileInfo(path).isDir())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

} // namespace

void SettingsFile::setDefaults(TSystemVars &vars)
{
    applyValues(Values{}, vars);
}

SettingsFile::LoadResult SettingsFile::load(const QString &path, TSystemVars &vars)
{
    if (!QFileInfo::exists(path)) {
        setDefaults(vars);
        return LoadResult::Missing;
    }
    const std::optional<QByteArray> data = readAll(path);
    if (!data)
        return LoadResult::Unreadable;

    Values values;
    bool inSection = false;
    const QList<Line> lines = splitLines(*data);
    for (const Line &line : lines) {
        const Parsed parsed = parseLine(line);
        if (parsed.kind == Parsed::Header) {
            inSection = isOurSection(parsed);
            continue;
        }
        const int key = keyIndex(parsed);
        if (inSection && key < KeyCount && !values[key])
            values[key] = parsed.value;
    }
    applyValues(values, vars);
    return LoadResult::Loaded;
}

bool SettingsFile::save(const QString &path, const TSystemVars &vars)
{
    const QFileInfo info(path);
    if (info.isDir())
        return false;
    QByteArray original;
    if (info.exists()) {
        // Without the old content the other lines could not be kept.
        const std::optional<QByteArray> data = readAll(path);
        if (!data)
            return false;
        original = *data;
    }

    const QList<Line> lines = splitLines(original);
    QByteArray eol = platformEol();
    for (const Line &line : lines) {
        if (!line.eol.isEmpty()) {
            eol = line.eol;
            break;
        }
    }

    // Our section runs from its first header to the next header; later
    // headers of the same name are left alone (load reads them after ours).
    qsizetype header = -1;
    qsizetype sectionEnd = lines.size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Parsed parsed = parseLine(lines.at(i));
        if (parsed.kind != Parsed::Header)
            continue;
        if (header < 0) {
            if (isOurSection(parsed))
                header = i;
        } else {
            sectionEnd = i;
            break;
        }
    }

    QList<Line> out;
    if (header >= 0) {
        out = lines.mid(0, header + 1);
        out.append(keyLines(vars, eol));
        for (qsizetype i = header + 1; i < sectionEnd; ++i) {
            if (keyIndex(parseLine(lines.at(i))) == KeyCount)
                out.append(lines.at(i));
        }
        out.append(lines.mid(sectionEnd));
    } else {
        out = lines;
        // A blank line sets the new section apart from what precedes it.
        if (!out.isEmpty() && !QString::fromUtf8(out.last().text).trimmed().isEmpty())
            out.append({QByteArray(), eol});
        out.append({QByteArray("[") + SectionName + ']', eol});
        out.append(keyLines(vars, eol));
    }

    QByteArray data;
    for (qsizetype i = 0; i < out.size(); ++i) {
        data += out.at(i).text;
        // Only the very last line may lack a line break.
        data += (out.at(i).eol.isEmpty() && i + 1 < out.size()) ? eol : out.at(i).eol;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
