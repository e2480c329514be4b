#pragma once

#include <functional>

class TForm6;

// Holds the thermometer for a download from its start to every end: no
// measurement or port change takes the line over, and no other window
// writes to it. The download itself switches the link to the framing of
// the long reply (commState) once it sends its request; release ends both.
class DownloadHold {
public:
    DownloadHold();
    ~DownloadHold() { release(); }
    DownloadHold(const DownloadHold &) = delete;
    DownloadHold &operator=(const DownloadHold &) = delete;

    // Gives the thermometer back (also clears tableBusy); once.
    void release();

private:
    bool m_released = false;
};

// Downloads the records stored in the thermometer's memory through the
// device-link module: connects when the settings have not been read, waits
// for a pending reply, empties the receive buffer, sends "ATP" and waits for
// the parsed reply in rounds of 200 ms. The records arrive in
// SystemVars.logValues, logEms and logCount. No widget: the import window
// and the command line run the same sequence. Run it while a DownloadHold
// holds the thermometer.
class RecordDownload {
public:
    // The reply wait's limits, in rounds of 200 ms: ten seconds without a
    // received byte, a hundred seconds in all.
    static constexpr int RoundMs = 200;
    static constexpr int IdleRoundLimit = 50;
    static constexpr int TotalRoundLimit = 500;
    // The wait for a reply still pending before the request: 200 x 5 ms.
    static constexpr int PendingSlices = 200;
    static constexpr int PendingSliceMs = 5;

    enum class Outcome {
        NotConnected, // no settings reply: no thermometer on the port
        Abandoned,    // the caller gave up during a wait, or the program is ending
        Received,     // the reply arrived with records
        NoRecords,    // no reply within the limits, or one without records
    };
    struct Result {
        Outcome outcome = Outcome::NoRecords;
        // The port was lost during the reply wait: the records kept are the
        // whole ones that arrived before, maybe not all there were.
        bool portLost = false;
    };

    // Where the reply wait has come: started (round 0), after each round
    // with the step 1..8 of the waiting cycle, and finished. records: the
    // whole records received so far; when finished, the ones kept.
    struct Progress {
        int round = 0;
        int step = 0;
        int records = 0;
        bool finished = false;
    };
    using ProgressCallback = std::function<void(const Progress &progress)>;
    // Asked after each wait before the request has been sent and once the
    // reply wait has ended: true ends the download (Abandoned). The reply
    // wait itself is never cut short by it, since the reply would otherwise
    // be cut into frames while it is still on the line.
    using AbandonCheck = std::function<bool()>;

    explicit RecordDownload(TForm6 &link) : m_link(link) {}

    void setProgress(ProgressCallback progress) { m_progress = std::move(progress); }
    void setAbandonCheck(AbandonCheck abandoned) { m_abandoned = std::move(abandoned); }

    // Throws SerialPortError when the port has to be opened and cannot be.
    Result run();

private:
    bool abandoned() const;
    bool linkClosing() const;
    bool waitForRecords();
    void report(const Progress &progress) const;

    TForm6 &m_link;
    ProgressCallback m_progress;
    AbandonCheck m_abandoned;
};
