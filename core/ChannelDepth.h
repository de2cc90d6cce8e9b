// The effective bit depth of one colour channel: how many of its 16 bits carry information, and
// the pattern a scanner, a driver or an editor left in them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvaderon {

enum class TDepthPattern : std::uint8_t {
    dpNone,        // no pattern: the data uses the 16 bits as they come
    dpFewValues,   // fewer than 16 distinct values: too few to tell
    dpReplicated8, // 8 bits widened by 257 (0xXXXX, give or take 1)
    dpLowByte8,    // 8 bits in the low byte (0x00XX)
    dpHighFF8,     // every value 0xFFXX
    dpLeftShifted, // N-bit data in the high bits, the low bits always 0
    dpOnesPadded,  // N-bit data in the high bits, the low bits always 1 (0xXXFF for 8 bits)
    dpEditor15,    // the 0..32768 range of 15-bit editors
    dpLowBits,     // N-bit data in the low bits, the high bits always 0
    dpToneCurve8,  // at most 256 values far apart in a large image: likely 8 bits through a tone curve
};

struct TChannelDepth {
    std::int32_t SignificantBits = 0; // 16 less the low bits that hold one value in every sample;
                                      // 0 for a channel of one value
    std::int32_t HighestBit = -1;     // the highest bit set in any sample, from 0; -1: all samples 0
    std::int32_t DistinctValues = 0;
    std::int32_t LevelsPossible = 0; // the levels the significant bits allow between min and max
    std::uint16_t MinValue = 65535;
    std::uint16_t MaxValue = 0;
    std::int64_t Samples = 0; // the samples the values came from; 0 when unknown
    TDepthPattern Pattern = TDepthPattern::dpFewValues;

    // DistinctValues as a share of LevelsPossible, in percent; low for a widened or stretched
    // channel, whose histogram has gaps (combing).
    double LevelsUsedPercent() const;
    // The N of the N-bit patterns; 0 for the others.
    std::int32_t PatternBits() const;

    bool operator==(const TChannelDepth&) const = default;
};

// Fewer distinct colour values than this say nothing about the bit depth.
constexpr std::int32_t MinValuesForVerdict = 16;

// A channel looks like 8-bit data widened through a tone curve when all of these hold. A real
// 16-bit scan gives far more values than ToneCurveMaxValues unless the picture is small or flat;
// a small picture stays under ToneCurveMinSamples; a flat or dark picture keeps its values close
// together, so either its levels are few or many of its values lie next to one another. The
// levels are those the significant bits allow, so data shifted left is measured in its own steps.
constexpr std::int32_t ToneCurveMaxValues = 256;
constexpr std::int64_t ToneCurveMinSamples = 65536;    // samples of the channel, 256 x 256 pixels
constexpr std::int32_t ToneCurveMinLevels = 257;       // between min and max: wider than 8 bits
constexpr std::int32_t ToneCurveMinLevelsPerValue = 4; // on average, gaps of 3 levels or more
constexpr std::int32_t ToneCurveNeighbourShare = 16;   // at most one value in 16 has its next level too

// AChannelSeen holds one entry per sample value 0..65535; the value was seen in the channel when
// its entry has a bit of AMask set. ASamples is the number of samples of the channel; 0 when
// unknown, which never gives dpToneCurve8.
TChannelDepth DescribeChannel(const std::uint8_t* AChannelSeen, std::uint8_t AMask = 1, std::int64_t ASamples = 0);

// The fixed word of a pattern in JSON: "none", "few-values", "8-bit-x257", …
std::string_view PatternWord(TDepthPattern APattern);

// The report's lines about one channel, without line breaks: significant and highest bit,
// distinct values and levels used, and last the pattern.
std::vector<std::string> ChannelDepthLines(const TChannelDepth& ADepth);

// "Красный", "Зелёный", "Синий" for RGB, "Серый" for one grey channel, "Канал n" (from 1) otherwise.
std::string ChannelName(std::size_t AChannel, std::size_t AChannelCount, std::uint16_t APhotometric);

} // namespace kvaderon
