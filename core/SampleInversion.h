// The per-byte work of the inversion on a piece of a strip. Samples are 16-bit numbers stored in
// the file's byte order; a piece may start and end anywhere inside a strip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvaderon {

// Mask - s equals s XOR Mask for both masks in use (0xFFFF for unsigned, 0x7FFF for signed samples:
// the sign bit stays, the other 15 bits flip): no borrow can cross the lowest 15 bits, and the
// top bit is either flipped or kept. Inverting is
// therefore a XOR with a byte pattern that repeats every pixel, and a sample split between two
// pieces needs nothing special.
class TXorPattern {
public:
    // One 16-bit mask per channel, in channel order; 0 leaves a channel (alpha) as it is.
    TXorPattern(const std::vector<std::uint16_t>& AChannelMasks, bool ABigEndian);
    // One byte mask per byte of a pixel: 8-bit samples.
    explicit TXorPattern(const std::vector<std::uint8_t>& APixelMasks);

    // XORs ALength bytes that start APosition bytes into their strip.
    void Apply(std::uint8_t* AData, std::size_t ALength, std::uint64_t APosition) const;
    // The pattern's byte for the byte APosition bytes into its strip: 0 where the byte stays.
    std::uint8_t ByteAt(std::uint64_t APosition) const { return FBytes[std::size_t(APosition % FPeriod)]; }

private:
    std::size_t FPeriod;              // bytes of one pixel
    std::vector<std::uint8_t> FBytes; // whole periods, long enough for wide XOR runs
};

// The chunky pattern: every channel AMask, but for the alpha channels (IsAlphaChannel).
TXorPattern ChunkyPattern(std::uint16_t ASamplesPerPixel, const std::vector<std::uint16_t>& AExtraSamples,
                          std::uint16_t APhotometricInterpretation, bool ABigEndian, std::uint16_t AMask);

} // namespace kvaderon
