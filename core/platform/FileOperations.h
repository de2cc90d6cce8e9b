// Folder and file-name operations of the engine outside the file I/O of FileIO.h.
#pragma once

#include <filesystem>

namespace kvaderon::platform {

// True when something other than a folder is at APath: a file, a link (even one to a folder or to
// nothing) or a special file such as a pipe; a rename onto APath would replace it.
bool FileExists(const std::filesystem::path& APath);

// Creates a folder and its missing parents; failures raise ESystemError.
void CreateFolders(const std::filesystem::path& APath);

// True for a name starting with "." and, on Windows, for an entry with the hidden attribute.
bool IsHiddenEntry(const std::filesystem::path& APath);

} // namespace kvaderon::platform
