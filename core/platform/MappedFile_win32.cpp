#include "MappedFile.h"

#include "PathText.h"
#include "SystemError.h"

#include <windows.h>

namespace kvaderon::platform {

TMappedFile::TMappedFile(const std::filesystem::path& AFileName, TMapAccess AAccess) {
    const bool writable = AAccess == TMapAccess::maReadWrite;
    HANDLE file = CreateFileW(AFileName.c_str(), writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        ThrowSystemError("Не удалось открыть файл " + PathToUtf8(AFileName), LastSystemError());
    FFileHandle = reinterpret_cast<std::intptr_t>(file);

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        const auto error = LastSystemError();
        Close();
        ThrowSystemError("Не удалось получить размер файла " + PathToUtf8(AFileName), error);
    }
    if (size.QuadPart <= 0) {
        Close();
        throw ESystemError("Пустой файл нельзя отобразить в память: " + PathToUtf8(AFileName));
    }

    HANDLE mapping = CreateFileMappingW(file, nullptr, writable ? PAGE_READWRITE : PAGE_READONLY,
                                        DWORD(std::uint64_t(size.QuadPart) >> 32),
                                        DWORD(std::uint64_t(size.QuadPart) & 0xFFFFFFFFu), nullptr);
    if (mapping == nullptr) {
        const auto error = LastSystemError();
        Close();
        ThrowSystemError("Не удалось отобразить файл в память " + PathToUtf8(AFileName), error);
    }
    FMappingHandle = reinterpret_cast<std::intptr_t>(mapping);

    void* view = MapViewOfFile(mapping, writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        const auto error = LastSystemError();
        Close();
        ThrowSystemError("Не удалось отобразить файл в память " + PathToUtf8(AFileName), error);
    }
    FView = static_cast<std::uint8_t*>(view);
    FSize = std::uint64_t(size.QuadPart);
}

void TMappedFile::Close() noexcept {
    if (FView != nullptr)
        UnmapViewOfFile(FView);
    FView = nullptr;
    FSize = 0;
    if (FMappingHandle != 0)
        CloseHandle(reinterpret_cast<HANDLE>(FMappingHandle));
    FMappingHandle = 0;
    if (FFileHandle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(FFileHandle));
    FFileHandle = -1;
}

} // namespace kvaderon::platform
