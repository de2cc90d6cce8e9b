#include "FileIO.h"

#include "PathText.h"
#include "SystemError.h"

namespace kvaderon::platform {

bool TFileSystem::IsSameFile(const std::filesystem::path& AFirst, const std::filesystem::path& ASecond) {
    std::error_code error;
    return std::filesystem::equivalent(AFirst, ASecond, error) && !error;
}

void ReadExactly(TFile& AFile, std::uint64_t AOffset, void* AData, std::size_t ALength,
                 const std::filesystem::path& APath) {
    if (AFile.ReadAt(AOffset, AData, ALength) != ALength)
        throw ESystemError("Файл стал короче во время чтения: " + PathToUtf8(APath),
                           std::make_error_code(std::errc::io_error));
}

void RemoveQuietly(TFileSystem& AFileSystem, const std::filesystem::path& APath) noexcept {
    try {
        AFileSystem.Remove(APath);
    } catch (...) {
    }
}

} // namespace kvaderon::platform
