#include "CommonTypes.h"

#include <array>
#include <utility>

namespace kvaderon {

const std::string& GetPluralForm(std::int64_t ACount, const std::string& AOne,
                                 const std::string& AFew, const std::string& AMany) {
    if (ACount == 0)
        return AMany;
    const std::int64_t count = ACount < 0 ? -ACount : ACount;
    const std::int64_t rem100 = count % 100;
    if (rem100 >= 11 && rem100 <= 14)
        return AMany;
    switch (count % 10) {
    case 1:
        return AOne;
    case 2:
    case 3:
    case 4:
        return AFew;
    default:
        return AMany;
    }
}

bool IsAlphaChannel(std::uint32_t AChannel, std::uint16_t ASamplesPerPixel,
                    const std::vector<std::uint16_t>& AExtraSamples,
                    std::uint16_t APhotometricInterpretation) {
    if (ASamplesPerPixel < 2 || AChannel != std::uint32_t(ASamplesPerPixel) - 1)
        return false;
    if (!AExtraSamples.empty())
        return AExtraSamples.back() == 1 || AExtraSamples.back() == 2;
    return (APhotometricInterpretation == 1 && ASamplesPerPixel == 2) ||
           (APhotometricInterpretation == 2 && ASamplesPerPixel == 4) ||
           (APhotometricInterpretation == 5 && ASamplesPerPixel == 5);
}

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
