#include "Sha256.h"

namespace kvaderon::platform {

std::string DigestHex(const unsigned char* ADigest, std::size_t ADigestLength) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * ADigestLength);
    for (std::size_t i = 0; i < ADigestLength; ++i) {
        text += digits[ADigest[i] >> 4];
        text += digits[ADigest[i] & 0x0F];
    }
    return text;
}

} // namespace kvaderon::platform
