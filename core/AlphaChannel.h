// Which channel of a TIFF image is its alpha channel: left as it is by the inverter, not counted
// by the analyzer.
#pragma once

#include <cstdint>
#include <vector>

namespace kvaderon {

// Whether channel AChannel is an alpha channel that is neither inverted nor counted: an extra
// sample (one of the last ExtraSamples.size() channels) marked 1 (associated) or 2 (unassociated
// alpha), wherever it stands; without ExtraSamples, the last channel of grey with 2, RGB with 4
// or CMYK with 5 samples. A file of one channel has no alpha.
bool IsAlphaChannel(std::uint32_t AChannel, std::uint16_t ASamplesPerPixel,
                    const std::vector<std::uint16_t>& AExtraSamples, std::uint16_t APhotometricInterpretation);

// The channels that are not alpha (the colour channels and the unspecified extra samples), in
// channel order.
std::vector<std::uint32_t> ColourChannels(std::uint16_t ASamplesPerPixel,
                                          const std::vector<std::uint16_t>& AExtraSamples,
                                          std::uint16_t APhotometricInterpretation);

// For a channel that is one of the extra samples, its number among them from 1 ("Доп. канал N");
// 0 for the others.
std::uint32_t ExtraSampleNumber(std::uint32_t AChannel, std::uint16_t ASamplesPerPixel,
                                const std::vector<std::uint16_t>& AExtraSamples);

} // namespace kvaderon
