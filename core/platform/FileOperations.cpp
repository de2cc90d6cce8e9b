#include "FileOperations.h"

#include "PathText.h"
#include "SystemError.h"

#include <atomic>
#include <cstdio>
#include <random>
#include <cstring>

namespace kvaderon::platform {

namespace fs = std::filesystem;

// Implemented per platform: creates APath only if no file has that name yet.
bool CreateNewFile(const fs::path& APath, std::error_code& AError);

bool FileExists(const fs::path& APath) {
    std::error_code error;
    return fs::is_regular_file(APath, error);
}

std::uint64_t FileLength(const fs::path& APath) {
    std::error_code error;
    const auto size = fs::file_size(APath, error);
    if (error)
        ThrowSystemError("Не удалось прочитать размер файла " + PathToUtf8(APath), error);
    return size;
}

bool IsSameFile(const fs::path& AFirst, const fs::path& ASecond) {
    std::error_code error;
    return fs::equivalent(AFirst, ASecond, error) && !error;
}

fs::path CreateTempFileBeside(const fs::path& ATarget) {
    static std::atomic<unsigned> counter{std::random_device{}()};
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", counter.fetch_add(0x9E3779B9u));
        fs::path candidate = ATarget;
        candidate.replace_filename(u8"." + ATarget.filename().u8string() + u8".kvaderon" +
                                   std::u8string(suffix, suffix + std::strlen(suffix)));
        if (CreateNewFile(candidate, error))
            return candidate;
        if (error != std::errc::file_exists)
            break;
    }
    ThrowSystemError("Не удалось создать файл " + PathToUtf8(ATarget), error);
}

void CopyModificationTime(const fs::path& AFrom, const fs::path& ATo) {
    std::error_code error;
    const auto time = fs::last_write_time(AFrom, error);
    if (!error)
        fs::last_write_time(ATo, time, error);
    if (error)
        ThrowSystemError("Не удалось установить время изменения файла " + PathToUtf8(ATo), error);
}

void RemoveFileQuietly(const fs::path& APath) noexcept {
    std::error_code error;
    fs::remove(APath, error);
}

void CreateFolders(const fs::path& APath) {
    std::error_code error;
    fs::create_directories(APath, error);
    if (error)
        ThrowSystemError("Не удалось создать папку " + PathToUtf8(APath), error);
}

} // namespace kvaderon::platform
