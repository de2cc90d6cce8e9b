#include "TIFFBitDepthAnalyzer.h"

#include "ByteOrder.h"
#include "ByteSource.h"
#include "CommonTypes.h"
#include "FileRange.h"
#include "PathText.h"
#include "TextFormat.h"
#include "TiffAnalysisReader.h"
#include "StripTable.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

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

// Where the samples of a run of pixels are counted: the table of each sample's channel, by its
// position in a block of whole pixels (a multiple of 4 samples, for the four-at-a-time reads).
struct TChannelLayout {
    std::vector<std::uint32_t> Bases; // table number * 65536

    // ATables: the table of each channel of a pixel, in channel order.
    explicit TChannelLayout(const std::vector<std::uint32_t>& ATables) {
        const std::size_t period = std::max<std::size_t>(ATables.size(), 1);
        const std::size_t pixels = 4 * ((8 + period - 1) / period);
        Bases.resize(pixels * period);
        for (std::size_t i = 0; i < Bases.size(); ++i)
            Bases[i] = ATables.empty() ? 0 : ATables[i % period] * 65536u;
    }
};

// The distinct sample values counted so far, per colour channel and of all colour channels
// together, and the three patterns the values of all channels share. Each flag depends on the
// values alone, so it can only change when a value is seen the first time; extremes and the
// figures of each channel are read from the tables once the scan is done.
class TSampleSet {
public:
    // AChannelTables colour channels keep a table each; the table after them is full, for the
    // samples that are not counted (alpha).
    TSampleSet(std::uint32_t AChannelTables, std::vector<std::uint16_t>* AUniqueValues)
        : FChannelTables(AChannelTables), FSeen((std::size_t(AChannelTables) + 1) * 65536, 0), FAny(65536, 0),
          FUniqueValues(AUniqueValues) {
        std::fill(FSeen.begin() + std::ptrdiff_t(SkipTable()) * 65536, FSeen.end(), 1);
    }

    std::uint32_t SkipTable() const { return FChannelTables; }

    // Counts a run of samples that starts at the first channel of a pixel. Tests a block of samples
    // at a time without branching; a block with a new value is counted again sample by sample,
    // which keeps UniqueValues in order of first appearance.
    template <bool ABigEndian>
    void CountAll(const std::uint8_t* ASamples, std::size_t ACount, const TChannelLayout& ALayout) {
        const std::uint32_t* bases = ALayout.Bases.data();
        const std::size_t blockSamples = ALayout.Bases.size();
        const std::uint8_t* seen = FSeen.data();
        std::size_t i = 0;
        for (; i + blockSamples <= ACount; i += blockSamples) {
            unsigned allSeen = 1;
            for (std::size_t k = 0; k < blockSamples; k += 4) {
                std::uint16_t values[4];
                ReadU16x4(ASamples + 2 * (i + k), ABigEndian, values);
                allSeen &= seen[bases[k] + values[0]] & seen[bases[k + 1] + values[1]] &
                           seen[bases[k + 2] + values[2]] & seen[bases[k + 3] + values[3]];
            }
            if (!allSeen) [[unlikely]]
                CountEach<ABigEndian>(ASamples + 2 * i, blockSamples, bases);
        }
        CountEach<ABigEndian>(ASamples + 2 * i, ACount - i, bases);
    }

    bool AllZeroExtended() const { return FAllZeroExtended; }
    bool AllReplicated() const { return FAllReplicated; }
    bool AllHighFF() const { return FAllHighFF; }
    std::int32_t Count() const { return FCount; }

    // 65535 when nothing was counted.
    std::uint16_t MinValue() const {
        const auto first = std::find(FAny.begin(), FAny.end(), 1);
        return first == FAny.end() ? 65535 : std::uint16_t(first - FAny.begin());
    }
    // 0 when nothing was counted.
    std::uint16_t MaxValue() const {
        const auto last = std::find(FAny.rbegin(), FAny.rend(), 1);
        return last == FAny.rend() ? 0 : std::uint16_t(FAny.rend() - last - 1);
    }

    std::vector<TChannelDepth> ChannelDepths() const {
        std::vector<TChannelDepth> depths;
        for (std::uint32_t table = 0; table < FChannelTables; ++table)
            depths.push_back(DescribeChannel(FSeen.data() + std::size_t(table) * 65536));
        return depths;
    }

private:
    template <bool ABigEndian>
    void CountEach(const std::uint8_t* ASamples, std::size_t ACount, const std::uint32_t* ABases) {
        for (std::size_t i = 0; i < ACount; ++i) {
            const std::uint16_t value = ReadU16(ASamples + 2 * i, ABigEndian);
            std::uint8_t& seen = FSeen[ABases[i] + value];
            if (!seen) {
                seen = 1;
                if (!FAny[value])
                    AddNew(value);
            }
        }
    }

    void AddNew(std::uint16_t AValue) {
        FAny[AValue] = 1;
        ++FCount;
        if (FUniqueValues)
            FUniqueValues->push_back(AValue);
        if (AValue > 0xFF)
            FAllZeroExtended = false;
        const unsigned remainder = AValue % 257;
        if (remainder != 0 && remainder != 1 && remainder != 256)
            FAllReplicated = false;
        if (AValue < 0xFF00)
            FAllHighFF = false;
    }

    std::uint32_t FChannelTables;
    std::vector<std::uint8_t> FSeen; // one flag per possible value, table after table
    std::vector<std::uint8_t> FAny;  // one flag per possible value of any colour channel
    std::vector<std::uint16_t>* FUniqueValues;
    std::int32_t FCount = 0;
    bool FAllZeroExtended = true;
    bool FAllReplicated = true;
    bool FAllHighFF = true;
};

// Strips are read in chunks of whole pixels, so that every chunk starts at channel 0.
constexpr std::size_t chunkBytes = 256 * 1024;

struct TScan {
    const TByteSource& File;
    const TAnalysisTIFFInfo& Info;
    const TAnalysisProgress& UpdateProgress;
    TSampleSet& Samples;
    std::vector<bool> Handled; // the first strip of each block of image data
    std::uint32_t ChannelTables;
    TChannelLayout Pixel; // the channels of an interleaved pixel
    std::vector<std::uint8_t> Buffer;

    TScan(const TByteSource& AFile, const TAnalysisTIFFInfo& AInfo, const TAnalysisProgress& AUpdateProgress,
          TSampleSet& ASamples, std::uint32_t AChannelTables)
        : File(AFile), Info(AInfo), UpdateProgress(AUpdateProgress), Samples(ASamples),
          Handled(FirstStripOfEachBlock(AInfo.StripOffsets, AInfo.StripByteCounts)), ChannelTables(AChannelTables),
          Pixel(PixelTables()) {}

    // Alpha goes to the table of samples not counted; colour channels share table 0 when they
    // have no tables of their own.
    std::uint32_t TableOf(std::uint32_t AChannel) const {
        if (IsAlpha(AChannel))
            return Samples.SkipTable();
        return ChannelTables == 1 ? 0 : AChannel;
    }

    std::vector<std::uint32_t> PixelTables() const {
        std::vector<std::uint32_t> tables;
        for (std::uint32_t channel = 0; channel < Info.SamplesPerPixel; ++channel)
            tables.push_back(TableOf(channel));
        return tables;
    }

    std::size_t StripCount() const { return Info.StripOffsets.size(); }

    bool IsAlpha(std::uint32_t AChannel) const {
        return IsAlphaChannel(AChannel, Info.SamplesPerPixel, Info.ExtraSamples,
                              Info.PhotometricInterpretation);
    }

    void Report(std::int64_t APercent) const {
        UpdateProgress(int(std::min<std::int64_t>(APercent, 100)));
    }

    // Hands the strip's whole samples to ACount in chunks of whole pixels.
    template <typename TCount> void ReadStrip(std::size_t AStrip, TCount ACount) {
        const std::uint64_t offset = Info.StripOffsets[AStrip];
        const std::uint64_t sampleBytes = Info.StripByteCounts[AStrip] & ~std::uint32_t(1);
        const std::size_t pixelBytes = 2 * std::max<std::size_t>(Info.SamplesPerPixel, 1);
        const std::size_t chunk = std::max(pixelBytes, chunkBytes / pixelBytes * pixelBytes);
        Buffer.resize(std::max(Buffer.size(), chunk));
        for (std::uint64_t done = 0; done < sampleBytes;) {
            const auto length = std::size_t(std::min<std::uint64_t>(chunk, sampleBytes - done));
            File.Read(offset + done, Buffer.data(), length);
            ACount(Buffer.data(), length / 2);
            done += length;
        }
    }
};

template <bool ABigEndian> void ScanInterleaved(TScan& AScan, std::size_t AStep) {
    const std::size_t stripCount = AScan.StripCount();
    std::size_t processed = 0;
    for (std::size_t strip = 0; strip < stripCount; ++strip) {
        if (!AScan.Handled[strip])
            continue;
        AScan.ReadStrip(strip, [&](const std::uint8_t* AData, std::size_t ASamples) {
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
    const std::int64_t progressStrips =
        std::int64_t(std::max(samplesPerPixel - 1, 1)) * std::int64_t(stripsPerPlane);
    std::size_t processed = 0;
    for (std::uint32_t plane = 0; plane < samplesPerPixel; ++plane) {
        if (AScan.IsAlpha(plane))
            continue;
        const TChannelLayout layout({AScan.TableOf(plane)});
        for (std::size_t j = 0; j < stripsPerPlane; ++j) {
            const std::size_t strip = plane * stripsPerPlane + j;
            if (!AScan.Handled[strip])
                continue;
            AScan.ReadStrip(strip, [&](const std::uint8_t* AData, std::size_t ASamples) {
                AScan.Samples.CountAll<ABigEndian>(AData, ASamples, layout);
            });
            ++processed;
            if (AScan.UpdateProgress && processed % AStep == 0)
                AScan.Report(std::int64_t(processed) * 100 / progressStrips);
        }
    }
}

// The channels the verdict counts: all but an alpha channel, which can only be the last.
std::uint32_t ColourChannelCount(const TAnalysisTIFFInfo& AInfo) {
    const std::uint32_t channels = AInfo.SamplesPerPixel;
    const bool lastIsAlpha =
        channels > 0 && IsAlphaChannel(channels - 1, AInfo.SamplesPerPixel, AInfo.ExtraSamples,
                                       AInfo.PhotometricInterpretation);
    return lastIsAlpha ? channels - 1 : channels;
}

void CopyStructure(const TAnalysisTIFFInfo& AInfo, TBitDepthResult& AResult) {
    AResult.ImageWidth = AInfo.ImageWidth;
    AResult.ImageHeight = AInfo.ImageHeight;
    AResult.BitsPerSample = AInfo.BitsPerSample;
    AResult.Compression = AInfo.Compression;
    AResult.SamplesPerPixel = AInfo.SamplesPerPixel;
    AResult.IsBigEndian = AInfo.IsBigEndian;
    AResult.PhotometricInterpretation = AInfo.PhotometricInterpretation;
    AResult.ExtraSamples = AInfo.ExtraSamples;
    AResult.PlanarConfiguration = AInfo.PlanarConfiguration;
    AResult.StripCount = std::int32_t(AInfo.StripOffsets.size());
}

void CountTotals(const TAnalysisTIFFInfo& AInfo, TBitDepthResult& AResult) {
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
void CheckScannable(const TAnalysisTIFFInfo& AInfo, std::uint64_t AFileSize) {
    const std::uint16_t samplesPerPixel = AInfo.SamplesPerPixel;
    if (AInfo.PlanarConfiguration == 2) {
        if (samplesPerPixel == 0)
            ThrowDivisionByZero();
        if (AInfo.StripOffsets.size() % samplesPerPixel != 0)
            throw EAnalysisFailure("Некорректная структура planar TIFF: StripCount не кратен SamplesPerPixel");
    } else if (AInfo.PlanarConfiguration == 1) {
        // The channel step divides by SamplesPerPixel after the first counted sample.
        for (std::size_t i = 0; i < AInfo.StripOffsets.size() && samplesPerPixel == 0; ++i)
            if (AInfo.StripByteCounts[i] >= 2 && IsRangeInside(AInfo.StripOffsets[i], AInfo.StripByteCounts[i], AFileSize))
                ThrowDivisionByZero();
    } else {
        throw EAnalysisFailure(
            FormatText("Неподдерживаемая PlanarConfiguration: %d", {AInfo.PlanarConfiguration}));
    }
}

void Reject(const std::string& AReason, TBitDepthResult& AResult) {
    AResult = {};
    AResult.RejectionReason = AReason;
    AResult.Error = "Файл отклонен: " + AReason;
}

// Fills AResult step by step; failures after the parse are raised.
void Analyze(const TByteSource& AFile, TAnalysisMode AMode, const TAnalysisProgress& AUpdateProgress,
             TBitDepthResult& AResult) {
    TAnalysisTIFFInfo info;
    std::string reason;
    if (!ParseTIFFForAnalysis(AFile, info, reason))
        return Reject(reason, AResult);
    CopyStructure(info, AResult);
    AResult.Images = ReadImageMap(AFile, info.IsBigEndian, info.IFDOffset);
    AResult.HasThumbnail = std::any_of(AResult.Images.begin(), AResult.Images.end(), [](const TTiffImage& AImage) {
        return AImage.Role == TImageRole::irReduced && AImage.Where != "IFD 0";
    });
    CountTotals(info, AResult);
    CheckScannable(info, AFile.Size());
    const std::string damage = FindStripTableDamage(info.StripOffsets, info.StripByteCounts, AFile.Size(),
                                                    info.IFDOffset, info.IFDEntryCount);
    if (!damage.empty())
        return Reject(damage, AResult);

    const bool precise = AMode == TAnalysisMode::amPrecise;
    const std::uint32_t colourChannels = ColourChannelCount(info);
    const std::uint32_t channelTables = colourChannels <= MaxChannelsReported ? std::max(colourChannels, 1u) : 1;
    TSampleSet samples(channelTables, precise ? &AResult.UniqueValues : nullptr);
    TScan scan(AFile, info, AUpdateProgress, samples, channelTables);
    const std::size_t step = std::max<std::size_t>(info.StripOffsets.size() / 100, 1);
    const bool big = info.IsBigEndian;
    if (info.PlanarConfiguration == 1)
        big ? ScanInterleaved<true>(scan, step) : ScanInterleaved<false>(scan, step);
    else
        big ? ScanPlanar<true>(scan, step) : ScanPlanar<false>(scan, step);

    AResult.MinValue = samples.MinValue();
    AResult.MaxValue = samples.MaxValue();
    AResult.HighBit = precise ? std::bit_width(AResult.MaxValue) : 0;
    AResult.UniqueValueCount = samples.Count();
    if (colourChannels <= MaxChannelsReported)
        AResult.Channels = samples.ChannelDepths();
    AResult.IsInconclusive = AResult.UniqueValueCount < MinValuesForVerdict;
    if (AResult.IsInconclusive)
        return;
    AResult.IsActually8Bit = samples.AllZeroExtended() || samples.AllReplicated();
    AResult.IsSignExtendedSuspicious = samples.AllHighFF() && !AResult.IsActually8Bit;
    AResult.IsActually16Bit = !AResult.IsActually8Bit;
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

TBitDepthResult
TTIFFBitDepthAnalyzer::AnalyzeBitDepthWithProgress(const std::filesystem::path& AFileName,
                                                   TAnalysisMode AAnalysisMode,
                                                   const TAnalysisProgress& AUpdateProgress) const {
    std::unique_ptr<platform::TFile> file;
    std::uint64_t size = 0;
    try {
        file = FFileSystem.OpenRead(AFileName);
        size = file->Info().Size;
    } catch (const std::exception&) {
        TBitDepthResult result;
        result.Error = "Не удалось открыть файл: " + PathToUtf8(AFileName);
        return result;
    }
    return AnalyzeSource(TFileBytes(*file, size, AFileName), AAnalysisMode, AUpdateProgress);
}

TBitDepthResult
TTIFFBitDepthAnalyzer::AnalyzeBytes(const std::uint8_t* AView, std::uint64_t AFileSize,
                                    TAnalysisMode AAnalysisMode,
                                    const TAnalysisProgress& AUpdateProgress) const {
    return AnalyzeSource(TMemoryBytes(AView, AFileSize), AAnalysisMode, AUpdateProgress);
}

} // namespace kvaderon
