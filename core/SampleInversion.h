// The per-sample loops of the inversion. Samples are 16-bit numbers stored in the file's byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvaderon {

// Inverts ASampleCount interleaved samples; the channel counter starts at 0. A sample of a
// channel that IsAlphaChannel names stays; every other becomes (AMask - s) mod 65536.
// ASamplesPerPixel must not be 0 when ASampleCount is not.
void InvertChunkyStrip(std::uint8_t* ASamples, std::size_t ASampleCount, std::uint16_t ASamplesPerPixel,
                       const std::vector<std::uint16_t>& AExtraSamples,
                       std::uint16_t APhotometricInterpretation, bool ABigEndian, std::uint16_t AMask);

// Inverts ASampleCount samples of one plane: SampleFormat 1 as AMask - s, SampleFormat 2 as the
// negated signed value limited to [0, AMask], every other format unchanged.
void InvertPlanarStrip(std::uint8_t* ASamples, std::size_t ASampleCount, bool ABigEndian,
                       std::uint16_t ASampleFormat, std::uint16_t AMask);

} // namespace kvaderon
