// An in-memory file system for tests of the engine's file I/O: files are byte vectors under their
// paths, and any call can be made to fail with a chosen error.
#pragma once

#include "platform/FileIO.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace kvaderon::test {

class TMemoryFileSystem final : public platform::TFileSystem {
public:
    struct TNode {
        std::vector<std::uint8_t> Bytes;
        std::uint32_t Permissions = 0644;
        platform::TFileTimes Times;
        bool Locked = false; // by an OpenLocked file not yet closed
    };

    // Creates or overwrites a file; files open on it see the new bytes (as a file changed by
    // another program).
    void Write(const std::filesystem::path& APath, std::vector<std::uint8_t> ABytes);
    // A file's node; raises std::out_of_range when there is none.
    TNode& Node(const std::filesystem::path& APath);
    bool Exists(const std::filesystem::path& APath) const;
    // Every path, sorted.
    std::vector<std::string> Paths() const;
    // Files opened and not yet closed or dropped.
    int OpenFiles() const { return FOpenFiles; }

    // Every call of the file system and of its files counts: open, create, rename, remove,
    // same-file test, folder creation, link lookup, folder listing, info, read, write, set times, close. The
    // ANth call from now (1: the next) fails with AError; 0 fails none. With AAndAfter every
    // later call fails too, as on a disk that has gone away.
    void FailCall(std::size_t ANth, std::errc AError, bool AAndAfter = false);
    std::size_t Calls() const { return FCalls; }
    // Bytes handed out by reads of every file so far.
    std::uint64_t BytesRead() const { return FBytesRead; }
    // Reads so far that asked for bytes past the end of their file.
    std::size_t ReadsPastTheEnd() const { return FReadsPastTheEnd; }
    // Runs before every call, with its number; may change files.
    std::function<void(std::size_t ACall)> BeforeCall;

    std::unique_ptr<platform::TFile> OpenRead(const std::filesystem::path& APath) override;
    std::unique_ptr<platform::TFile> CreateNew(const std::filesystem::path& APath, std::uint32_t APermissions) override;
    // Waits while another open holds the lock; the call counts once.
    std::unique_ptr<platform::TFile> OpenLocked(const std::filesystem::path& APath) override;
    void Rename(const std::filesystem::path& AFrom, const std::filesystem::path& ATo,
                platform::TRenameMode AMode) override;
    void Remove(const std::filesystem::path& APath) override;
    bool IsSameFile(const std::filesystem::path& AFirst, const std::filesystem::path& ASecond) override;
    // A folder is any path above a file; creating one only counts the call. There are no links.
    // Like the system's, these four queries never fail.
    bool IsFolder(const std::filesystem::path& APath) override;
    bool FileExists(const std::filesystem::path& APath) override;
    std::optional<std::uint64_t> FileSize(const std::filesystem::path& APath) override;
    // APath without "." and "..": paths are absolute here.
    std::filesystem::path ResolvedPath(const std::filesystem::path& APath) override;
    void CreateFolders(const std::filesystem::path& APath) override;
    std::filesystem::path LinkTarget(const std::filesystem::path& APath) override;
    // The files and folders right below APath; hidden as their names say.
    std::vector<platform::TFolderEntry> ListFolder(const std::filesystem::path& APath) override;
    // The umask of the "process"; 0 unless a test sets Umask.
    std::uint32_t CreationMask() override { return Umask; }
    std::uint32_t Umask = 0;

    // Counts a call made on APath and raises the injected fault when it is due.
    void Call(const char* AOperation, const std::filesystem::path& APath);

private:
    friend class TMemoryFile;

    // Files are read on the inverter's reader thread while it writes on its own, and a batch
    // inverts several files at once.
    mutable std::recursive_mutex FLock;
    std::condition_variable_any FUnlocked;
    std::map<std::filesystem::path, std::shared_ptr<TNode>> FFiles;
    std::size_t FCalls = 0;
    std::uint64_t FBytesRead = 0;
    std::size_t FReadsPastTheEnd = 0;
    std::size_t FFailAt = 0;
    bool FFailAfter = false;
    std::errc FError = std::errc::io_error;
    int FOpenFiles = 0;
};

} // namespace kvaderon::test
