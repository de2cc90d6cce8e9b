// What the settings file stores, its sections and keys, and their defaults.
#pragma once

#include "CommonTypes.h"
#include "IniFile.h"

#include <string>

namespace kvaderon {

struct TStoredSettings {
    TAppSettings App;
    int Width = 0;  // of the main window, frame included
    int Height = 0; // of the main window, frame included
    std::string LastOpenFolder;
    std::string LastSaveFolder;

    bool operator==(const TStoredSettings&) const = default;
};

// What the program starts from when nothing is stored.
TStoredSettings DefaultStoredSettings();

// Reads every key; an absent key, a height or width that is no integer and a colour text that
// names no colour give that key's default. The theme name is taken as it stands.
TStoredSettings ReadStoredSettings(const TIniFile& AFile);

// Writes every key in the order of the file: "Application", "Files", "Colors". Prefix and
// postfix go in double quotes, which keep their blanks; colours as colour text.
void WriteStoredSettings(TIniFile& AFile, const TStoredSettings& ASettings);

} // namespace kvaderon
