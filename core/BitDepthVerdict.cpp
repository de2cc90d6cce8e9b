#include "BitDepthVerdict.h"

#include <algorithm>

namespace kvaderon {

void TValuePatterns::Add(std::uint16_t AValue) {
    const unsigned remainder = AValue % 257u;
    const unsigned lowByte = AValue & 0xFFu;
    AllZeroExtended = AllZeroExtended && AValue <= 0xFF;
    AllReplicated = AllReplicated && (remainder == 0 || remainder == 1 || remainder == 256);
    AllLowByteZero = AllLowByteZero && lowByte == 0;
    AllLowByteFF = AllLowByteFF && lowByte == 0xFF;
    AllHighFF = AllHighFF && AValue >= 0xFF00;
}

std::int32_t EffectiveBits(const std::vector<TChannelDepth>& ADepths) {
    std::int32_t bits = 0;
    for (const TChannelDepth& depth : ADepths)
        bits = std::max(bits, depth.SignificantBits);
    return bits;
}

TVerdict DecideVerdict(std::int32_t AUniqueValues, const TValuePatterns& APatterns,
                       const std::vector<TChannelDepth>& ADepths) {
    if (AUniqueValues < MinValuesForVerdict)
        return TVerdict::vdInconclusive;
    if (APatterns.AllZeroExtended)
        return TVerdict::vdZeroExtended8;
    if (APatterns.AllReplicated)
        return TVerdict::vdReplicated8;
    if (APatterns.AllLowByteZero)
        return TVerdict::vdHighByte8;
    if (APatterns.AllLowByteFF)
        return TVerdict::vdHighByteFF8;
    if (APatterns.AllHighFF)
        return TVerdict::vdHighFF;
    if (std::any_of(ADepths.begin(), ADepths.end(),
                    [](const TChannelDepth& ADepth) { return ADepth.Pattern == TDepthPattern::dpToneCurve8; }))
        return TVerdict::vdToneCurve;
    if (EffectiveBits(ADepths) < 16)
        return TVerdict::vdFewerBits;
    return TVerdict::vd16Bit;
}

bool IsEightBit(TVerdict AVerdict) {
    switch (AVerdict) {
    case TVerdict::vdZeroExtended8:
    case TVerdict::vdReplicated8:
    case TVerdict::vdHighByte8:
    case TVerdict::vdHighByteFF8:
        return true;
    default:
        return false;
    }
}

std::string_view VerdictWord(TVerdict AVerdict) {
    if (IsEightBit(AVerdict))
        return "8-bit";
    switch (AVerdict) {
    case TVerdict::vdNone:
        return "error";
    case TVerdict::vdInconclusive:
        return "inconclusive";
    case TVerdict::vdHighFF:
    case TVerdict::vdToneCurve:
        return "suspicious";
    case TVerdict::vdFewerBits:
        return "fewer-bits";
    default:
        return "16-bit";
    }
}

} // namespace kvaderon
