#include "StandardDescriptors.h"

namespace kvaderon::platform {

// Files are opened as system handles (CreateFileW), never as C runtime descriptors, so a missing
// standard stream cannot lend its number to one of them; writes to it simply fail.
bool OpenMissingStandardDescriptors() {
    return true;
}

} // namespace kvaderon::platform
