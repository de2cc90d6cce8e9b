#include "TIFFBitDepthAnalyzer.h"

#include "AlphaChannel.h"
#include "BitDepthVerdict.h"
#include "ByteOrder.h"
#include "ByteSource.h"
#include "CommonTypes.h"
#include "FileRange.h"
#include "PathText.h"
#include "StripSampleReader.h"
#include "StripTable.h"
#include "TextFormat.h"
#include "TiffAnalysisReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <stdexcept>
#include <utility>

namespace kvaderon {

namespace {

// Ends an analysis with its own complete message in Error.
class EAnalysisFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void ThrowDivisionByZero() {
    throw std::domain_error("Division by zero");
}

// A block of samples tested at once: a whole number of pixels of 1 to 4 channels, and of the
// 4-sample reads.
constexpr std::size_t BlockSamples = 12;

// Whether every sample of the block at AData has the bit of its channel in its value's entry of
// ASeen (ABits: per channel, 0 for a channel not counted). The entries of each channel are ANDed
// apart, the channel of each sample being known when compiling: one load and one AND a sample.
template <bool ABigEndian, std::size_t AChannels, std::size_t... AGroup>
bool BlockSeen(const std::uint8_t* AData, const std::uint8_t* ASeen, const std::array<unsigned, AChannels>& ABits,
               std::index_sequence<AGroup...>) {
    std::array<unsigned, AChannels> common;
    common.fill(0xFF);
    const auto group = [&](std::size_t AFirst) {
        std::uint16_t values[4];
        ReadU16x4(AData + 2 * AFirst, ABigEndian, values);
        for (std::size_t k = 0; k < 4; ++k)
            common[(AFirst + k) % AChannels] &= ASeen[values[k]];
    };
    (group(4 * AGroup), ...);
    unsigned missing = 0;
    for (std::size_t channel = 0; channel < AChannels; ++channel)
        missing |= ABits[channel] & ~common[channel];
    return missing == 0;
}

// The distinct sample values counted so far, per colour channel (one bit of a value's entry each,
// at most 8) and of all colour channels together (an entry other than 0), and the three patterns
// the values of all channels share. Each flag and extreme depends on the values alone, so it can
// only change when a value is seen the first time; the figures of each channel are read from the
// table once the scan is done. One byte per value keeps the table as small as a table of the
// values of all channels together.
class TSampleSet {
public:
    explicit TSampleSet(std::vector<std::uint16_t>* AUniqueValues) : FSeen(65536, 0), FUniqueValues(AUniqueValues) {}

    // Counts a run of samples that starts at the first channel of a pixel; ABits holds the bit of
    // each channel of a pixel, 0 for a channel not counted. Tests a block of samples at a time
    // without branching; a block with a value new to its channel is counted again sample by
    // sample, which keeps UniqueValues in order of first appearance.
    template <bool ABigEndian>
    void CountAll(const std::uint8_t* ASamples, std::size_t ACount, const std::vector<std::uint8_t>& ABits) {
        std::size_t done = 0;
        switch (ABits.size()) {
        case 1:
            done = CountBlocks<ABigEndian, 1>(ASamples, ACount, ABits);
            break;
        case 2:
            done = CountBlocks<ABigEndian, 2>(ASamples, ACount, ABits);
            break;
        case 3:
            done = CountBlocks<ABigEndian, 3>(ASamples, ACount, ABits);
            break;
        case 4:
            done = CountBlocks<ABigEndian, 4>(ASamples, ACount, ABits);
            break;
        default:
            break;
        }
        CountEach<ABigEndian>(ASamples + 2 * done, ACount - done, ABits);
    }

    const TValuePatterns& Patterns() const { return FPatterns; }
    std::int32_t Count() const { return FCount; }

    // 65535 when nothing was counted.
    std::uint16_t MinValue() const { return FMinValue; }
    // 0 when nothing was counted.
    std::uint16_t MaxValue() const { return FMaxValue; }

    // Each of AChannels channels of ASamples samples.
    std::vector<TChannelDepth> ChannelDepths(std::uint32_t AChannels, std::int64_t ASamples) const {
        std::vector<TChannelDepth> depths;
        for (std::uint32_t channel = 0; channel < AChannels; ++channel)
            depths.push_back(DescribeChannel(FSeen.data(), std::uint8_t(1u << channel), ASamples));
        return depths;
    }

    // The values of all channels together, as one channel of ASamples samples.
    TChannelDepth AllChannelsDepth(std::int64_t ASamples) const {
        return DescribeChannel(FSeen.data(), 0xFF, ASamples);
    }

private:
    // The number of samples counted: the whole blocks.
    template <bool ABigEndian, std::size_t AChannels>
    std::size_t CountBlocks(const std::uint8_t* ASamples, std::size_t ACount, const std::vector<std::uint8_t>& ABits) {
        std::array<unsigned, AChannels> bits;
        for (std::size_t channel = 0; channel < AChannels; ++channel)
            bits[channel] = ABits[channel];
        const std::uint8_t* seen = FSeen.data();
        std::size_t i = 0;
        for (; i + BlockSamples <= ACount; i += BlockSamples)
            if (!BlockSeen<ABigEndian>(ASamples + 2 * i, seen, bits, std::make_index_sequence<BlockSamples / 4>()))
                [[unlikely]]
                CountEach<ABigEndian>(ASamples + 2 * i, BlockSamples, ABits);
        return i;
    }

    template <bool ABigEndian>
    void CountEach(const std::uint8_t* ASamples, std::size_t ACount, const std::vector<std::uint8_t>& ABits) {
        std::size_t channel = 0;
        for (std::size_t i = 0; i < ACount; ++i) {
            const std::uint16_t value = ReadU16(ASamples + 2 * i, ABigEndian);
            const std::uint8_t bit = ABits[channel];
            channel = channel + 1 == ABits.size() ? 0 : channel + 1;
            std::uint8_t& seen = FSeen[value];
            if (bit & ~seen) {
                if (!seen)
                    AddNew(value);
                seen = std::uint8_t(seen | bit);
            }
        }
    }

    void AddNew(std::uint16_t AValue) {
        ++FCount;
        FMinValue = std::min(FMinValue, AValue);
        FMaxValue = std::max(FMaxValue, AValue);
        if (FUniqueValues)
            FUniqueValues->push_back(AValue);
        FPatterns.Add(AValue);
    }

    std::vector<std::uint8_t> FSeen; // per possible value, the bits of the channels it was seen in
    std::vector<std::uint16_t>* FUniqueValues;
    std::int32_t FCount = 0;
    std::uint16_t FMinValue = 65535;
    std::uint16_t FMaxValue = 0;
    TValuePatterns FPatterns;
};

struct TScan {
    const TAnalysisTiffInfo& Info;
    const TAnalysisProgress& UpdateProgress;
    TSampleSet& Samples;
    bool ChannelsApart;              // each colour channel has a bit of its own, else all share bit 0
    std::vector<bool> Counted;       // per strip: the first strip of a block of image data, not alpha
    std::vector<std::uint8_t> Pixel; // the bit of each channel of an interleaved pixel
    TStripSampleReader Reader;

    TScan(const TByteSource& AFile, const TAnalysisTiffInfo& AInfo, const TAnalysisProgress& AUpdateProgress,
          TSampleSet& ASamples, bool AChannelsApart)
        : Info(AInfo), UpdateProgress(AUpdateProgress), Samples(ASamples), ChannelsApart(AChannelsApart),
          Counted(CountedStrips()), Pixel(PixelBits()),
          Reader(AFile, AInfo.StripOffsets, AInfo.StripByteCounts, Counted,
                 2 * std::max<std::size_t>(AInfo.SamplesPerPixel, 1)) {}

    // A planar file's alpha plane is not counted, nor the strips after the last whole plane.
    std::vector<bool> CountedStrips() const {
        std::vector<bool> counted = FirstStripOfEachBlock(Info.StripOffsets, Info.StripByteCounts);
        if (Info.PlanarConfiguration != 2)
            return counted;
        const std::size_t stripsPerPlane = StripCount() / Info.SamplesPerPixel;
        for (std::size_t strip = 0; strip < counted.size(); ++strip)
            if (strip >= stripsPerPlane * Info.SamplesPerPixel || IsAlpha(std::uint32_t(strip / stripsPerPlane)))
                counted[strip] = false;
        return counted;
    }

    std::uint8_t BitOf(std::uint32_t AChannel) const { return Pixel[AChannel]; }

    // Alpha is never counted; the colour channels take the bits in their order.
    std::vector<std::uint8_t> PixelBits() const {
        std::vector<std::uint8_t> bits;
        std::uint32_t colour = 0;
        for (std::uint32_t channel = 0; channel < Info.SamplesPerPixel; ++channel) {
            if (IsAlpha(channel))
                bits.push_back(0);
            else
                bits.push_back(ChannelsApart ? std::uint8_t(1u << colour++) : 1);
        }
        return bits;
    }

    std::size_t StripCount() const { return Info.StripOffsets.size(); }

    bool IsAlpha(std::uint32_t AChannel) const {
        return IsAlphaChannel(AChannel, Info.SamplesPerPixel, Info.ExtraSamples, Info.PhotometricInterpretation);
    }

    void Report(std::int64_t APercent) const { UpdateProgress(int(std::min<std::int64_t>(APercent, 100))); }
};

template <bool ABigEndian> void ScanInterleaved(TScan& AScan, std::size_t AStep) {
    const std::size_t stripCount = AScan.StripCount();
    std::size_t processed = 0;
    for (std::size_t strip = 0; strip < stripCount; ++strip) {
        if (!AScan.Counted[strip])
            continue;
        AScan.Reader.ReadStrip(strip, [&](const std::uint8_t* AData, std::size_t ASamples) {
            AScan.Samples.CountAll<ABigEndian>(AData, ASamples, AScan.Pixel);
        });
        ++processed;
        if (AScan.UpdateProgress && processed % AStep == 0)
            AScan.Report(std::int64_t(strip) * 100 / std::int64_t(stripCount));
    }
}

// Every sample of every colour plane is counted.
template <bool ABigEndian> void ScanPlanar(TScan& AScan, std::size_t AStep) {
    const std::uint16_t samplesPerPixel = AScan.Info.SamplesPerPixel;
    const std::size_t stripsPerPlane = AScan.StripCount() / samplesPerPixel;
    // Progress counts S - 1 planes; a file of one plane counts that plane.
    const std::int64_t progressStrips = std::int64_t(std::max(samplesPerPixel - 1, 1)) * std::int64_t(stripsPerPlane);
    std::size_t processed = 0;
    for (std::uint32_t plane = 0; plane < samplesPerPixel; ++plane) {
        if (AScan.IsAlpha(plane))
            continue;
        const std::vector<std::uint8_t> layout{AScan.BitOf(plane)};
        for (std::size_t j = 0; j < stripsPerPlane; ++j) {
            const std::size_t strip = plane * stripsPerPlane + j;
            if (!AScan.Counted[strip])
                continue;
            AScan.Reader.ReadStrip(strip, [&](const std::uint8_t* AData, std::size_t ASamples) {
                AScan.Samples.CountAll<ABigEndian>(AData, ASamples, layout);
            });
            ++processed;
            if (AScan.UpdateProgress && processed % AStep == 0)
                AScan.Report(std::int64_t(processed) * 100 / progressStrips);
        }
    }
}

// The channels the verdict counts: all but the alpha channels.
std::uint32_t ColourChannelCount(const TAnalysisTiffInfo& AInfo) {
    return std::uint32_t(
        ColourChannels(AInfo.SamplesPerPixel, AInfo.ExtraSamples, AInfo.PhotometricInterpretation).size());
}

void CopyStructure(const TAnalysisTiffInfo& AInfo, TBitDepthResult& AResult) {
    AResult.ImageWidth = AInfo.ImageWidth;
    AResult.ImageHeight = AInfo.ImageHeight;
    AResult.BitsPerSample = AInfo.BitsPerSample;
    AResult.Compression = AInfo.Compression;
    AResult.SamplesPerPixel = AInfo.SamplesPerPixel;
    AResult.BigEndian = AInfo.BigEndian;
    AResult.PhotometricInterpretation = AInfo.PhotometricInterpretation;
    AResult.ExtraSamples = AInfo.ExtraSamples;
    AResult.PlanarConfiguration = AInfo.PlanarConfiguration;
    AResult.StripCount = std::int32_t(AInfo.StripOffsets.size());
}

void CountTotals(const TAnalysisTiffInfo& AInfo, TBitDepthResult& AResult) {
    std::uint64_t bytes = 0;
    for (std::uint32_t byteCount : AInfo.StripByteCounts)
        bytes += byteCount;
    AResult.TotalSamples = std::int64_t(bytes / 2);
    if (AInfo.ImageWidth > 0 && AInfo.ImageHeight > 0) {
        AResult.TotalPixels = std::int64_t(AInfo.ImageWidth) * AInfo.ImageHeight;
        return;
    }
    if (AInfo.SamplesPerPixel == 0)
        ThrowDivisionByZero();
    AResult.TotalPixels = AResult.TotalSamples / AInfo.SamplesPerPixel;
}

// The failures the scan would meet, found before it starts.
void CheckScannable(const TAnalysisTiffInfo& AInfo, std::uint64_t AFileSize) {
    if (AInfo.PlanarConfiguration != 1 && AInfo.PlanarConfiguration != 2)
        throw EAnalysisFailure(FormatText("Неподдерживаемая PlanarConfiguration: %d", {AInfo.PlanarConfiguration}));
    try {
        CheckSampleLayout(AInfo.SamplesPerPixel, AInfo.PlanarConfiguration, AInfo.StripOffsets, AInfo.StripByteCounts,
                          AFileSize);
    } catch (const EZeroSamplesPerPixel&) {
        ThrowDivisionByZero();
    } catch (const ETIFFError& error) {
        throw EAnalysisFailure(error.what());
    }
}

void Reject(const std::string& AReason, TBitDepthResult& AResult) {
    AResult = {};
    AResult.RejectionReason = AReason;
    AResult.Error = "Файл отклонен: " + AReason;
}

// Fills AResult step by step; failures after the parse are raised.
// The flags follow the verdict; every value 0xFFXX keeps IsActually16Bit beside its suspicion.
void SetVerdict(TVerdict AVerdict, TBitDepthResult& AResult) {
    AResult.Verdict = AVerdict;
    AResult.IsInconclusive = AVerdict == TVerdict::vdInconclusive;
    AResult.IsActually8Bit = IsEightBit(AVerdict);
    AResult.IsSignExtendedSuspicious = AVerdict == TVerdict::vdHighFF;
    AResult.IsActually16Bit = AVerdict == TVerdict::vd16Bit || AVerdict == TVerdict::vdHighFF;
}

void Analyze(const TByteSource& AFile, TAnalysisMode AMode, const TAnalysisProgress& AUpdateProgress,
             TBitDepthResult& AResult) {
    TAnalysisTiffInfo info;
    std::string reason;
    if (!ParseTIFFForAnalysis(AFile, info, reason))
        return Reject(reason, AResult);
    CopyStructure(info, AResult);
    AResult.Images = info.Layout.Images;
    AResult.HasThumbnail = std::any_of(AResult.Images.begin(), AResult.Images.end(), [](const TTiffImage& AImage) {
        return AImage.Role == TImageRole::irReduced && AImage.Where != "IFD 0";
    });
    CountTotals(info, AResult);
    CheckScannable(info, AFile.Size());
    try {
        CheckStripTable(info.StripOffsets, info.StripByteCounts, AFile.Size(),
                        RangesBesideStrips(info.Layout, info.StripOffsets, info.StripByteCounts));
    } catch (const ETIFFError& damage) {
        return Reject(damage.what(), AResult);
    }

    const bool precise = AMode == TAnalysisMode::amPrecise;
    const std::uint32_t colourChannels = ColourChannelCount(info);
    const bool channelsApart = colourChannels <= MaxChannelsReported;
    TSampleSet samples(precise ? &AResult.UniqueValues : nullptr);
    TScan scan(AFile, info, AUpdateProgress, samples, channelsApart);
    const std::size_t step = std::max<std::size_t>(info.StripOffsets.size() / 100, 1);
    const bool big = info.BigEndian;
    if (info.PlanarConfiguration == 1)
        big ? ScanInterleaved<true>(scan, step) : ScanInterleaved<false>(scan, step);
    else
        big ? ScanPlanar<true>(scan, step) : ScanPlanar<false>(scan, step);

    AResult.MinValue = samples.MinValue();
    AResult.MaxValue = samples.MaxValue();
    AResult.HighBit = precise ? std::bit_width(AResult.MaxValue) : 0;
    AResult.UniqueValueCount = samples.Count();
    // One sample a pixel in each colour channel, as far as the strips hold them; a file without
    // samples may name no channel.
    const std::int64_t channelSamples =
        info.SamplesPerPixel == 0 ? 0 : std::min(AResult.TotalPixels, AResult.TotalSamples / info.SamplesPerPixel);
    if (channelsApart)
        AResult.Channels = samples.ChannelDepths(colourChannels, channelSamples);
    AResult.AllChannels = samples.AllChannelsDepth(channelSamples);
    const std::vector<TChannelDepth> depths = channelsApart ? AResult.Channels : std::vector{AResult.AllChannels};
    AResult.EffectiveBits = EffectiveBits(depths);
    SetVerdict(DecideVerdict(AResult.UniqueValueCount, samples.Patterns(), depths), AResult);
}

// Every failure ends in the result.
TBitDepthResult AnalyzeSource(const TByteSource& AFile, TAnalysisMode AMode, const TAnalysisProgress& AUpdateProgress) {
    TBitDepthResult result;
    std::string failure;
    try {
        Analyze(AFile, AMode, AUpdateProgress, result);
        return result;
    } catch (const EAnalysisFailure& error) {
        result.Error = error.what();
        return result;
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "неизвестная ошибка";
    }
    result.Error = "Ошибка при анализе: " + failure;
    result.UniqueValues = {};
    return result;
}

} // namespace

TBitDepthResult TTIFFBitDepthAnalyzer::AnalyzeBitDepth(const std::filesystem::path& AFileName,
                                                       TAnalysisMode AAnalysisMode) const {
    return AnalyzeBitDepthWithProgress(AFileName, AAnalysisMode, {});
}

TTIFFBitDepthAnalyzer::TTIFFBitDepthAnalyzer(platform::TFileSystem& AFileSystem) : FFileSystem(AFileSystem) {}

TBitDepthResult TTIFFBitDepthAnalyzer::AnalyzeBitDepthWithProgress(const std::filesystem::path& AFileName,
                                                                   TAnalysisMode AAnalysisMode,
                                                                   const TAnalysisProgress& AUpdateProgress) const {
    std::unique_ptr<platform::TFile> file;
    std::uint64_t size = 0;
    try {
        file = FFileSystem.OpenRead(AFileName);
        size = file->Info().Size;
    } catch (const platform::ENotRegularFile& error) {
        TBitDepthResult result;
        result.Error = error.what();
        return result;
    } catch (const std::exception&) {
        TBitDepthResult result;
        result.Error = "Не удалось открыть файл: " + PathToUtf8(AFileName);
        return result;
    }
    return AnalyzeSource(TFileBytes(*file, size, AFileName), AAnalysisMode, AUpdateProgress);
}

TBitDepthResult TTIFFBitDepthAnalyzer::AnalyzeBytes(const std::uint8_t* AView, std::uint64_t AFileSize,
                                                    TAnalysisMode AAnalysisMode,
                                                    const TAnalysisProgress& AUpdateProgress) const {
    return AnalyzeSource(TMemoryBytes(AView, AFileSize), AAnalysisMode, AUpdateProgress);
}

} // namespace kvaderon
