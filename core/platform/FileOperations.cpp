#include "FileOperations.h"

#include "PathText.h"
#include "SystemError.h"

namespace kvaderon::platform {

namespace fs = std::filesystem;

bool FileExists(const fs::path& APath) {
    // The entry itself, not what a link points to: whatever a rename onto APath would replace.
    std::error_code error;
    const fs::file_status status = fs::symlink_status(APath, error);
    return !error && fs::exists(status) && !fs::is_directory(status);
}

void CreateFolders(const fs::path& APath) {
    std::error_code error;
    fs::create_directories(APath, error);
    if (error)
        ThrowSystemError("Не удалось создать папку " + PathToUtf8(APath), error);
}

} // namespace kvaderon::platform
