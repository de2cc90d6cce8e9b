#include "FileOperations.h"

namespace kvaderon::platform {

bool IsHiddenEntry(const std::filesystem::path& APath) {
    const std::string name = APath.filename().native();
    return !name.empty() && name.front() == '.';
}

} // namespace kvaderon::platform
