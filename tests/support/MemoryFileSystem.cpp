#include "MemoryFileSystem.h"

#include "PathText.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace kvaderon::test {

namespace fs = std::filesystem;
using platform::ThrowSystemError;

class TMemoryFile final : public platform::TFile {
public:
    TMemoryFile(TMemoryFileSystem& AOwner, std::shared_ptr<TMemoryFileSystem::TNode> ANode, fs::path APath,
                bool AHoldsLock = false)
        : FOwner(AOwner), FNode(std::move(ANode)), FPath(std::move(APath)), FHoldsLock(AHoldsLock) {
        ++FOwner.FOpenFiles;
    }
    ~TMemoryFile() override {
        const std::lock_guard lock(FOwner.FLock);
        if (FNode)
            --FOwner.FOpenFiles;
        Unlock();
    }

    platform::TFileInfo Info() override {
        const std::lock_guard lock(FOwner.FLock);
        FOwner.Call("Сбой чтения свойств файла", FPath);
        return {FNode->Bytes.size(), FNode->Permissions, FNode->Times};
    }

    std::size_t ReadAt(std::uint64_t AOffset, void* AData, std::size_t ALength) override {
        const std::lock_guard lock(FOwner.FLock);
        FOwner.Call("Не удалось прочитать файл", FPath);
        const auto& bytes = FNode->Bytes;
        if (ALength > bytes.size() || AOffset > bytes.size() - ALength)
            ++FOwner.FReadsPastTheEnd;
        if (AOffset >= bytes.size())
            return 0;
        const std::size_t length = std::min<std::uint64_t>(ALength, bytes.size() - AOffset);
        std::memcpy(AData, bytes.data() + AOffset, length);
        FOwner.FBytesRead += length;
        return length;
    }

    void WriteAt(std::uint64_t AOffset, const void* AData, std::size_t ALength) override {
        const std::lock_guard lock(FOwner.FLock);
        FOwner.Call("Не удалось записать файл", FPath);
        auto& bytes = FNode->Bytes;
        if (bytes.size() < AOffset + ALength)
            bytes.resize(std::size_t(AOffset + ALength));
        std::memcpy(bytes.data() + AOffset, AData, ALength);
    }

    void SetTimes(const platform::TFileTimes& ATimes) override {
        const std::lock_guard lock(FOwner.FLock);
        FOwner.Call("Не удалось установить время изменения файла", FPath);
        FNode->Times = ATimes;
    }

    void Close() override {
        const std::lock_guard lock(FOwner.FLock);
        if (!FNode)
            return;
        Unlock();
        FNode.reset();
        --FOwner.FOpenFiles;
        FOwner.Call("Не удалось записать файл", FPath);
    }

private:
    void Unlock() {
        if (!FHoldsLock || !FNode)
            return;
        FHoldsLock = false;
        FNode->Locked = false;
        FOwner.FUnlocked.notify_all();
    }

    TMemoryFileSystem& FOwner;
    std::shared_ptr<TMemoryFileSystem::TNode> FNode;
    fs::path FPath;
    bool FHoldsLock;
};

void TMemoryFileSystem::Write(const fs::path& APath, std::vector<std::uint8_t> ABytes) {
    const std::lock_guard lock(FLock);
    auto& node = FFiles[APath];
    if (!node)
        node = std::make_shared<TNode>();
    node->Bytes = std::move(ABytes);
}

TMemoryFileSystem::TNode& TMemoryFileSystem::Node(const fs::path& APath) {
    const std::lock_guard lock(FLock);
    return *FFiles.at(APath);
}

bool TMemoryFileSystem::Exists(const fs::path& APath) const {
    const std::lock_guard lock(FLock);
    return FFiles.count(APath) != 0;
}

std::vector<std::string> TMemoryFileSystem::Paths() const {
    const std::lock_guard lock(FLock);
    std::vector<std::string> paths;
    for (const auto& [path, node] : FFiles)
        paths.push_back(PathToUtf8(path));
    return paths;
}

void TMemoryFileSystem::FailCall(std::size_t ANth, std::errc AError, bool AAndAfter) {
    FFailAt = ANth == 0 ? 0 : FCalls + ANth;
    FError = AError;
    FFailAfter = AAndAfter;
}

void TMemoryFileSystem::Call(const char* AOperation, const fs::path& APath) {
    const std::lock_guard lock(FLock);
    ++FCalls;
    if (BeforeCall)
        BeforeCall(FCalls);
    if (FCalls == FFailAt || (FFailAfter && FFailAt != 0 && FCalls > FFailAt))
        ThrowSystemError(std::string(AOperation) + " " + PathToUtf8(APath), std::make_error_code(FError));
}

std::unique_ptr<platform::TFile> TMemoryFileSystem::OpenRead(const fs::path& APath) {
    const std::lock_guard lock(FLock);
    Call("Не удалось открыть файл", APath);
    const auto found = FFiles.find(APath);
    if (found == FFiles.end() && IsFolder(APath))
        throw platform::ENotRegularFile(APath, true);
    if (found == FFiles.end())
        ThrowSystemError("Не удалось открыть файл " + PathToUtf8(APath),
                         std::make_error_code(std::errc::no_such_file_or_directory));
    return std::make_unique<TMemoryFile>(*this, found->second, APath);
}

std::unique_ptr<platform::TFile> TMemoryFileSystem::CreateNew(const fs::path& APath, std::uint32_t APermissions) {
    const std::lock_guard lock(FLock);
    Call("Не удалось создать файл", APath);
    if (Exists(APath))
        ThrowSystemError("Не удалось создать файл " + PathToUtf8(APath), std::make_error_code(std::errc::file_exists));
    auto node = std::make_shared<TNode>();
    node->Permissions = APermissions;
    FFiles[APath] = node;
    return std::make_unique<TMemoryFile>(*this, node, APath);
}

std::unique_ptr<platform::TFile> TMemoryFileSystem::OpenLocked(const fs::path& APath) {
    std::unique_lock lock(FLock);
    Call("Не удалось заблокировать файл", APath);
    // The node looked up again after each wait: a holder may have renamed another file onto APath.
    FUnlocked.wait(lock, [&] { return FFiles.count(APath) == 0 || !FFiles[APath]->Locked; });
    auto& node = FFiles[APath];
    if (!node)
        node = std::make_shared<TNode>();
    node->Locked = true;
    return std::make_unique<TMemoryFile>(*this, node, APath, true);
}

void TMemoryFileSystem::Rename(const fs::path& AFrom, const fs::path& ATo, platform::TRenameMode AMode) {
    const std::lock_guard lock(FLock);
    Call("Не удалось записать файл", ATo);
    const auto found = FFiles.find(AFrom);
    if (found == FFiles.end())
        ThrowSystemError("Не удалось записать файл " + PathToUtf8(ATo),
                         std::make_error_code(std::errc::no_such_file_or_directory));
    if (AMode == platform::TRenameMode::rmNoReplace && Exists(ATo))
        ThrowSystemError("Не удалось записать файл " + PathToUtf8(ATo), std::make_error_code(std::errc::file_exists));
    auto node = found->second;
    FFiles.erase(found);
    FFiles[ATo] = std::move(node);
}

void TMemoryFileSystem::Remove(const fs::path& APath) {
    const std::lock_guard lock(FLock);
    Call("Не удалось удалить файл", APath);
    if (FFiles.erase(APath) == 0)
        ThrowSystemError("Не удалось удалить файл " + PathToUtf8(APath),
                         std::make_error_code(std::errc::no_such_file_or_directory));
}

bool TMemoryFileSystem::IsSameFile(const fs::path& AFirst, const fs::path& ASecond) {
    const std::lock_guard lock(FLock);
    Call("Не удалось сравнить файлы", AFirst);
    return Exists(AFirst) && Exists(ASecond) && FFiles.at(AFirst) == FFiles.at(ASecond);
}

bool TMemoryFileSystem::IsFolder(const fs::path& APath) {
    const std::lock_guard lock(FLock);
    for (const auto& [path, node] : FFiles) {
        const auto [folderEnd, pathRest] = std::mismatch(APath.begin(), APath.end(), path.begin(), path.end());
        if (folderEnd == APath.end() && pathRest != path.end())
            return true;
    }
    return false;
}

bool TMemoryFileSystem::FileExists(const fs::path& APath) {
    const std::lock_guard lock(FLock);
    return Exists(APath);
}

std::optional<std::uint64_t> TMemoryFileSystem::FileSize(const fs::path& APath) {
    const std::lock_guard lock(FLock);
    const auto found = FFiles.find(APath);
    if (found == FFiles.end())
        return std::nullopt;
    return found->second->Bytes.size();
}

fs::path TMemoryFileSystem::ResolvedPath(const fs::path& APath) {
    return APath.lexically_normal();
}

void TMemoryFileSystem::CreateFolders(const fs::path& APath) {
    Call("Не удалось создать папку", APath);
}

fs::path TMemoryFileSystem::LinkTarget(const fs::path& APath) {
    const std::lock_guard lock(FLock);
    Call("Не удалось открыть файл", APath);
    return APath;
}

std::vector<platform::TFolderEntry> TMemoryFileSystem::ListFolder(const fs::path& APath) {
    const std::lock_guard lock(FLock);
    Call("Не удалось прочитать папку", APath);
    std::vector<platform::TFolderEntry> entries;
    std::set<fs::path> seen;
    for (const auto& [path, node] : FFiles) {
        const auto [folderEnd, pathRest] = std::mismatch(APath.begin(), APath.end(), path.begin(), path.end());
        if (folderEnd != APath.end() || pathRest == path.end() || !seen.insert(*pathRest).second)
            continue;
        const fs::path entry = APath / *pathRest;
        const bool folder = std::next(pathRest) != path.end();
        entries.push_back({entry, folder ? platform::TEntryKind::ekFolder : platform::TEntryKind::ekFile,
                           pathRest->string().starts_with(".")});
    }
    return entries;
}

} // namespace kvaderon::test
