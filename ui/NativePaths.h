// Paths as the window shows them (native spelling) and as the engine takes them.
#pragma once

#include <QString>

#include <filesystem>

// APath in native spelling, with a separator at its end.
QString WithTrailingSeparator(const QString& APath);
// APath in native spelling without a separator at its end, but for a root.
QString WithoutTrailingSeparator(const QString& APath);
// The folder part of APath in native spelling: everything up to and including its last separator.
QString FolderWithSeparator(const QString& APath);
// The name of APath without its folder.
QString FileNameOf(const QString& APath);
// APath as the engine takes it: native spelling, UTF-8.
std::filesystem::path ToPath(const QString& APath);
// An engine's path in native spelling.
QString FromPath(const std::filesystem::path& APath);
