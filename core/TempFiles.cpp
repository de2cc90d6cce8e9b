#include "TempFiles.h"

#include "PathText.h"
#include "platform/SystemError.h"

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <random>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

// Creation and recording happen under one lock, so the removal at a signal sees every file. Lock
// and record are made once and never destroyed: the thread that takes a signal may use them while
// the main thread runs the destructors of static objects.
std::mutex& RegistryLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

// Each file with the file system that made it.
std::map<fs::path, platform::TFileSystem*>& InFlight() {
    static auto* files = new std::map<fs::path, platform::TFileSystem*>;
    return *files;
}

fs::path TempName(const fs::path& ATarget, unsigned ANumber) {
    char name[32];
    std::snprintf(name, sizeof name, ".kvaderon-%08x.tmp", ANumber);
    fs::path path = ATarget;
    path.replace_filename(name);
    return path;
}

} // namespace

EDestinationRefused::EDestinationRefused(const fs::path& AFolder, const std::error_code& ACode)
    : ESystemFailure("Папка назначения недоступна для записи: " + PathToUtf8(AFolder) + ": " +
                         platform::SystemErrorText(ACode),
                     ACode) {}

bool IsWriteRefusal(const std::error_code& ACode) {
    return ACode == std::errc::permission_denied || ACode == std::errc::operation_not_permitted ||
           ACode == std::errc::read_only_file_system || ACode == std::errc::no_space_on_device;
}

TTempFile CreateTempFileBeside(platform::TFileSystem& AFileSystem, const fs::path& ATarget,
                               std::uint32_t APermissions) {
    static std::atomic<unsigned> counter{std::random_device{}()};
    const std::lock_guard lock(RegistryLock());
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = TempName(ATarget, counter.fetch_add(0x9E3779B9u));
        try {
            TTempFile temp{candidate, AFileSystem.CreateNew(candidate, APermissions)};
            InFlight().emplace(candidate, &AFileSystem);
            return temp;
        } catch (const platform::ESystemError& failure) {
            error = failure.Code();
            if (error != std::errc::file_exists)
                break;
        }
    }
    platform::ThrowSystemError("Не удалось создать файл " + PathToUtf8(ATarget), error);
}

TTempFile CreateTempFileInDestination(platform::TFileSystem& AFileSystem, const fs::path& ATarget,
                                      std::uint32_t APermissions) {
    try {
        return CreateTempFileBeside(AFileSystem, ATarget, APermissions);
    } catch (const platform::ESystemError& error) {
        if (IsWriteRefusal(error.Code()))
            throw EDestinationRefused(ATarget.parent_path(), error.Code());
        throw;
    }
}

void ForgetTempFile(const fs::path& APath) {
    const std::lock_guard lock(RegistryLock());
    InFlight().erase(APath);
}

std::string DiscardTempFile(platform::TFileSystem& AFileSystem, TTempFile& ATemp) noexcept {
    ATemp.File.reset();
    std::string failure;
    try {
        AFileSystem.Remove(ATemp.Path);
    } catch (const platform::ESystemError& error) {
        failure =
            "Временный файл не удалён: " + PathToUtf8(ATemp.Path) + ": " + platform::SystemErrorText(error.Code());
    } catch (...) {
        failure = "Временный файл не удалён: " + PathToUtf8(ATemp.Path);
    }
    ForgetTempFile(ATemp.Path);
    return failure;
}

void RemoveTempFilesInFlight() noexcept {
    RegistryLock().lock(); // never released: the program is about to end
    for (const auto& [path, fileSystem] : InFlight()) {
        try {
            fileSystem->Remove(path);
        } catch (...) {
            // Nothing more can be done for it at this moment.
        }
    }
    InFlight().clear();
}

void CloseTempFileRecord() noexcept {
    RegistryLock().lock(); // never released: the program is about to end
}

} // namespace kvaderon
