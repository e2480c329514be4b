#pragma once

#include "systemvars.h"

#include <QByteArray>

// The thermometer's replies and how they are decoded into the shared state.
// Every reader takes the frame's own length and never reads past it.
namespace ThermometerProtocol {

enum class ReplyKind {
    TooShort,  // fewer than 3 bytes: dropped
    Unknown,   // 3 bytes or more, no known letter group
    Truncated, // "ATA" or "ATR" shorter than its layout: dropped
    Settings,  // "ATA"
    Reading,   // "ATR"
    Status,    // "ATS"
    Log,       // "ATP"
};

constexpr int SettingsReplyLength = 16;
constexpr int ReadingReplyLength = 9;
constexpr int LogHeaderLength = 3;
constexpr int LogRecordLength = 6;
constexpr int ValueFieldLength = 5;

// Five characters; a leading ':' makes the value negative and counts as 0.
// Each digit is its code minus 48, modulo 256, so any byte gives a number.
qint32 decodeValueField(const char *field);
// One character, its code minus 48.
qint16 decodeDigit(char c);
// A raw byte: b up to 100, b - 100 above.
qint16 decodeEmissivity(quint8 b);
bool emissivityInRange(qint16 ems);

// The whole records in a log reply, also one still arriving: none without
// the "ATP" header, at most MaxLogRecords (the ones the decode keeps).
int logRecordCount(const QByteArray &reply);

// Decodes one frame into vars as the protocol tables say. The caller sets
// `connected` and sends the reading message for a Reading.
ReplyKind parseReply(const QByteArray &frame, TSystemVars &vars);

} // namespace ThermometerProtocol
