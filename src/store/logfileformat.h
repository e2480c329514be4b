#pragma once

// The log file: a header line, a count line and one fixed-width record line
// per row, every line ended by CR LF. The reader takes the record lines
// apart by column, so the field widths are part of the format.
namespace LogFile {
constexpr const char *Header = "@Quellmarkon KLG File";
constexpr const char *TotalPrefix = "Total:";
constexpr const char *LineEnd = "\r\n";
constexpr const char *Extension = ".klg";

// Minimum widths of the record line's fields; longer texts are written whole.
constexpr int DateWidth = 10;
constexpr int TimeWidth = 8;
constexpr int ValueWidth = 6;
constexpr int EmsWidth = 4;

// Where the reader finds the fields, counted from 0: date, comma, time and
// comma form the head; the value and the emissivity follow at fixed columns.
constexpr int HeadLength = DateWidth + 1 + TimeWidth + 1;
constexpr int ValueColumn = HeadLength;
constexpr int EmsColumn = ValueColumn + ValueWidth + 1;

// The staging file beside the executable, rewritten at every load.
constexpr const char *StagingFileName = "AsciiDBF.TXT";
} // namespace LogFile
