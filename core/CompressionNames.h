// The names of TIFF compression codes.
#pragma once

#include <cstdint>
#include <string_view>

namespace kvaderon {

// Display name of a TIFF compression code; empty for an unknown code.
std::string_view CompressionName(std::uint32_t ACode);

} // namespace kvaderon
