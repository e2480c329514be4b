#include "thermometerprotocol.h"

#include <algorithm>

namespace ThermometerProtocol {

namespace {

quint8 byteAt(const QByteArray &frame, int position)
{
    return static_cast<quint8>(frame.at(position - 1)); // positions count from 1
}

void decodeSettings(const QByteArray &frame, TSystemVars &vars)
{
    const qint16 model = decodeDigit(frame.at(3));
    vars.machineMode = model > 4 ? 0 : model;
    const qint16 mode = decodeDigit(frame.at(4));
    vars.measureMode = mode > 7 ? 7 : mode;
    vars.halValue = decodeValueField(frame.constData() + 5);
    vars.lalValue = decodeValueField(frame.constData() + 10);
    vars.emsValue = decodeEmissivity(byteAt(frame, 16));
    vars.awaitingReply = false;
    vars.settingsRead = true;
}

void decodeReading(const QByteArray &frame, TSystemVars &vars)
{
    vars.lastValue = decodeValueField(frame.constData() + 3);
    const qint16 ems = decodeEmissivity(byteAt(frame, 9));
    if (emissivityInRange(ems))
        vars.lastEms = ems;
    vars.awaitingReply = false;
}

void decodeLog(const QByteArray &frame, TSystemVars &vars)
{
    const int count = logRecordCount(frame);
    for (int k = 0; k < count; ++k) {
        const char *record = frame.constData() + LogHeaderLength + k * LogRecordLength;
        vars.logValues[k] = decodeValueField(record);
        const qint16 ems = decodeEmissivity(static_cast<quint8>(record[ValueFieldLength]));
        if (emissivityInRange(ems))
            vars.lastEms = ems;
        vars.logEms[k] = vars.lastEms;
    }
    vars.logCount = static_cast<qint16>(count);
    vars.logReceived = true;
    vars.awaitingReply = false;
}

} // namespace

qint32 decodeValueField(const char *field)
{
    const bool negative = field[0] == ':';
    qint32 value = 0;
    for (int i = 0; i < ValueFieldLength; ++i) {
        const int digit = (i == 0 && negative) ? 0 : (static_cast<quint8>(field[i]) - 48) & 0xFF;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

qint16 decodeDigit(char c)
{
    return static_cast<qint16>(static_cast<quint8>(c) - 48);
}

qint16 decodeEmissivity(quint8 b)
{
    return static_cast<qint16>(b > 100 ? b - 100 : b);
}

bool emissivityInRange(qint16 ems)
{
    return ems >= 10 && ems <= 100;
}

int logRecordCount(const QByteArray &reply)
{
    if (!reply.startsWith("ATP"))
        return 0;
    const int available = (static_cast<int>(reply.size()) - LogHeaderLength) / LogRecordLength;
    // Records beyond what the arrays hold are dropped; the first ones are kept.
    return std::clamp(available, 0, MaxLogRecords);
}

ReplyKind parseReply(const QByteArray &frame, TSystemVars &vars)
{
    if (frame.size() < 3)
        return ReplyKind::TooShort;
    if (frame.startsWith("ATA")) {
        if (frame.size() < SettingsReplyLength)
            return ReplyKind::Truncated;
        decodeSettings(frame, vars);
        return ReplyKind::Settings;
    }
    if (frame.startsWith("ATR")) {
        if (frame.size() < ReadingReplyLength)
            return ReplyKind::Truncated;
        decodeReading(frame, vars);
        return ReplyKind::Reading;
    }
    if (frame.startsWith("ATS")) {
        vars.awaitingReply = false;
        return ReplyKind::Status;
    }
    if (frame.startsWith("ATP")) {
        decodeLog(frame, vars);
        return ReplyKind::Log;
    }
    return ReplyKind::Unknown;
}

} // namespace ThermometerProtocol
