#include "TIFFBitDepthAnalyzer.h"

#include "ByteOrder.h"
#include "CommonTypes.h"
#include "FileRange.h"
#include "PathText.h"
#include "TextFormat.h"
#include "TiffAnalysisReader.h"
#include "platform/MappedFile.h"

#include <algorithm>
#include <bit>
#include <fstream>
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

    // Stops after the sample that clears the last pattern; with all cleared, counts one sample.
    template <bool ABigEndian>
    void CountUntilNoPattern(const std::uint8_t* ASamples, std::size_t ACount) {
        if (NoPatternLeft()) {
            CountEach<ABigEndian>(ASamples, std::min<std::size_t>(ACount, 1));
            return;
        }
        for (std::size_t i = 0; i < ACount; ++i) {
            const std::uint16_t value = ReadU16(ASamples + 2 * i, ABigEndian);
            if (!FSeen[value]) {
                AddNew(value);
                if (NoPatternLeft())
                    return;
            }
        }
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

    bool NoPatternLeft() const { return !FAllZeroExtended && !FAllReplicated && !FAllHighFF; }

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

struct TScan {
    const std::uint8_t* View;
    std::uint64_t FileSize;
    const TAnalysisTIFFInfo& Info;
    const TAnalysisProgress& UpdateProgress;
    TSampleSet& Samples;

    std::size_t StripCount() const { return Info.StripOffsets.size(); }

    bool IsScanned(std::size_t AStrip) const {
        const std::uint32_t offset = Info.StripOffsets[AStrip];
        const std::uint32_t byteCount = Info.StripByteCounts[AStrip];
        return offset < FileSize && byteCount != 0 && IsRangeInside(offset, byteCount, FileSize);
    }
    const std::uint8_t* StripData(std::size_t AStrip) const {
        return View + Info.StripOffsets[AStrip];
    }
    std::size_t StripSamples(std::size_t AStrip) const { return Info.StripByteCounts[AStrip] / 2; }

    bool IsAlpha(std::uint32_t AChannel) const {
        return IsAlphaChannel(AChannel, Info.SamplesPerPixel, Info.ExtraSamples,
                              Info.PhotometricInterpretation);
    }

    void Report(std::int64_t APercent) const {
        UpdateProgress(int(std::min<std::int64_t>(APercent, 100)));
    }
};

// Every strip's channels start again at 0; only the last channel can be alpha.
template <bool ABigEndian>
void CountInterleavedStrip(const TScan& AScan, const std::uint8_t* AData, std::size_t ASamples) {
    const std::uint16_t samplesPerPixel = AScan.Info.SamplesPerPixel;
    if (ASamples == 0)
        return;
    if (samplesPerPixel == 0)
        ThrowDivisionByZero();
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

template <bool ABigEndian> void ScanInterleaved(const TScan& AScan, std::size_t AStep) {
    const std::size_t stripCount = AScan.StripCount();
    std::size_t processed = 0;
    for (std::size_t strip = 0; strip < stripCount; ++strip) {
        if (!AScan.IsScanned(strip))
            continue;
        CountInterleavedStrip<ABigEndian>(AScan, AScan.StripData(strip), AScan.StripSamples(strip));
        ++processed;
        if (AScan.UpdateProgress && processed % AStep == 0)
            AScan.Report(std::int64_t(strip) * 100 / std::int64_t(stripCount));
    }
}

template <bool ABigEndian> void ScanPlanar(const TScan& AScan, std::size_t AStep) {
    const std::uint16_t samplesPerPixel = AScan.Info.SamplesPerPixel;
    if (samplesPerPixel == 0)
        ThrowDivisionByZero();
    const std::size_t stripsPerPlane = AScan.StripCount() / samplesPerPixel;
    if (AScan.StripCount() % samplesPerPixel != 0)
        throw EAnalysisFailure(
            "Некорректная структура planar TIFF: StripCount не кратен SamplesPerPixel");
    // Progress counts S - 1 planes; a file of one plane counts that plane.
    const std::int64_t progressStrips =
        std::int64_t(std::max(samplesPerPixel - 1, 1)) * std::int64_t(stripsPerPlane);
    std::size_t processed = 0;
    for (std::uint32_t plane = 0; plane < samplesPerPixel; ++plane) {
        if (AScan.IsAlpha(plane))
            continue;
        for (std::size_t j = 0; j < stripsPerPlane; ++j) {
            const std::size_t strip = plane * stripsPerPlane + j;
            if (!AScan.IsScanned(strip))
                continue;
            AScan.Samples.CountUntilNoPattern<ABigEndian>(AScan.StripData(strip),
                                                          AScan.StripSamples(strip));
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

// Fills AResult step by step; failures after the parse are raised.
void Analyze(const std::uint8_t* AView, std::uint64_t AFileSize, TAnalysisMode AMode,
             const TAnalysisProgress& AUpdateProgress, TBitDepthResult& AResult) {
    TAnalysisTIFFInfo info;
    std::string reason;
    if (!ParseTIFFForAnalysis(AView, AFileSize, info, reason)) {
        AResult.RejectionReason = reason;
        AResult.Error = "Файл отклонен: " + reason;
        return;
    }
    CopyStructure(info, AResult);
    CountTotals(info, AResult);

    const bool precise = AMode == TAnalysisMode::amPrecise;
    TSampleSet samples(precise ? &AResult.UniqueValues : nullptr);
    const TScan scan{AView, AFileSize, info, AUpdateProgress, samples};
    const std::size_t step = std::max<std::size_t>(info.StripOffsets.size() / 100, 1);
    const bool big = info.IsBigEndian;
    if (info.PlanarConfiguration == 1)
        big ? ScanInterleaved<true>(scan, step) : ScanInterleaved<false>(scan, step);
    else if (info.PlanarConfiguration == 2)
        big ? ScanPlanar<true>(scan, step) : ScanPlanar<false>(scan, step);
    else
        throw EAnalysisFailure(
            FormatText("Неподдерживаемая PlanarConfiguration: %d", {info.PlanarConfiguration}));

    AResult.MinValue = samples.MinValue();
    AResult.MaxValue = samples.MaxValue();
    AResult.HighBit = precise ? std::bit_width(AResult.MaxValue) : 0;
    AResult.UniqueValueCount = samples.Count();
    AResult.IsActually8Bit = samples.AllZeroExtended() || samples.AllReplicated();
    AResult.IsSignExtendedSuspicious = samples.AllHighFF() && !AResult.IsActually8Bit;
    AResult.IsActually16Bit = !AResult.IsActually8Bit;
}

} // namespace

TBitDepthResult TTIFFBitDepthAnalyzer::AnalyzeBitDepth(const std::filesystem::path& AFileName,
                                                       TAnalysisMode AAnalysisMode) const {
    return AnalyzeBitDepthWithProgress(AFileName, AAnalysisMode, {});
}

TBitDepthResult
TTIFFBitDepthAnalyzer::AnalyzeBitDepthWithProgress(const std::filesystem::path& AFileName,
                                                   TAnalysisMode AAnalysisMode,
                                                   const TAnalysisProgress& AUpdateProgress) const {
    TBitDepthResult result;
    if (!std::ifstream(AFileName, std::ios::binary).is_open()) {
        result.Error = "Не удалось открыть файл: " + PathToUtf8(AFileName);
        return result;
    }
    platform::TMappedFile mapped;
    try {
        mapped = platform::TMappedFile(AFileName, platform::TMapAccess::maReadOnly);
    } catch (const std::exception& error) {
        result.Error = error.what();
        return result;
    }
    return AnalyzeBytes(mapped.View(), mapped.Size(), AAnalysisMode, AUpdateProgress);
}

TBitDepthResult
TTIFFBitDepthAnalyzer::AnalyzeBytes(const std::uint8_t* AView, std::uint64_t AFileSize,
                                    TAnalysisMode AAnalysisMode,
                                    const TAnalysisProgress& AUpdateProgress) const {
    TBitDepthResult result;
    std::string failure;
    try {
        Analyze(AView, AFileSize, AAnalysisMode, AUpdateProgress, result);
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

} // namespace kvaderon
