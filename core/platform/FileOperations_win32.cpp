#include "FileOperations.h"

#include <windows.h>

namespace kvaderon::platform {

bool IsHiddenEntry(const std::filesystem::path& APath) {
    const std::wstring name = APath.filename().native();
    if (!name.empty() && name.front() == L'.')
        return true;
    const DWORD attributes = GetFileAttributesW(APath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

} // namespace kvaderon::platform
