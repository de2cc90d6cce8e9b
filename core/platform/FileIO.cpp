#include "FileIO.h"

#include "PathText.h"
#include "SystemError.h"

namespace kvaderon::platform {

namespace fs = std::filesystem;

// A name starting with "." and, on Windows, an entry with the hidden attribute; in
// FileIO_posix.cpp and FileIO_win32.cpp.
bool IsHiddenEntry(const fs::path& APath);

ENotRegularFile::ENotRegularFile(const std::filesystem::path& APath, bool AFolder)
    : ESystemError(
          (AFolder ? "Указан путь к папке, а не к файлу: " : "Это не обычный файл (канал, устройство или сокет): ") +
              PathToUtf8(APath),
          std::make_error_code(AFolder ? std::errc::is_a_directory : std::errc::no_such_device)) {}

bool TFileSystem::IsSameFile(const std::filesystem::path& AFirst, const std::filesystem::path& ASecond) {
    std::error_code error;
    return std::filesystem::equivalent(AFirst, ASecond, error) && !error;
}

bool TFileSystem::IsFolder(const std::filesystem::path& APath) {
    std::error_code error;
    return std::filesystem::is_directory(APath, error);
}

bool TFileSystem::FileExists(const fs::path& APath) {
    // The entry itself, not what a link points to: whatever a rename onto APath would replace.
    std::error_code error;
    const fs::file_status status = fs::symlink_status(APath, error);
    return !error && fs::exists(status) && !fs::is_directory(status);
}

std::optional<std::uint64_t> TFileSystem::FileSize(const fs::path& APath) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(APath, error);
    if (error)
        return std::nullopt;
    return std::uint64_t(size);
}

fs::path TFileSystem::ResolvedPath(const fs::path& APath) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::absolute(APath, error), error);
    if (error)
        resolved = fs::absolute(APath, error).lexically_normal();
    return resolved;
}

void TFileSystem::CreateFolders(const fs::path& APath) {
    std::error_code error;
    fs::create_directories(APath, error);
    if (error)
        ThrowSystemError("Не удалось создать папку " + PathToUtf8(APath), error);
}

std::filesystem::path TFileSystem::LinkTarget(const std::filesystem::path& APath) {
    std::error_code error;
    if (!std::filesystem::is_symlink(APath, error))
        return APath;
    std::filesystem::path target = std::filesystem::canonical(APath, error);
    if (error)
        ThrowSystemError("Не удалось открыть файл " + PathToUtf8(APath), error);
    return target;
}

std::vector<TFolderEntry> TFileSystem::ListFolder(const std::filesystem::path& APath) {
    std::vector<TFolderEntry> entries;
    std::error_code error;
    fs::directory_iterator entry(APath, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code kindError;
        TEntryKind kind = TEntryKind::ekFile;
        if (entry->is_directory(kindError))
            kind = entry->is_symlink(kindError) ? TEntryKind::ekLinkedFolder : TEntryKind::ekFolder;
        entries.push_back({entry->path(), kind, IsHiddenEntry(entry->path())});
    }
    if (error)
        ThrowSystemError("Не удалось прочитать папку " + PathToUtf8(APath), error);
    return entries;
}

void ReadExactly(TFile& AFile, std::uint64_t AOffset, void* AData, std::size_t ALength,
                 const std::filesystem::path& APath) {
    if (AFile.ReadAt(AOffset, AData, ALength) != ALength)
        throw ESystemError("Файл стал короче во время чтения: " + PathToUtf8(APath),
                           std::make_error_code(std::errc::io_error));
}

} // namespace kvaderon::platform
