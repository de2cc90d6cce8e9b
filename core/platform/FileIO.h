// The file I/O of the engine: open files with positional reads and writes, and the few folder
// operations around them. Everything goes through TFileSystem, so that tests can hand the engine
// an in-memory file system that fails any chosen call (tests/support/MemoryFileSystem.h).
//
// Every failure raises ESystemError with a Russian message naming the path the caller gave and
// the system's error in Code(). Writing a file safely is: CreateNew under a temporary name in the
// target's folder, WriteAt, SetTimes if wanted, Close (which reports late write errors), then
// Rename onto the target; on any failure, Remove the temporary file.
#pragma once

#include "SystemError.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace kvaderon::platform {

// Nanoseconds since 1970-01-01 UTC.
struct TFileTimes {
    std::int64_t Access = 0;
    std::int64_t Modification = 0;
};

struct TFileInfo {
    std::uint64_t Size = 0;
    std::uint32_t Permissions = 0; // POSIX permission bits; 0 where the system has none
    TFileTimes Times;
};

// One open file. Dropping it without Close closes it quietly.
class TFile {
public:
    virtual ~TFile() = default;

    virtual TFileInfo Info() = 0;
    // Reads up to ALength bytes at AOffset and returns how many; fewer only at the end of the file.
    virtual std::size_t ReadAt(std::uint64_t AOffset, void* AData, std::size_t ALength) = 0;
    // Writes all ALength bytes at AOffset.
    virtual void WriteAt(std::uint64_t AOffset, const void* AData, std::size_t ALength) = 0;
    virtual void SetTimes(const TFileTimes& ATimes) = 0;
    // Closes the file; a failure here can be a write that never reached the disk.
    virtual void Close() = 0;
};

enum class TRenameMode { rmNoReplace, rmReplace };

// What a folder's entry is: a folder, a symbolic link to a folder, or anything else (a file, a
// link to one, a broken link, a FIFO, a device).
enum class TEntryKind { ekFile, ekFolder, ekLinkedFolder };

struct TFolderEntry {
    std::filesystem::path Path;
    TEntryKind Kind = TEntryKind::ekFile;
    bool Hidden = false; // a name starting with "." or, on Windows, the hidden attribute
};

class TFileSystem {
public:
    virtual ~TFileSystem() = default;

    // An existing regular file, for reading. Never blocks: a FIFO, a device or a folder fails
    // with ENotRegularFile.
    virtual std::unique_ptr<TFile> OpenRead(const std::filesystem::path& APath) = 0;
    // A new empty file for writing with the given permission bits (ignored where the system has
    // none); fails with std::errc::file_exists when the name is taken.
    virtual std::unique_ptr<TFile> CreateNew(const std::filesystem::path& APath, std::uint32_t APermissions) = 0;
    // The file at APath, created empty when missing, open for reading and writing under an
    // exclusive lock that other processes and other opens of this process wait for, held until
    // the file is closed or dropped. The file returned is the one at APath once the lock is held,
    // even when another holder replaced it by a rename meanwhile.
    virtual std::unique_ptr<TFile> OpenLocked(const std::filesystem::path& APath) = 0;
    // rmNoReplace fails with std::errc::file_exists when ATo exists; rmReplace replaces it in one step.
    virtual void Rename(const std::filesystem::path& AFrom, const std::filesystem::path& ATo, TRenameMode AMode) = 0;
    virtual void Remove(const std::filesystem::path& APath) = 0;
    // The rest are the system's answers unless a file system of its own says otherwise.
    // Both paths exist and name one file: other spellings, symbolic and hard links.
    virtual bool IsSameFile(const std::filesystem::path& AFirst, const std::filesystem::path& ASecond);
    // APath names a folder (links followed).
    virtual bool IsFolder(const std::filesystem::path& APath);
    // Something other than a folder is at APath: a file, a link (even one to a folder or to
    // nothing) or a special file such as a pipe; a rename onto APath would replace it.
    virtual bool FileExists(const std::filesystem::path& APath);
    // The size of the regular file at APath (links followed); none where there is no such file or
    // its size cannot be learned.
    virtual std::optional<std::uint64_t> FileSize(const std::filesystem::path& APath);
    // The absolute spelling of APath with links, "." and ".." resolved as far as it exists.
    virtual std::filesystem::path ResolvedPath(const std::filesystem::path& APath);
    // Creates APath and the folders above it that are missing; raises ESystemError naming APath.
    virtual void CreateFolders(const std::filesystem::path& APath);
    // Where APath leads when it is a symbolic link; APath itself otherwise.
    virtual std::filesystem::path LinkTarget(const std::filesystem::path& APath);
    // The entries of the folder APath, in no particular order; raises ESystemError naming APath
    // when it cannot be read.
    virtual std::vector<TFolderEntry> ListFolder(const std::filesystem::path& APath);
    // The permission bits this process does not give the files it creates (the umask); 0 where
    // the system keeps no permission bits.
    virtual std::uint32_t CreationMask();
};

// OpenRead's refusal of a path that exists but is not a regular file; the message is the whole
// refusal, naming the path. Code() is std::errc::is_a_directory for a folder, and
// std::errc::no_such_device for a FIFO, a device or a socket.
class ENotRegularFile : public ESystemError {
public:
    ENotRegularFile(const std::filesystem::path& APath, bool AFolder);
};

// The operating system's files.
TFileSystem& SystemFileSystem();

// APath as the system's file calls take it at any length. On Windows a path of 248 characters or
// more (the longest folder the short form allows) becomes its absolute extended-length form ("\\?\C:\...",
// "\\?\UNC\server\share\..."), which no policy limits; shorter paths and other systems keep it
// as it is.
std::filesystem::path SystemCallPath(const std::filesystem::path& APath);

// Reads exactly ALength bytes at AOffset of a file whose size was learned before; a file that has
// become shorter meanwhile raises ESystemError naming APath.
void ReadExactly(TFile& AFile, std::uint64_t AOffset, void* AData, std::size_t ALength,
                 const std::filesystem::path& APath);

} // namespace kvaderon::platform
