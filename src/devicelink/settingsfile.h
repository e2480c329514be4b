#pragma once

#include "systemvars.h"

#include <QString>

// The settings file: an initialisation file whose section "[Kelvora OPTIONS]"
// holds the twelve persisted fields of TSystemVars as KEY=value lines.
namespace SettingsFile {

constexpr const char *FileName = "KELVORA.INI";
constexpr const char *SectionName = "Kelvora OPTIONS";

enum class LoadResult {
    Loaded,    // file read; fields whose key is missing or invalid took their default
    Missing,   // no file; every field took its default
    Unreadable // file exists but could not be read (no permission, a directory); fields untouched
};

// Gives the twelve persisted fields their defaults; other fields stay as they are.
void setDefaults(TSystemVars &vars);

// Reads the persisted fields from the file at path. Section and key names match
// case-insensitively; the first of duplicate keys wins; anything unparseable is
// skipped, so any file content loads.
LoadResult load(const QString &path, TSystemVars &vars);

// Writes the twelve keys into the file at path, keeping every other line of the
// file byte for byte and its line ending style. Creates the file if missing.
// Atomic (temporary file + rename): returns false when the file cannot be read
// or written, and then the old file is left as it was.
bool save(const QString &path, const TSystemVars &vars);

} // namespace SettingsFile
