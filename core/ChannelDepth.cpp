#include "ChannelDepth.h"

#include "PluralForms.h"

#include <bit>
#include <cstdio>
#include <cstring>

namespace kvaderon {

namespace {

struct TChannelBits {
    unsigned AnySet = 0;      // OR of every value
    unsigned AllSet = 0xFFFF; // AND of every value
    bool AllReplicated = true;
    std::vector<std::uint16_t> FewValues; // every value, ascending, while there are few enough
};

void AddValue(unsigned AValue, TChannelBits& ABits, TChannelDepth& ADepth) {
    if (ADepth.DistinctValues++ == 0)
        ADepth.MinValue = std::uint16_t(AValue);
    ADepth.MaxValue = std::uint16_t(AValue);
    ABits.AnySet |= AValue;
    ABits.AllSet &= AValue;
    if (ADepth.DistinctValues <= ToneCurveMaxValues)
        ABits.FewValues.push_back(std::uint16_t(AValue));
    const unsigned remainder = AValue % 257;
    ABits.AllReplicated = ABits.AllReplicated && (remainder == 0 || remainder == 1 || remainder == 256);
}

// Most of the table is empty: it is read 64 values at a time, eight to a word.
TChannelBits GatherBits(const std::uint8_t* ASeen, std::uint8_t AMask, TChannelDepth& ADepth) {
    constexpr unsigned BlockValues = 64;
    TChannelBits bits;
    const std::uint64_t maskOfEight = 0x0101010101010101u * AMask;
    for (unsigned first = 0; first < 65536; first += BlockValues) {
        std::uint64_t any = 0;
        for (unsigned word = 0; word < BlockValues / 8; ++word) {
            std::uint64_t eight;
            std::memcpy(&eight, ASeen + first + 8 * word, 8);
            any |= eight;
        }
        if (!(any & maskOfEight))
            continue;
        for (unsigned value = first; value < first + BlockValues; ++value)
            if (ASeen[value] & AMask)
                AddValue(value, bits, ADepth);
    }
    return bits;
}

// Values one significant level apart: next to each other in the channel's own steps.
std::int32_t NeighbourCount(const std::vector<std::uint16_t>& AAscending, unsigned AConstantLow) {
    const unsigned step = 1u << AConstantLow;
    std::int32_t count = 0;
    for (std::size_t i = 1; i < AAscending.size(); ++i)
        count += unsigned(AAscending[i] - AAscending[i - 1]) == step;
    return count;
}

bool LooksToneCurved(const TChannelDepth& ADepth, const TChannelBits& ABits, unsigned AConstantLow) {
    return ADepth.DistinctValues <= ToneCurveMaxValues && ADepth.Samples >= ToneCurveMinSamples &&
           ADepth.LevelsPossible >= ToneCurveMinLevels &&
           ADepth.LevelsPossible >= ToneCurveMinLevelsPerValue * ADepth.DistinctValues &&
           NeighbourCount(ABits.FewValues, AConstantLow) * ToneCurveNeighbourShare <= ADepth.DistinctValues;
}

TDepthPattern FindPattern(const TChannelDepth& ADepth, unsigned AZeroLow, unsigned AOnesLow, bool AToneCurved) {
    if (ADepth.DistinctValues < MinValuesForVerdict)
        return TDepthPattern::dpFewValues;
    if (ADepth.MaxValue <= 0xFF)
        return TDepthPattern::dpLowByte8;
    if (ADepth.MinValue >= 0xFF00)
        return TDepthPattern::dpHighFF8;
    if (AToneCurved)
        return TDepthPattern::dpToneCurve8;
    if (AZeroLow > 0)
        return TDepthPattern::dpLeftShifted;
    if (AOnesLow > 0)
        return TDepthPattern::dpOnesPadded;
    if (ADepth.MaxValue == 0x8000)
        return TDepthPattern::dpEditor15;
    if (ADepth.HighestBit < 15)
        return TDepthPattern::dpLowBits;
    return TDepthPattern::dpNone;
}

std::string Percent(double AValue) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", AValue);
    std::string result = text;
    for (char& c : result)
        if (c == '.')
            c = ',';
    return result;
}

std::string LowBitsText(std::int32_t ACount, const char* AValue) {
    return std::to_string(ACount) + " " +
           GetPluralForm(ACount, "младший бит всегда ", "младших бита всегда ", "младших бит всегда ") + AValue;
}

std::string PatternText(const TChannelDepth& ADepth) {
    const std::string bits = std::to_string(ADepth.PatternBits());
    switch (ADepth.Pattern) {
    case TDepthPattern::dpNone:
        return "используются все 16 бит";
    case TDepthPattern::dpFewValues:
        return "слишком мало разных значений, чтобы судить о битности";
    case TDepthPattern::dpReplicated8:
        return "8 бит, расширенные до 16 умножением на 257 (0xXXXX)";
    case TDepthPattern::dpLowByte8:
        return "8 бит в младшем байте (0x00XX)";
    case TDepthPattern::dpHighFF8:
        return "все значения 0xFFXX: возможно, инвертированный 8-битный файл";
    case TDepthPattern::dpLeftShifted:
        return ADepth.PatternBits() == 8 ? "8 бит, сдвинутые в старший байт (0xXX00)"
                                         : bits + "-битные данные, сдвинутые в старшие биты";
    case TDepthPattern::dpOnesPadded:
        return ADepth.PatternBits() == 8 ? "8 бит в старшем байте, младший байт 0xFF (0xXXFF)"
                                         : bits + "-битные данные в старших битах, младшие дополнены единицами";
    case TDepthPattern::dpEditor15:
        return "диапазон 0–32768 графического редактора (15 бит и ещё одно значение)";
    case TDepthPattern::dpLowBits:
        return "старшие биты не заняты: " + bits + "-битные данные в младших битах" +
               (ADepth.PatternBits() == 15 ? " (как 0–32767 у 15-битных редакторов)" : "") + " или тёмный снимок";
    case TDepthPattern::dpToneCurve8:
        return "не больше 256 значений, далеко отстоящих друг от друга: вероятно, 8 бит через тоновую кривую";
    }
    return {};
}

} // namespace

double TChannelDepth::LevelsUsedPercent() const {
    return LevelsPossible > 0 ? 100.0 * DistinctValues / LevelsPossible : 0.0;
}

std::int32_t TChannelDepth::PatternBits() const {
    switch (Pattern) {
    case TDepthPattern::dpLeftShifted:
    case TDepthPattern::dpOnesPadded:
        return SignificantBits;
    case TDepthPattern::dpLowBits:
        return HighestBit + 1;
    default:
        return 0;
    }
}

TChannelDepth DescribeChannel(const std::uint8_t* AChannelSeen, std::uint8_t AMask, std::int64_t ASamples) {
    TChannelDepth depth;
    depth.Samples = ASamples;
    const TChannelBits bits = GatherBits(AChannelSeen, AMask, depth);
    if (depth.DistinctValues == 0)
        return depth;
    const unsigned zeroLow = bits.AnySet == 0 ? 16u : unsigned(std::countr_zero(bits.AnySet));
    const unsigned onesLow = unsigned(std::countr_one(bits.AllSet & 0xFFFFu));
    const unsigned constantLow = std::min(15u, std::max(zeroLow, onesLow));
    depth.SignificantBits = depth.DistinctValues == 1 ? 0 : std::int32_t(16 - constantLow);
    depth.HighestBit = std::int32_t(std::bit_width(bits.AnySet)) - 1;
    depth.LevelsPossible = std::int32_t(((depth.MaxValue - depth.MinValue) >> constantLow) + 1);
    depth.Pattern = bits.AllReplicated && depth.DistinctValues >= MinValuesForVerdict
                        ? TDepthPattern::dpReplicated8
                        : FindPattern(depth, zeroLow, onesLow, LooksToneCurved(depth, bits, constantLow));
    return depth;
}

std::string_view PatternWord(TDepthPattern APattern) {
    switch (APattern) {
    case TDepthPattern::dpNone:
        return "none";
    case TDepthPattern::dpFewValues:
        return "few-values";
    case TDepthPattern::dpReplicated8:
        return "8-bit-x257";
    case TDepthPattern::dpLowByte8:
        return "8-bit-low-byte";
    case TDepthPattern::dpHighFF8:
        return "8-bit-high-ff";
    case TDepthPattern::dpLeftShifted:
        return "left-shifted";
    case TDepthPattern::dpOnesPadded:
        return "left-shifted-ones";
    case TDepthPattern::dpEditor15:
        return "0-32768";
    case TDepthPattern::dpLowBits:
        return "low-bits";
    case TDepthPattern::dpToneCurve8:
        return "8-bit-tone-curve";
    }
    return "none";
}

std::vector<std::string> ChannelDepthLines(const TChannelDepth& ADepth) {
    if (ADepth.DistinctValues == 0)
        return {"нет ни одного значения"};
    std::string bits = "значимых бит: " + std::to_string(ADepth.SignificantBits);
    if (ADepth.DistinctValues == 1)
        bits += " (одно значение во всех семплах)";
    else if (ADepth.SignificantBits < 16)
        bits += " (" + LowBitsText(16 - ADepth.SignificantBits, ADepth.MinValue & 1 ? "1" : "0") + ")";
    bits += ", старший используемый бит: " + (ADepth.HighestBit < 0 ? std::string("нет (все значения 0)")
                                                                    : std::to_string(ADepth.HighestBit) + " из 0–15");
    return {
        bits,
        "разных значений: " + std::to_string(ADepth.DistinctValues) + ", занято уровней между мин. и макс.: " +
            Percent(ADepth.LevelsUsedPercent()) + " % (из " + std::to_string(ADepth.LevelsPossible) + ")",
        PatternText(ADepth),
    };
}

std::string ChannelName(std::size_t AChannel, std::size_t AChannelCount, std::uint16_t APhotometric) {
    static const char* const rgb[] = {"Красный", "Зелёный", "Синий"};
    if (APhotometric == 2 && AChannelCount == 3)
        return rgb[AChannel];
    if ((APhotometric == 0 || APhotometric == 1) && AChannelCount == 1)
        return "Серый";
    return "Канал " + std::to_string(AChannel + 1);
}

} // namespace kvaderon
