// Files that are not regular files, made the way the platform makes them, for the tests that the
// engine opens only regular files; and what the platform's files can carry.
#pragma once

#include <filesystem>

namespace kvaderon::test {

// Makes a FIFO at APath; false where the file system has none (Windows keeps its pipes apart).
bool MakeFifo(const std::filesystem::path& APath);

// The device that swallows writes and reads as empty: /dev/null, or NUL on Windows.
std::filesystem::path NullDevice();

// Whether files keep POSIX permission bits (Windows has a read-only attribute instead).
bool HasPermissionBits();

} // namespace kvaderon::test
