#pragma once

// The module that holds the program's sound output (WavSoundPlayer) and the
// name of the function that makes one: SoundService *() returning a new
// player that the caller owns.
namespace SoundOutputModule {
constexpr const char *FileName = "kelvora_soundoutput";
constexpr const char *CreateFunction = "kelvoraCreateSoundOutput";
} // namespace SoundOutputModule
