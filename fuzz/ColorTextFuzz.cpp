// libFuzzer harness: raw bytes as the colour text of the settings file. Any text is a colour or
// std::invalid_argument; a colour written as text reads back as the same colour.
#include "ColorNames.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    const std::string_view text(reinterpret_cast<const char*>(AData), ASize);
    try {
        const kvaderon::TColor color = kvaderon::StringToColor(text);
        if (kvaderon::StringToColor(kvaderon::ColorToString(color)) != color)
            __builtin_trap();
    } catch (const std::invalid_argument&) {
    }
    if (ASize >= 4) {
        const kvaderon::TColor color = AData[0] | AData[1] << 8 | AData[2] << 16 | kvaderon::TColor(AData[3]) << 24;
        if (kvaderon::StringToColor(kvaderon::ColorToString(color)) != color)
            __builtin_trap();
    }
    return 0;
}
