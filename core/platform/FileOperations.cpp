#include "FileOperations.h"

#include "PathText.h"
#include "SystemError.h"

namespace kvaderon::platform {

namespace fs = std::filesystem;

bool FileExists(const fs::path& APath) {
    std::error_code error;
    return fs::is_regular_file(APath, error);
}

void CreateFolders(const fs::path& APath) {
    std::error_code error;
    fs::create_directories(APath, error);
    if (error)
        ThrowSystemError("Не удалось создать папку " + PathToUtf8(APath), error);
}

} // namespace kvaderon::platform
