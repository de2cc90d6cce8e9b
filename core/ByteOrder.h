// Reading and writing numbers in a file's byte order; the only place that shifts bytes.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace kvaderon {

inline std::uint16_t Swap16(std::uint16_t AValue) {
    return std::uint16_t((AValue >> 8) | (AValue << 8));
}

inline std::uint16_t ReadU16(const std::uint8_t* AData, bool ABigEndian) {
    return ABigEndian ? std::uint16_t((AData[0] << 8) | AData[1]) : std::uint16_t(AData[0] | (AData[1] << 8));
}

inline std::uint32_t ReadU32(const std::uint8_t* AData, bool ABigEndian) {
    if (ABigEndian)
        return (std::uint32_t(AData[0]) << 24) | (std::uint32_t(AData[1]) << 16) | (std::uint32_t(AData[2]) << 8) |
               std::uint32_t(AData[3]);
    return std::uint32_t(AData[0]) | (std::uint32_t(AData[1]) << 8) | (std::uint32_t(AData[2]) << 16) |
           (std::uint32_t(AData[3]) << 24);
}

// Four consecutive 16-bit values, in order, taken from one 64-bit load: cheaper than four
// ReadU16 calls in loops that look at every sample.
inline void ReadU16x4(const std::uint8_t* AData, bool ABigEndian, std::uint16_t (&AValues)[4]) {
    std::uint64_t word;
    std::memcpy(&word, AData, 8);
    constexpr bool HostBig = std::endian::native == std::endian::big;
    for (int i = 0; i < 4; ++i) {
        const auto stored = std::uint16_t(word >> (16 * (HostBig ? 3 - i : i)));
        AValues[i] = ABigEndian == HostBig ? stored : Swap16(stored);
    }
}

inline void WriteU16(std::uint8_t* AData, std::uint16_t AValue, bool ABigEndian) {
    if (ABigEndian) {
        AData[0] = std::uint8_t(AValue >> 8);
        AData[1] = std::uint8_t(AValue);
    } else {
        AData[0] = std::uint8_t(AValue);
        AData[1] = std::uint8_t(AValue >> 8);
    }
}

} // namespace kvaderon
