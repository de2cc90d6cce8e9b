// The one conclusion of a bit-depth analysis, which the report's verdict line and the JSON state.
#pragma once

#include "ChannelDepth.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace kvaderon {

enum class TVerdict : std::uint8_t {
    vdNone,          // no verdict: the analysis failed
    vdInconclusive,  // fewer than MinValuesForVerdict distinct colour values
    vdZeroExtended8, // 8 bits in the low byte (0x00XX)
    vdReplicated8,   // 8 bits widened by 257, give or take 1
    vdHighByte8,     // 8 bits shifted into the high byte (0xXX00)
    vdHighByteFF8,   // 8 bits in the high byte, the low byte always 0xFF (0xXXFF)
    vdHighFF,        // every value 0xFFXX: possibly an inverted 8-bit file
    vdToneCurve,     // a channel looks like 8 bits widened through a tone curve
    vdFewerBits,     // fewer than 16 significant bits in every colour channel
    vd16Bit,
};

// The patterns that every distinct colour value shares, whatever its channel.
struct TValuePatterns {
    bool AllZeroExtended = true; // 0x00XX
    bool AllReplicated = true;   // a multiple of 257, give or take 1
    bool AllLowByteZero = true;  // 0xXX00
    bool AllLowByteFF = true;    // 0xXXFF
    bool AllHighFF = true;       // 0xFFXX

    void Add(std::uint16_t AValue);
};

// The largest SignificantBits of ADepths; 0 for none.
std::int32_t EffectiveBits(const std::vector<TChannelDepth>& ADepths);

// AUniqueValues distinct values of all colour channels together share APatterns; ADepths describes
// each colour channel, or all of them together.
TVerdict DecideVerdict(std::int32_t AUniqueValues, const TValuePatterns& APatterns,
                       const std::vector<TChannelDepth>& ADepths);

// The four forms of 8-bit data in 16-bit samples.
bool IsEightBit(TVerdict AVerdict);

// The fixed word of a verdict in JSON: "16-bit", "8-bit", "fewer-bits", "suspicious",
// "inconclusive", "error".
std::string_view VerdictWord(TVerdict AVerdict);

} // namespace kvaderon
