#include "settingsfile.h"

#include "inidocument.h"

#include <QList>

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

QList<IniDocument::Entry> entries(const TSystemVars &vars)
{
    std::array<QString, KeyCount> values;
    values[CompanyName] = vars.companyName;
    values[SerialPort] = vars.serialPort;
    values[MachineMode] = QString::number(vars.machineMode);
    values[MeasureMode] = QString::number(vars.measureMode);
    values[HalValue] = QString::number(vars.halValue);
    values[LalValue] = QString::number(vars.lalValue);
    values[SystemLal] = QString::number(toTenths(vars.systemLal));
    values[SystemHal] = QString::number(toTenths(vars.systemHal));
    values[UnitCf] = vars.unitCelsius ? QStringLiteral("1") : QStringLiteral("0");
    values[AlarmOnOff] = vars.alarmOn ? QStringLiteral("1") : QStringLiteral("0");
    values[Ems] = QString::number(vars.emsValue);
    values[SamplePeriod] = QString::number(vars.samplePeriod);

    QList<IniDocument::Entry> out;
    for (int i = 0; i < KeyCount; ++i)
        out.append({QLatin1String(KeyNames[i]), values[i]});
    return out;
}

} // namespace

void SettingsFile::setDefaults(TSystemVars &vars)
{
    applyValues(Values{}, vars);
}

SettingsFile::LoadResult SettingsFile::load(const QString &path, TSystemVars &vars)
{
    IniDocument doc;
    switch (doc.load(path)) {
    case IniDocument::LoadResult::Missing: setDefaults(vars); return LoadResult::Missing;
    case IniDocument::LoadResult::Unreadable: return LoadResult::Unreadable;
    case IniDocument::LoadResult::Loaded: break;
    }
    const QString section = QLatin1String(SectionName);
    Values values;
    for (int i = 0; i < KeyCount; ++i)
        values[i] = doc.value(section, QLatin1String(KeyNames[i]));
    applyValues(values, vars);
    return LoadResult::Loaded;
}

bool SettingsFile::save(const QString &path, const TSystemVars &vars)
{
    IniDocument doc;
    // Without the old content the other lines could not be kept.
    if (doc.load(path) == IniDocument::LoadResult::Unreadable)
        return false;
    doc.setSection(QLatin1String(SectionName), entries(vars));
    return doc.save(path);
}
