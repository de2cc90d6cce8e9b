#include "VersionText.h"

#include "TextFormat.h"

#include <array>
#include <charconv>

namespace kvaderon {

std::string FormatVersionText(std::string_view AFourPartVersion) {
    std::array<unsigned, 4> parts{};
    const char* position = AFourPartVersion.data();
    const char* end = position + AFourPartVersion.size();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            if (position == end || *position != '.')
                return "Unknown";
            ++position;
        }
        const auto [next, error] = std::from_chars(position, end, parts[i]);
        if (error != std::errc() || parts[i] > 0xFFFF)
            return "Unknown";
        position = next;
    }
    if (position != end)
        return "Unknown";
    return FormatText("%d.%d.%d (сборка %d)", {parts[0], parts[1], parts[2], parts[3]});
}

} // namespace kvaderon
