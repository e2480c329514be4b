#pragma once

#include <QDateTime>
#include <QString>

class MeasureTable;

// Saves the readings of a live run that the program did not get to close.
// A marker file in the database's folder exists while the program runs and
// is removed by its own close, so a marker found at start means the previous
// run ended otherwise (a crash, a kill, a power cut) and its unsaved rows in
// MeaData would be lost when the tables are emptied.
class RunRecovery {
public:
    static constexpr const char *MarkerFileName = "Kelvora.running";

    enum class Outcome {
        Nothing, // clean end before, or no rows: nothing to save
        Written, // the rows are in the file at path
        Failed,  // the file could not be written; error tells why
    };
    struct Result {
        Outcome outcome = Outcome::Nothing;
        QString path;
        QString error;
    };

    explicit RunRecovery(const QString &folder);

    // "Recovered yyyy-MM-dd HH-mm-ss.klg" for the local time now.
    static QString fileName(const QDateTime &now);

    // Before the tables are emptied at start: when the marker is there and
    // meaData (open) holds rows, writes them as a log file named after now in
    // the folder, in the measurement window's format.
    Result recover(MeasureTable &meaData, const QDateTime &now) const;

    // The program runs: the marker is created.
    void markRunning() const;
    // The program's own close: the marker is removed.
    void markClosed() const;

private:
    QString markerPath() const;

    QString m_folder;
};
