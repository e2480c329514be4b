// The sound output as a module of its own, which the program loads once its
// window is shown: the audio libraries behind the player (the sound server's
// client and its codecs) would otherwise all be loaded before the program's
// first line runs.
#include "measure/soundoutputmodule.h"
#include "measure/wavsoundplayer.h"

extern "C" Q_DECL_EXPORT SoundService *kelvoraCreateSoundOutput()
{
    return new WavSoundPlayer;
}
