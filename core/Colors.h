// Colours: RGB values and system colour numbers, and the colour sets of the log.
#pragma once

#include <cstdint>

namespace kvaderon {

// red + 256 * green + 65536 * blue; 0xFF000000 + n names system colour n.
using TColor = std::uint32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clSystemColorBase = 0xFF000000;

constexpr TColor RGBColor(std::uint8_t ARed, std::uint8_t AGreen, std::uint8_t ABlue) {
    return TColor(ARed) | (TColor(AGreen) << 8) | (TColor(ABlue) << 16);
}

// The colour roles of the log, in their stored order.
struct TOutputColors {
    TColor FileName = 0;
    TColor Names = 0;
    TColor Values = 0;
    TColor Separators = 0;
    TColor OK = 0;
    TColor Warning = 0;
    TColor Error = 0;

    bool operator==(const TOutputColors&) const = default;
};

// B is used while a dark theme is active, W while a light one is.
struct TOutputColorsBW {
    TOutputColors B;
    TOutputColors W;

    bool operator==(const TOutputColorsBW&) const = default;
};

} // namespace kvaderon
