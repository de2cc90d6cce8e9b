#include "FileIO.h"

#include "PathText.h"
#include "SystemError.h"

#include <windows.h>

#include <algorithm>

namespace kvaderon::platform {

namespace fs = std::filesystem;

namespace {

// FILETIME counts 100 ns from 1601-01-01; TFileTimes counts 1 ns from 1970-01-01.
constexpr std::int64_t epochDifference = 116444736000000000;

std::int64_t Nanoseconds(const FILETIME& ATime) {
    const std::int64_t ticks = std::int64_t((std::uint64_t(ATime.dwHighDateTime) << 32) | ATime.dwLowDateTime);
    return (ticks - epochDifference) * 100;
}

FILETIME ToFileTime(std::int64_t ANanoseconds) {
    const auto ticks = std::uint64_t(ANanoseconds / 100 + epochDifference);
    return {DWORD(ticks & 0xFFFFFFFFu), DWORD(ticks >> 32)};
}

[[noreturn]] void Fail(const char* AWhat, const fs::path& APath) {
    // Taken first: building the message below may itself set the error.
    const std::error_code error = LastSystemError();
    ThrowSystemError(std::string(AWhat) + " " + PathToUtf8(APath), error);
}

OVERLAPPED At(std::uint64_t AOffset) {
    OVERLAPPED position{};
    position.Offset = DWORD(AOffset & 0xFFFFFFFFu);
    position.OffsetHigh = DWORD(AOffset >> 32);
    return position;
}

class TWin32File final : public TFile {
public:
    TWin32File(HANDLE AHandle, fs::path APath) : FHandle(AHandle), FPath(std::move(APath)) {}
    ~TWin32File() override {
        if (FHandle != INVALID_HANDLE_VALUE)
            CloseHandle(FHandle);
    }

    TFileInfo Info() override {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(FHandle, &info))
            Fail("Не удалось прочитать свойства файла", FPath);
        return {(std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                0,
                {Nanoseconds(info.ftLastAccessTime), Nanoseconds(info.ftLastWriteTime)}};
    }

    std::size_t ReadAt(std::uint64_t AOffset, void* AData, std::size_t ALength) override {
        std::size_t done = 0;
        while (done < ALength) {
            OVERLAPPED position = At(AOffset + done);
            DWORD got = 0;
            const DWORD want = DWORD(std::min<std::size_t>(ALength - done, 1u << 30));
            if (!ReadFile(FHandle, static_cast<char*>(AData) + done, want, &got, &position)) {
                if (GetLastError() == ERROR_HANDLE_EOF)
                    break;
                Fail("Не удалось прочитать файл", FPath);
            }
            if (got == 0)
                break;
            done += got;
        }
        return done;
    }

    void WriteAt(std::uint64_t AOffset, const void* AData, std::size_t ALength) override {
        std::size_t done = 0;
        while (done < ALength) {
            OVERLAPPED position = At(AOffset + done);
            DWORD put = 0;
            const DWORD want = DWORD(std::min<std::size_t>(ALength - done, 1u << 30));
            if (!WriteFile(FHandle, static_cast<const char*>(AData) + done, want, &put, &position) || put == 0)
                Fail("Не удалось записать файл", FPath);
            done += put;
        }
    }

    void SetTimes(const TFileTimes& ATimes) override {
        const FILETIME access = ToFileTime(ATimes.Access);
        const FILETIME modification = ToFileTime(ATimes.Modification);
        if (!SetFileTime(FHandle, nullptr, &access, &modification))
            Fail("Не удалось установить время изменения файла", FPath);
    }

    void Close() override {
        const HANDLE handle = FHandle;
        FHandle = INVALID_HANDLE_VALUE;
        if (handle != INVALID_HANDLE_VALUE && !CloseHandle(handle))
            Fail("Не удалось записать файл", FPath);
    }

private:
    HANDLE FHandle;
    fs::path FPath;
};

class TWin32FileSystem final : public TFileSystem {
public:
    std::unique_ptr<TFile> OpenRead(const fs::path& APath) override {
        const HANDLE handle = CreateFileW(SystemCallPath(APath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const auto error = LastSystemError();
            std::error_code ignored;
            if (fs::is_directory(APath, ignored)) // a folder cannot be opened this way at all
                throw ENotRegularFile(APath, true);
            ThrowSystemError("Не удалось открыть файл " + PathToUtf8(APath), error);
        }
        auto file = std::make_unique<TWin32File>(handle, APath);
        if (GetFileType(handle) != FILE_TYPE_DISK)
            throw ENotRegularFile(APath, false);
        return file;
    }

    std::unique_ptr<TFile> CreateNew(const fs::path& APath, std::uint32_t /*APermissions*/) override {
        // Shared for deletion: a program ended by Ctrl+C removes its temporary files while they are open.
        const HANDLE handle = CreateFileW(SystemCallPath(APath).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
                ThrowSystemError("Не удалось создать файл " + PathToUtf8(APath),
                                 std::make_error_code(std::errc::file_exists));
            ThrowSystemError("Не удалось создать файл " + PathToUtf8(APath),
                             std::error_code(int(code), std::system_category()));
        }
        return std::make_unique<TWin32File>(handle, APath);
    }

    std::unique_ptr<TFile> OpenLocked(const fs::path& APath) override {
        constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        for (;;) {
            const HANDLE handle = CreateFileW(APath.c_str(), GENERIC_READ | GENERIC_WRITE, shareAll, nullptr,
                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle == INVALID_HANDLE_VALUE)
                Fail("Не удалось открыть файл", APath);
            auto file = std::make_unique<TWin32File>(handle, APath);
            if (GetFileType(handle) != FILE_TYPE_DISK)
                throw ENotRegularFile(APath, false);
            // Windows' byte-range locks are mandatory: a lock of the file's bytes would fail every
            // read of the list through another handle. One byte far past any list's end is locked
            // instead, as an advisory lock that every holder asks for.
            OVERLAPPED lockByte{};
            lockByte.Offset = MAXDWORD;
            lockByte.OffsetHigh = 0x7FFFFFFF;
            if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockByte))
                Fail("Не удалось заблокировать файл", APath);
            // A holder before us may have replaced the file by a rename: then lock the new one.
            BY_HANDLE_FILE_INFORMATION opened{}, named{};
            if (!GetFileInformationByHandle(handle, &opened))
                Fail("Не удалось прочитать свойства файла", APath);
            const HANDLE current =
                CreateFileW(APath.c_str(), 0, shareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (current == INVALID_HANDLE_VALUE)
                continue;
            const bool same = GetFileInformationByHandle(current, &named) &&
                              named.dwVolumeSerialNumber == opened.dwVolumeSerialNumber &&
                              named.nFileIndexHigh == opened.nFileIndexHigh &&
                              named.nFileIndexLow == opened.nFileIndexLow;
            CloseHandle(current);
            if (same)
                return file;
        }
    }

    void Rename(const fs::path& AFrom, const fs::path& ATo, TRenameMode AMode) override {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (AMode == TRenameMode::rmReplace ? MOVEFILE_REPLACE_EXISTING : 0);
        if (MoveFileExW(SystemCallPath(AFrom).c_str(), SystemCallPath(ATo).c_str(), flags))
            return;
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
            ThrowSystemError("Не удалось записать файл " + PathToUtf8(ATo),
                             std::make_error_code(std::errc::file_exists));
        ThrowSystemError("Не удалось записать файл " + PathToUtf8(ATo),
                         std::error_code(int(code), std::system_category()));
    }

    void Remove(const fs::path& APath) override {
        if (!DeleteFileW(SystemCallPath(APath).c_str()))
            Fail("Не удалось удалить файл", APath);
    }
};

} // namespace

// The short form takes folders only below MAX_PATH - 12 characters (room for an 8.3 name).
fs::path SystemCallPath(const fs::path& APath) {
    const std::wstring& path = APath.native();
    constexpr std::size_t shortestLong = MAX_PATH - 12;
    if (path.size() < shortestLong || path.starts_with(LR"(\\?\)") || path.starts_with(LR"(\\.\)"))
        return APath;
    // The extended form is taken literally: absolute, backslashes only, no "." or "..".
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = size == 0 ? 0 : GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return APath;
    full.resize(length);
    if (full.starts_with(LR"(\\)"))
        return fs::path(LR"(\\?\UNC\)" + full.substr(2));
    return fs::path(LR"(\\?\)" + full);
}

bool IsHiddenEntry(const fs::path& APath) {
    const std::wstring name = APath.filename().native();
    if (!name.empty() && name.front() == L'.')
        return true;
    const DWORD attributes = GetFileAttributesW(SystemCallPath(APath).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

std::uint32_t TFileSystem::CreationMask() {
    return 0;
}

TFileSystem& SystemFileSystem() {
    static TWin32FileSystem fileSystem;
    return fileSystem;
}

} // namespace kvaderon::platform
