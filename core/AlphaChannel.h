// Which channel of a TIFF image is its alpha channel: left as it is by the inverter, not counted
// by the analyzer.
#pragma once

#include <cstdint>
#include <vector>

namespace kvaderon {

// Whether channel AChannel is an alpha channel that is neither inverted nor counted.
bool IsAlphaChannel(std::uint32_t AChannel, std::uint16_t ASamplesPerPixel,
                    const std::vector<std::uint16_t>& AExtraSamples, std::uint16_t APhotometricInterpretation);

} // namespace kvaderon
