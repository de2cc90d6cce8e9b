#include "NonRegularFiles.h"

#include <sys/stat.h>

namespace kvaderon::test {

bool MakeFifo(const std::filesystem::path& APath) {
    return ::mkfifo(APath.c_str(), 0600) == 0;
}

std::filesystem::path NullDevice() {
    return "/dev/null";
}

bool HasPermissionBits() {
    return true;
}

} // namespace kvaderon::test
