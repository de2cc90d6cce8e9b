#include "SampleInversion.h"

#include "AlphaChannel.h"
#include "ByteOrder.h"

#include <algorithm>
#include <cstring>

namespace kvaderon {

namespace {

// Long enough that a XOR run is mostly wide vector operations, short enough to stay in cache.
constexpr std::size_t MinPatternBytes = 4096;

void XorBytes(std::uint8_t* AData, const std::uint8_t* APattern, std::size_t ALength) {
    for (std::size_t i = 0; i < ALength; ++i)
        AData[i] ^= APattern[i];
}

std::vector<std::uint8_t> PixelBytes(const std::vector<std::uint16_t>& AChannelMasks, bool ABigEndian) {
    std::vector<std::uint8_t> bytes(2 * std::max<std::size_t>(AChannelMasks.size(), 1), 0);
    for (std::size_t channel = 0; channel < AChannelMasks.size(); ++channel)
        WriteU16(bytes.data() + 2 * channel, AChannelMasks[channel], ABigEndian);
    return bytes;
}

} // namespace

TXorPattern::TXorPattern(const std::vector<std::uint16_t>& AChannelMasks, bool ABigEndian)
    : TXorPattern(PixelBytes(AChannelMasks, ABigEndian)) {}

TXorPattern::TXorPattern(const std::vector<std::uint8_t>& APixelMasks)
    : FPeriod(std::max<std::size_t>(APixelMasks.size(), 1)) {
    const std::size_t periods = std::max<std::size_t>(1, (MinPatternBytes + FPeriod - 1) / FPeriod);
    FBytes.resize(FPeriod * periods);
    std::copy(APixelMasks.begin(), APixelMasks.end(), FBytes.begin());
    for (std::size_t filled = FPeriod; filled < FBytes.size(); filled *= 2)
        std::memcpy(FBytes.data() + filled, FBytes.data(), std::min(filled, FBytes.size() - filled));
}

void TXorPattern::Apply(std::uint8_t* AData, std::size_t ALength, std::uint64_t APosition) const {
    std::size_t at = std::size_t(APosition % FPeriod);
    while (ALength > 0) {
        const std::size_t run = std::min(ALength, FBytes.size() - at);
        XorBytes(AData, FBytes.data() + at, run);
        AData += run;
        ALength -= run;
        at = 0;
    }
}

TXorPattern ChunkyPattern(std::uint16_t ASamplesPerPixel, const std::vector<std::uint16_t>& AExtraSamples,
                          std::uint16_t APhotometricInterpretation, bool ABigEndian, std::uint16_t AMask) {
    std::vector<std::uint16_t> masks(std::max<std::uint16_t>(ASamplesPerPixel, 1), AMask);
    for (std::uint32_t channel = 0; channel < ASamplesPerPixel; ++channel)
        if (IsAlphaChannel(channel, ASamplesPerPixel, AExtraSamples, APhotometricInterpretation))
            masks[channel] = 0;
    if (std::all_of(masks.begin(), masks.end(), [&](std::uint16_t AChannelMask) { return AChannelMask == AMask; }))
        masks.resize(1); // the shortest period: one sample
    return TXorPattern(masks, ABigEndian);
}

} // namespace kvaderon
