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

template <bool BigEndian> void NegateSigned(std::uint8_t* AData, std::size_t ASampleCount, std::uint16_t AMask) {
    for (std::size_t i = 0; i < ASampleCount; ++i) {
        std::uint16_t stored;
        std::memcpy(&stored, AData + i * 2, 2);
        const std::uint16_t raw = BigEndian ? Swap16(stored) : stored;
        const auto value = std::int16_t(raw);
        std::int32_t negated = value < 0 && value != -32768 ? -std::int32_t(value) : 0;
        if (negated > AMask)
            negated = AMask;
        const auto result = std::uint16_t(negated);
        stored = BigEndian ? Swap16(result) : result;
        std::memcpy(AData + i * 2, &stored, 2);
    }
}

} // namespace

namespace {

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
    if (ASamplesPerPixel == 0 ||
        !IsAlphaChannel(ASamplesPerPixel - 1u, ASamplesPerPixel, AExtraSamples, APhotometricInterpretation))
        return TXorPattern({AMask}, ABigEndian);
    std::vector<std::uint16_t> masks(ASamplesPerPixel, AMask);
    masks.back() = 0;
    return TXorPattern(masks, ABigEndian);
}

void NegateSignedSamples(std::uint8_t* ASamples, std::size_t ASampleCount, bool ABigEndian, std::uint16_t AMask) {
    if (ABigEndian)
        NegateSigned<true>(ASamples, ASampleCount, AMask);
    else
        NegateSigned<false>(ASamples, ASampleCount, AMask);
}

} // namespace kvaderon
