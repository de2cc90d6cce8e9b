// Where the settings file lies, decided once at start-up.
#pragma once

#include <QString>

#include <filesystem>

// The file an installer puts beside the executable: an installed copy keeps its settings in the
// configuration folder, so that uninstalling and upgrading keep them, even where the user owns
// the program folder (the per-user installation on Windows).
inline constexpr char InstalledMarker[] = "kvaderon.installed";

// <folder of AExecutable>/<its base name>.ini when that file exists, or when that folder is
// writable, not a system folder (under /usr) and holds no InstalledMarker; otherwise kvaderon.ini
// in AConfigFolder.
std::filesystem::path SettingsFilePath(const QString& AExecutable, const QString& AConfigFolder);

// SettingsFilePath for this program: the configuration folder is the application configuration
// location of the application name "kvaderon".
std::filesystem::path SettingsFilePath();
