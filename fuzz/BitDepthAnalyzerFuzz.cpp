// libFuzzer harness: raw bytes as a file of an in-memory file system through the whole bit-depth
// analysis in both modes. An accepted file's statistics must be what a plain model counting
// every colour sample one by one gives, and so must the verdict; a failure must carry none.
#include "AlphaChannel.h"
#include "MemoryFileSystem.h"
#include "TIFFBitDepthAnalyzer.h"
#include "TiffAnalysisReader.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using kvaderon::TBitDepthResult;

struct TModel {
    std::vector<bool> Seen = std::vector<bool>(65536);
    std::vector<std::uint8_t> ChannelSeen; // per value, bit c when seen in colour channel c; reported channels only
    std::uint32_t ReportedChannels = 0;
    std::vector<std::uint16_t> UniqueValues;
    bool ZeroExtended = true, Replicated = true, LowByteZero = true, LowByteFF = true, HighFF = true;
    std::int64_t ChannelSamples = 0; // samples of each colour channel: one a pixel, as far as the strips go

    void Count(std::uint32_t AChannel, std::uint16_t AValue) {
        if (AChannel < ReportedChannels)
            ChannelSeen[AValue] |= std::uint8_t(1u << AChannel);
        if (Seen[AValue])
            return;
        Seen[AValue] = true;
        UniqueValues.push_back(AValue);
        ZeroExtended = ZeroExtended && AValue <= 0xFF;
        Replicated = Replicated && (AValue % 257 == 0 || AValue % 257 == 1 || AValue % 257 == 256);
        LowByteZero = LowByteZero && (AValue & 0xFF) == 0;
        LowByteFF = LowByteFF && (AValue & 0xFF) == 0xFF;
        HighFF = HighFF && AValue >= 0xFF00;
    }
};

// Every sample of every strip, but alpha, in strip order (planar: plane by plane). A block of image
// data named by several strips counts once, for the first of them.
TModel ModelStatistics(const kvaderon::TAnalysisTiffInfo& AInfo, const std::uint8_t* AData, std::size_t ASize) {
    TModel model;
    const std::size_t strips = AInfo.StripOffsets.size();
    const std::uint16_t channels = AInfo.SamplesPerPixel;
    // Each colour channel's place among the colour channels; alpha may stand anywhere.
    std::vector<std::uint32_t> colourIndex(channels);
    std::uint32_t colourChannels = 0;
    for (std::uint32_t channel = 0; channel < channels; ++channel)
        if (!kvaderon::IsAlphaChannel(channel, channels, AInfo.ExtraSamples, AInfo.PhotometricInterpretation))
            colourIndex[channel] = colourChannels++;
    static_assert(kvaderon::MaxChannelsReported <= 8);
    if (colourChannels <= kvaderon::MaxChannelsReported) {
        model.ReportedChannels = colourChannels;
        model.ChannelSeen.assign(65536, 0);
    }
    std::uint64_t bytes = 0;
    for (const std::uint64_t count : AInfo.StripByteCounts)
        bytes += count;
    const std::uint64_t samples = bytes / 2;
    if (channels > 0) {
        const std::uint64_t pixels = AInfo.ImageWidth > 0 && AInfo.ImageHeight > 0
                                         ? std::uint64_t(AInfo.ImageWidth) * AInfo.ImageHeight
                                         : samples / channels;
        model.ChannelSamples = std::int64_t(std::min(pixels, samples / channels));
    }
    const bool planar = AInfo.PlanarConfiguration == 2;
    std::set<std::pair<std::uint64_t, std::uint64_t>> blocks;
    for (std::size_t i = 0; i < strips; ++i) {
        const std::uint64_t offset = AInfo.StripOffsets[i], count = AInfo.StripByteCounts[i];
        if (count == 0 || !blocks.insert({offset, count}).second)
            continue;
        if (offset + count > ASize)
            __builtin_trap(); // an accepted file with a strip outside it
        if (channels == 0 && count >= 2)
            __builtin_trap(); // samples counted without knowing their channels
        for (std::size_t j = 0; j < count / 2; ++j) {
            const auto channel = std::uint32_t(planar ? i / (strips / channels) : j % channels);
            if (kvaderon::IsAlphaChannel(channel, channels, AInfo.ExtraSamples, AInfo.PhotometricInterpretation))
                continue;
            const std::uint8_t* sample = AData + offset + 2 * j;
            model.Count(colourIndex[channel], AInfo.BigEndian ? std::uint16_t(sample[0] << 8 | sample[1])
                                                              : std::uint16_t(sample[1] << 8 | sample[0]));
        }
    }
    return model;
}

using kvaderon::TVerdict;

void Check(const TBitDepthResult& AResult, const TModel& AModel, bool APrecise) {
    const auto [first, last] = std::minmax_element(AModel.UniqueValues.begin(), AModel.UniqueValues.end());
    const std::uint16_t min = first == AModel.UniqueValues.end() ? 65535 : *first;
    const std::uint16_t max = last == AModel.UniqueValues.end() ? 0 : *last;
    std::vector<kvaderon::TChannelDepth> channels;
    for (std::uint32_t channel = 0; channel < AModel.ReportedChannels; ++channel)
        channels.push_back(
            kvaderon::DescribeChannel(AModel.ChannelSeen.data(), std::uint8_t(1u << channel), AModel.ChannelSamples));
    std::vector<std::uint8_t> allSeen(65536, 0);
    for (const std::uint16_t value : AModel.UniqueValues)
        allSeen[value] = 1;
    const kvaderon::TChannelDepth all = kvaderon::DescribeChannel(allSeen.data(), 1, AModel.ChannelSamples);
    const std::vector<kvaderon::TChannelDepth> depths = AModel.ChannelSeen.empty() ? std::vector{all} : channels;
    std::int32_t effectiveBits = 0;
    for (const auto& depth : depths)
        effectiveBits = std::max(effectiveBits, depth.SignificantBits);
    // The order of the verdicts is the analyzer's own; the patterns and channels are the model's.
    const kvaderon::TValuePatterns patterns{AModel.ZeroExtended, AModel.Replicated, AModel.LowByteZero,
                                            AModel.LowByteFF, AModel.HighFF};
    const TVerdict verdict = kvaderon::DecideVerdict(std::int32_t(AModel.UniqueValues.size()), patterns, depths);
    const bool eightBit = kvaderon::IsEightBit(verdict);
    const bool agrees =
        AResult.MinValue == min && AResult.MaxValue == max &&
        AResult.UniqueValueCount == std::int32_t(AModel.UniqueValues.size()) && AResult.Verdict == verdict &&
        AResult.EffectiveBits == effectiveBits && AResult.IsInconclusive == (verdict == TVerdict::vdInconclusive) &&
        AResult.IsActually8Bit == eightBit &&
        AResult.IsActually16Bit == (verdict == TVerdict::vd16Bit || verdict == TVerdict::vdHighFF) &&
        AResult.IsSignExtendedSuspicious == (verdict == TVerdict::vdHighFF) && AResult.Channels == channels &&
        AResult.AllChannels == all && AResult.HighBit == (APrecise ? std::bit_width(max) : 0) &&
        AResult.UniqueValues == (APrecise ? AModel.UniqueValues : std::vector<std::uint16_t>{});
    if (!agrees)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    kvaderon::test::TMemoryFileSystem files;
    files.Write("/scan.tif", std::vector<std::uint8_t>(AData, AData + ASize));
    const kvaderon::TTIFFBitDepthAnalyzer analyzer(files);
    std::optional<TModel> model; // the same for both modes
    for (const auto mode : {kvaderon::TAnalysisMode::amPrecise, kvaderon::TAnalysisMode::amDepthOnly}) {
        const TBitDepthResult result = analyzer.AnalyzeBitDepth("/scan.tif", mode);
        if (files.OpenFiles() != 0)
            __builtin_trap();
        if (!result.Error.empty()) {
            if (result.IsActually8Bit || result.IsActually16Bit || result.Verdict != kvaderon::TVerdict::vdNone)
                __builtin_trap();
            continue;
        }
        if (!model) {
            kvaderon::TAnalysisTiffInfo info;
            std::string reason;
            if (!kvaderon::ParseTIFFForAnalysis(AData, ASize, info, reason))
                __builtin_trap(); // analysed a file its own reader rejects
            model = ModelStatistics(info, AData, ASize);
        }
        Check(result, *model, mode == kvaderon::TAnalysisMode::amPrecise);
    }
    return 0;
}
