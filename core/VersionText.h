// The program version as the window caption and the command line show it.
#pragma once

#include <string>
#include <string_view>

namespace kvaderon {

// "1.0.0.137" gives "1.0.0 (сборка 137)"; anything but four whole numbers of 0 to 65535 gives
// "Unknown".
std::string FormatVersionText(std::string_view AFourPartVersion);

} // namespace kvaderon
