#pragma once

#include "measure/logic/soundservice.h"

#include <QString>
#include <QStringList>

// Sound service for tests: installs itself while it lives and records every
// name asked for. Requests go on to the product's player when one is given
// (passTo), and `started` holds the names that player started; without one,
// every request starts and nothing is heard.
class RecordingSound final : public SoundService {
public:
    RecordingSound() { SoundService::install(this); }
    ~RecordingSound() override { SoundService::install(nullptr); }

    QStringList requested; // every name asked for, in order
    QStringList started;   // the names that were not skipped

    // The player that decides what starts (not owned); nullptr: none.
    void passTo(SoundService *player) { m_player = player; }

    bool play(const QString &fileName) override
    {
        requested << fileName;
        if (m_player && !m_player->play(fileName))
            return false;
        started << fileName;
        return true;
    }

private:
    SoundService *m_player = nullptr;
};
