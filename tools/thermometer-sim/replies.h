#pragma once
// Byte layout of the thermometer's answers. Pure functions, no I/O.

#include <string>
#include <vector>

namespace sim {

// The values the thermometer reports about itself in its identity answer.
struct DeviceSettings {
    int model = 4;                 // sent as one digit character
    int workMode = 0;              // sent as one digit character
    int highAlarm = 365;           // tenths of a degree
    int lowAlarm = 300;            // tenths of a degree
    unsigned char emissivity = 95; // raw byte, appended to every value
};

constexpr int kValueFieldMin = -9999;
constexpr int kValueFieldMax = 99999;

// Five characters for a value in tenths: "00365" for 365, ":0200" for -200.
// Values outside kValueFieldMin..kValueFieldMax are clamped to that range.
std::string encodeValueField(long tenths);

// Answer to "ATA": 16 bytes.
std::string identityReply(const DeviceSettings &settings);

// Answer to "ATR": 9 bytes.
std::string readingReply(long tenths, unsigned char emissivity);

// How the stored records of the "ATP" answer differ from the live readings.
struct StoredRecords {
    // Emissivity bytes of the records, repeated in turn; empty: the device's.
    std::vector<unsigned char> emissivities;
    // The answer ends after this many bytes (a device switched off in the
    // middle of a download); -1 sends it whole.
    long cutAfter = -1;
    // The answer ends after this many whole records, and once the receiver
    // has read them the line goes dead (a device unplugged in the middle of
    // a download); -1 keeps the line.
    long dropAfterRecords = -1;
    // A slow device: the answer goes byte by byte with this pause after
    // each; -1 keeps the line's pace.
    int byteGapMs = -1;
};

// Answer to "ATP": "ATP" then 6 bytes per stored record, the emissivity of
// record k being emissivities[k % size].
std::string recordsReply(const std::vector<long> &tenths, const std::vector<unsigned char> &emissivities);

} // namespace sim
