// The names of colours and the colour text of the settings file: a name, a number or web notation.
#pragma once

#include "Colors.h"

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kvaderon {

struct TColorName {
    const char* Name; // "clBlack"
    TColor Color;
};

// The 185 names in their order: the 16 basic colours, four more, the system colours (with
// clDefault and clNone), then the extended web colours with clLtGray, clDkGray and
// clLegacySkyBlue after clLightyellow. A value with several names is written with its first.
std::span<const TColorName> ColorNames();

// The first name of AColor, else "$" and eight upper-case hexadecimal digits.
std::string ColorToString(TColor AColor);

// A name regardless of letter case; a number (decimal, or hexadecimal after "$" or "0x") taken
// as the colour value; #RRGGBB or #RGB. Anything else raises std::invalid_argument.
TColor StringToColor(std::string_view AText);

} // namespace kvaderon
