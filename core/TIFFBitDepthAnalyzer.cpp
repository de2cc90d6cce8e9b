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

// The distinct sample values counted so far and the three patterns they all share.
// Each flag depends on the set alone, so it can only change when a value is seen the first time;
// the extremes are read from the set once the scan is done.
class TSampleSet {
public:
    explicit TSampleSet(std::vector<std::uint16_t>* AUniqueValues)
        : FSeen(65536, 0), FUniqueValues(AUniqueValues) {}

    // Tests a block of samples at a time without branching; a block with a new value is counted
    // again sample by sample, which keeps UniqueValues in order of first appearance.
    template <bool ABigEndian> void CountAll(const std::uint8_t* ASamples, std::size_t ACount) {
        constexpr std::size_t blockSamples = 32;
        const std::uint8_t* seen = FSeen.data();
        std::size_t i = 0;
        for (; i + blockSamples <= ACount; i += blockSamples) {
            unsigned allSeen = 1;
            for (std::size_t k = 0; k < blockSamples; k += 4) {
                std::uint16_t values[4];
                ReadU16x4(ASamples + 2 * (i + k), ABigEndian, values);
                allSeen &= seen[values[0]] & seen[values[1]] & seen[values[2]] & seen[values[3]];
            }
            if (!allSeen) [[unlikely]]
                CountEach<ABigEndian>(ASamples + 2 * i, blockSamples);
        }
        CountEach<ABigEndian>(ASamples + 2 * i, ACount - i);
    }

    bool AllZeroExtended() const { return FAllZeroExtended; }
    bool AllReplicated() const { return FAllReplicated; }
    bool AllHighFF() const { return FAllHighFF; }
    std::int32_t Count() const { return FCount; }

    // 65535 when nothing was counted.
    std::uint16_t MinValue() const {
        const auto first = std::find(FSeen.begin(), FSeen.end(), 1);
        return first == FSeen.end() ? 65535 : std::uint16_t(first - FSeen.begin());
    }
    // 0 when nothing was counted.
    std::uint16_t MaxValue() const {
        const auto last = std::find(FSeen.rbegin(), FSeen.rend(), 1);
        return last == FSeen.rend() ? 0 : std::uint16_t(FSeen.rend() - last - 1);
    }

private:
    template <bool ABigEndian> void CountEach(const std::uint8_t* ASamples, std::size_t ACount) {
        for (std::size_t i = 0; i < ACount; ++i) {
            const std::uint16_t value = ReadU16(ASamples + 2 * i, ABigEndian);
            if (!FSeen[value])
                AddNew(value);
        }
    }

    void AddNew(std::uint16_t AValue) {
        FSeen[AValue] = 1;
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

    std::vector<std::uint8_t> FSeen; // one flag per possible value
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
    std::vector<std::uint8_t> Buffer;

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

// Every chunk's channels start again at 0; only the last channel can be alpha.
template <bool ABigEndian>
void CountInterleavedChunk(const TScan& AScan, const std::uint8_t* AData, std::size_t ASamples) {
    const std::uint16_t samplesPerPixel = AScan.Info.SamplesPerPixel;
    if (!AScan.IsAlpha(samplesPerPixel - 1u)) {
        AScan.Samples.CountAll<ABigEndian>(AData, ASamples);
        return;
    }
    const std::size_t pixelBytes = 2 * std::size_t(samplesPerPixel);
    const std::size_t pixels = ASamples / samplesPerPixel;
    for (std::size_t pixel = 0; pixel < pixels; ++pixel)
        AScan.Samples.CountAll<ABigEndian>(AData + pixel * pixelBytes, samplesPerPixel - 1u);
    AScan.Samples.CountAll<ABigEndian>(AData + pixels * pixelBytes, ASamples % samplesPerPixel);
}

template <bool ABigEndian> void ScanInterleaved(TScan& AScan, std::size_t AStep) {
    const std::size_t stripCount = AScan.StripCount();
    std::size_t processed = 0;
    for (std::size_t strip = 0; strip < stripCount; ++strip) {
        if (!AScan.Handled[strip])
            continue;
        AScan.ReadStrip(strip, [&](const std::uint8_t* AData, std::size_t ASamples) {
            CountInterleavedChunk<ABigEndian>(AScan, AData, ASamples);
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
        for (std::size_t j = 0; j < stripsPerPlane; ++j) {
            const std::size_t strip = plane * stripsPerPlane + j;
            if (!AScan.Handled[strip])
                continue;
            AScan.ReadStrip(strip, [&](const std::uint8_t* AData, std::size_t ASamples) {
                AScan.Samples.CountAll<ABigEndian>(AData, ASamples);
            });
            ++processed;
            if (AScan.UpdateProgress && processed % AStep == 0)
                AScan.Report(std::int64_t(processed) * 100 / progressStrips);
        }
    }
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
    AResult.HasThumbnail = AInfo.HasThumbnail;
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
    CountTotals(info, AResult);
    CheckScannable(info, AFile.Size());
    const std::string damage =
        FindStripTableDamage(info.StripOffsets, info.StripByteCounts, AFile.Size(), info.Structure);
    if (!damage.empty())
        return Reject(damage, AResult);

    const bool precise = AMode == TAnalysisMode::amPrecise;
    TSampleSet samples(precise ? &AResult.UniqueValues : nullptr);
    TScan scan{AFile, info, AUpdateProgress, samples, FirstStripOfEachBlock(info.StripOffsets, info.StripByteCounts), {}};
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

TBitDepthResult
TTIFFBitDepthAnalyzer::AnalyzeBytes(const std::uint8_t* AView, std::uint64_t AFileSize,
                                    TAnalysisMode AAnalysisMode,
                                    const TAnalysisProgress& AUpdateProgress) const {
    return AnalyzeSource(TMemoryBytes(AView, AFileSize), AAnalysisMode, AUpdateProgress);
}

} // namespace kvaderon
