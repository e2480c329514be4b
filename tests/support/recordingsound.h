#pragma once

#include "measure/logic/soundservice.h"

#include <QString>
#include <QStringList>

// Sound service for tests: installs itself while it lives, records every
// name asked for and which of them started. While `playing` is true every
// request is skipped, as the product skips a sound while another plays; with
// `soundsLast` set, a started sound keeps playing until finish().
class RecordingSound final : public SoundService {
public:
    RecordingSound() { SoundService::install(this); }
    ~RecordingSound() override { SoundService::install(nullptr); }

    QStringList requested; // every name asked for, in order
    QStringList started;   // the names that were not skipped
    bool playing = false;
    bool soundsLast = false;

    bool play(const QString &fileName) override
    {
        requested << fileName;
        if (playing)
            return false;
        started << fileName;
        playing = soundsLast;
        return true;
    }

    void finish() { playing = false; }
    void clear()
    {
        requested.clear();
        started.clear();
        playing = false;
    }
};
