#pragma once

#include "measure/logic/soundservice.h"

#include <memory>

// Loads the sound output module from beside the executable and makes its
// player. Null, with a warning on stderr, when the module is missing or
// broken: the program then stays silent, as it does without an audio device.
std::unique_ptr<SoundService> loadSoundOutput();
