// Folder and file-name operations of the engine outside the file I/O of FileIO.h.
#pragma once

#include <filesystem>

namespace kvaderon::platform {

// True when APath names an existing file; a folder does not count.
bool FileExists(const std::filesystem::path& APath);

// Creates a folder and its missing parents; failures raise ESystemError.
void CreateFolders(const std::filesystem::path& APath);

// True for a name starting with "." and, on Windows, for an entry with the hidden attribute.
bool IsHiddenEntry(const std::filesystem::path& APath);

} // namespace kvaderon::platform
