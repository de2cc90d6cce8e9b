// File operations of the engine. Failures raise ESystemError with a Russian message.
#pragma once

#include <cstdint>
#include <filesystem>

namespace kvaderon::platform {

// True when APath names an existing file; a folder does not count.
bool FileExists(const std::filesystem::path& APath);

std::uint64_t FileLength(const std::filesystem::path& APath);

// True when both paths exist and name one file: other spellings, symbolic and hard links.
bool IsSameFile(const std::filesystem::path& AFirst, const std::filesystem::path& ASecond);

// Creates a new empty file in the folder of ATarget under a name no other file has.
std::filesystem::path CreateTempFileBeside(const std::filesystem::path& ATarget);

// Copies the contents of AFrom onto the existing or new file ATo as a real data copy (never a
// shared-block clone, so that later writes need no new disk space). ATo keeps AFrom's
// modification time and permissions, made writable for its owner.
void CopyFileData(const std::filesystem::path& AFrom, const std::filesystem::path& ATo);

// Gives ATo the modification time of AFrom.
void CopyModificationTime(const std::filesystem::path& AFrom, const std::filesystem::path& ATo);

// Renames AFrom onto ATo in one step, replacing a file at ATo.
void ReplaceFile(const std::filesystem::path& AFrom, const std::filesystem::path& ATo);

// Removes a file if it exists; its own failure is ignored.
void RemoveFileQuietly(const std::filesystem::path& APath) noexcept;

// Creates a folder and its missing parents.
void CreateFolders(const std::filesystem::path& APath);

} // namespace kvaderon::platform
