#include "SampleInversion.h"

#include "ByteOrder.h"
#include "CommonTypes.h"

#include <cstring>
#include <numeric>

// Mask - s equals s XOR Mask for both masks in use (0xFFFF and 0x7FFF): no borrow can cross the
// lowest 15 bits, and the top bit is either flipped (0xFFFF) or kept (0x7FFF). The interleaved
// loops are therefore XORs with a pattern that repeats every SamplesPerPixel samples, which the
// compiler turns into wide vector operations.

namespace kvaderon {

namespace {

inline std::uint64_t LoadU64(const std::uint8_t* AData) {
    std::uint64_t value;
    std::memcpy(&value, AData, 8);
    return value;
}

inline void StoreU64(std::uint8_t* AData, std::uint64_t AValue) {
    std::memcpy(AData, &AValue, 8);
}

inline void XorU16(std::uint8_t* AData, std::uint16_t APattern) {
    std::uint16_t value;
    std::memcpy(&value, AData, 2);
    value ^= APattern;
    std::memcpy(AData, &value, 2);
}

std::uint64_t Repeat16(std::uint16_t APattern) {
    return std::uint64_t(APattern) * 0x0001000100010001ull;
}

void XorWords(std::uint8_t* AData, std::size_t AWords, std::uint64_t APattern) {
    for (std::size_t i = 0; i < AWords; ++i)
        StoreU64(AData + i * 8, LoadU64(AData + i * 8) ^ APattern);
}

void XorUniform(std::uint8_t* AData, std::size_t ASampleCount, std::uint16_t APattern) {
    const std::size_t words = ASampleCount / 4;
    XorWords(AData, words, Repeat16(APattern));
    for (std::size_t i = words * 4; i < ASampleCount; ++i)
        XorU16(AData + i * 2, APattern);
}

// APatterns holds one stored pattern per channel. The pattern repeats every lcm(channels, 4)
// samples, a whole number of 64-bit words: one word for 1, 2 or 4 channels.
void XorPeriodic(std::uint8_t* AData, std::size_t ASampleCount, const std::vector<std::uint16_t>& APatterns) {
    const std::size_t channels = APatterns.size();
    const std::size_t periodSamples = std::lcm(channels, std::size_t(4));
    const std::size_t periodWords = periodSamples / 4;
    std::vector<std::uint64_t> words(periodWords);
    for (std::size_t w = 0; w < periodWords; ++w) {
        std::uint16_t lanes[4];
        for (std::size_t lane = 0; lane < 4; ++lane)
            lanes[lane] = APatterns[(w * 4 + lane) % channels];
        std::memcpy(&words[w], lanes, 8);
    }
    const std::size_t blocks = ASampleCount / periodSamples;
    if (periodWords == 1) {
        XorWords(AData, blocks, words[0]);
    } else {
        for (std::size_t b = 0; b < blocks; ++b)
            for (std::size_t w = 0; w < periodWords; ++w) {
                std::uint8_t* at = AData + (b * periodWords + w) * 8;
                StoreU64(at, LoadU64(at) ^ words[w]);
            }
    }
    for (std::size_t i = blocks * periodSamples; i < ASampleCount; ++i)
        XorU16(AData + i * 2, APatterns[i % channels]);
}

template <bool BigEndian>
void NegateSignedPlane(std::uint8_t* AData, std::size_t ASampleCount, std::uint16_t AMask) {
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

void InvertChunkyStrip(std::uint8_t* ASamples, std::size_t ASampleCount, std::uint16_t ASamplesPerPixel,
                       const std::vector<std::uint16_t>& AExtraSamples,
                       std::uint16_t APhotometricInterpretation, bool ABigEndian, std::uint16_t AMask) {
    if (ASampleCount == 0)
        return;
    const std::uint16_t pattern = StoredPattern16(AMask, ABigEndian);
    const bool hasAlpha = IsAlphaChannel(ASamplesPerPixel - 1u, ASamplesPerPixel, AExtraSamples,
                                         APhotometricInterpretation);
    if (!hasAlpha) {
        XorUniform(ASamples, ASampleCount, pattern);
        return;
    }
    std::vector<std::uint16_t> patterns(ASamplesPerPixel, pattern);
    patterns.back() = 0;
    XorPeriodic(ASamples, ASampleCount, patterns);
}

void InvertPlanarStrip(std::uint8_t* ASamples, std::size_t ASampleCount, bool ABigEndian,
                       std::uint16_t ASampleFormat, std::uint16_t AMask) {
    if (ASampleFormat == 1)
        XorUniform(ASamples, ASampleCount, StoredPattern16(AMask, ABigEndian));
    else if (ASampleFormat == 2 && ABigEndian)
        NegateSignedPlane<true>(ASamples, ASampleCount, AMask);
    else if (ASampleFormat == 2)
        NegateSignedPlane<false>(ASamples, ASampleCount, AMask);
}

} // namespace kvaderon
