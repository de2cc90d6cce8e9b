#include "NonRegularFiles.h"

namespace kvaderon::test {

bool MakeFifo(const std::filesystem::path&) {
    return false;
}

std::filesystem::path NullDevice() {
    return "NUL";
}

bool HasPermissionBits() {
    return false;
}

} // namespace kvaderon::test
