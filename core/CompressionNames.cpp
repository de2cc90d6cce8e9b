#include "CompressionNames.h"

#include <array>
#include <utility>

namespace kvaderon {

std::string_view CompressionName(std::uint32_t ACode) {
    static constexpr std::array<std::pair<std::uint32_t, std::string_view>, 23> names{{
        {1, "без сжатия"},
        {2, "CCITT G3 1D"},
        {3, "CCITT G3 2D"},
        {4, "CCITT G4"},
        {5, "LZW"},
        {6, "JPEG (old)"},
        {7, "JPEG"},
        {8, "Deflate (ZIP)"},
        {9, "JBIG B&W"},
        {10, "JBIG Color"},
        {32773, "PackBits (RLE)"},
        {32809, "ThunderScan RLE"},
        {32946, "Deflate (ZLIB)"},
        {34661, "NeXT 2-bit encoding"},
        {34676, "JPEG 2000"},
        {34677, "Nikon NEF (lossy)"},
        {34712, "JBIG2"},
        {34887, "ESRI Lerc"},
        {34925, "LZMA2"},
        {50000, "Kodak DCS encoding"},
        {50001, "Kodak KDC encoding"},
        {65000, "Adobe Deflate (custom)"},
        {65535, "Pentax PE (lossy)"},
    }};
    for (const auto& [code, name] : names)
        if (code == ACode)
            return name;
    return {};
}

} // namespace kvaderon
