#include "FileOperations.h"

#include "PathText.h"
#include "SystemError.h"

#include <windows.h>

namespace kvaderon::platform {

namespace fs = std::filesystem;

bool CreateNewFile(const fs::path& APath, std::error_code& AError) {
    HANDLE file = CreateFileW(APath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        AError = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS
                     ? std::make_error_code(std::errc::file_exists)
                     : std::error_code(int(code), std::system_category());
        return false;
    }
    CloseHandle(file);
    return true;
}

void CopyFileData(const fs::path& AFrom, const fs::path& ATo) {
    // CopyFileW copies the data, the timestamps and the attributes; the copy must stay writable.
    if (!CopyFileW(AFrom.c_str(), ATo.c_str(), FALSE))
        ThrowSystemError("Не удалось скопировать файл " + PathToUtf8(AFrom), LastSystemError());
    const DWORD attributes = GetFileAttributesW(ATo.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        !SetFileAttributesW(ATo.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)))
        ThrowSystemError("Не удалось снять атрибут «только чтение» с файла " + PathToUtf8(ATo),
                         LastSystemError());
}

void ReplaceFile(const fs::path& AFrom, const fs::path& ATo) {
    if (!MoveFileExW(AFrom.c_str(), ATo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowSystemError("Не удалось записать файл " + PathToUtf8(ATo), LastSystemError());
}

} // namespace kvaderon::platform
