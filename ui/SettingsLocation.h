// Where the settings file lies, decided once at start-up.
#pragma once

#include <QString>

#include <filesystem>

// <folder of AExecutable>/<its base name>.ini when that file exists, or when that folder is
// writable and not a system folder (under /usr); otherwise kvaderon.ini in AConfigFolder.
std::filesystem::path SettingsFilePath(const QString& AExecutable, const QString& AConfigFolder);

// SettingsFilePath for this program: the configuration folder is the application configuration
// location of the application name "kvaderon".
std::filesystem::path SettingsFilePath();
