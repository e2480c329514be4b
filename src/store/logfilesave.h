#pragma once

#include <QString>

class MeasureTable;

enum class LogSaveOutcome {
    Written,          // the file is on disk
    Cancelled,        // the save dialog was cancelled; nothing written
    OverwriteRefused, // No to the overwrite question; nothing written
};

struct LogSaveResult {
    LogSaveOutcome outcome;
    QString path; // the file written; empty unless Written
};

// Name rule of the save dialogs: ".klg" is appended only when the path holds
// no "." anywhere, directories included.
QString withLogExtension(const QString &chosenPath);

// The import window's save of GetRecorde: a save dialog every time, then the
// overwrite question "Filename  already exits!..." when the file exists.
// Only the outcome Written means the rows are on disk; the caller keeps its
// own unsaved state by it. Write failures throw KelvoraError (the old file
// intact).
LogSaveResult saveImportLog(MeasureTable &getRecorde);

// The measurement window's save of MeaData: writes to path (the window's
// file-name box) without asking when it is not empty; else the save dialog
// and the overwrite question "<path> already exits!..." choose the file.
// Values are written with one decimal. Outcome and failures as for the
// import save.
LogSaveResult saveMeasureLog(MeasureTable &meaData, const QString &path);
