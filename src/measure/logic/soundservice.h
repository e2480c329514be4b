#pragma once

#include <QString>

// Plays the short WAV sounds of the program (the alarm beeps). The product
// installs a player for the sound output; tests install one that records
// what was asked; until then a silent one answers.
class SoundService {
public:
    virtual ~SoundService() = default;

    // Starts the WAV file of that name (looked up with findSoundFile) and
    // returns at once. Returns false and plays nothing while another sound
    // is still playing, and when the file is missing or is not a playable
    // WAV; no other sound takes its place and nothing is reported.
    virtual bool play(const QString &fileName) = 0;

    // The installed service; a silent one that plays nothing until the
    // program installs its own.
    static SoundService &instance();
    // Installs a service (not owned); nullptr restores the silent one.
    static void install(SoundService *service);
};

// Where a sound file of that name lies: the working directory first, then
// beside the executable. An absolute path is taken as it is. Empty when no
// such file exists.
QString findSoundFile(const QString &fileName);
