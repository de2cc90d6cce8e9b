// Throughput of the precise bit-depth analysis of a large interleaved RGB file beside a plain
// read pass that sums the same samples (the ceiling).
#include "ByteOrder.h"
#include "TIFFBitDepthAnalyzer.h"
#include "platform/FileIO.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

using namespace kvaderon;

constexpr std::uint32_t Width = 4096;
constexpr std::uint32_t Height = 2048;
constexpr std::uint32_t SamplesPerPixel = 3;
constexpr std::uint32_t RowsPerStrip = 16;
constexpr std::uint32_t StripCount = Height / RowsPerStrip;
constexpr std::uint32_t StripBytes = Width * RowsPerStrip * SamplesPerPixel * 2;
constexpr std::uint64_t SampleBytes = std::uint64_t(StripBytes) * StripCount;
constexpr std::uint32_t DataAt = 8;

void PutU32(std::vector<std::uint8_t>& AFile, std::size_t AAt, std::uint32_t AValue) {
    WriteU16(AFile.data() + AAt, std::uint16_t(AValue), false);
    WriteU16(AFile.data() + AAt + 2, std::uint16_t(AValue >> 16), false);
}

// A little-endian RGB file: header, the strips one after another, the arrays, then the IFD.
std::vector<std::uint8_t> BuildRgbFile() {
    std::vector<std::uint8_t> file(DataAt + SampleBytes);
    std::mt19937 random(1);
    for (std::uint64_t i = 0; i < SampleBytes; i += 2)
        WriteU16(file.data() + DataAt + i, std::uint16_t(random()), false);

    const auto bitsAt = std::uint32_t(file.size());
    file.resize(file.size() + 8 + 8 * StripCount);
    for (std::uint32_t c = 0; c < SamplesPerPixel; ++c)
        WriteU16(file.data() + bitsAt + 2 * c, 16, false);
    const std::uint32_t offsetsAt = bitsAt + 8;
    const std::uint32_t countsAt = offsetsAt + 4 * StripCount;
    for (std::uint32_t s = 0; s < StripCount; ++s) {
        PutU32(file, offsetsAt + 4 * s, DataAt + s * StripBytes);
        PutU32(file, countsAt + 4 * s, StripBytes);
    }

    struct TEntry {
        std::uint16_t Tag, DataType;
        std::uint32_t Count, Value;
    };
    const TEntry entries[] = {
        {256, 4, 1, Width},
        {257, 4, 1, Height},
        {258, 3, SamplesPerPixel, bitsAt},
        {259, 3, 1, 1},
        {262, 3, 1, 2},
        {273, 4, StripCount, offsetsAt},
        {277, 3, 1, SamplesPerPixel},
        {278, 4, 1, RowsPerStrip},
        {279, 4, StripCount, countsAt},
        {284, 3, 1, 1},
    };
    const auto ifdAt = std::uint32_t(file.size());
    file.resize(file.size() + 2 + 12 * std::size(entries) + 4);
    WriteU16(file.data() + ifdAt, std::uint16_t(std::size(entries)), false);
    for (std::size_t i = 0; i < std::size(entries); ++i) {
        const std::size_t at = ifdAt + 2 + 12 * i;
        WriteU16(file.data() + at, entries[i].Tag, false);
        WriteU16(file.data() + at + 2, entries[i].DataType, false);
        PutU32(file, at + 4, entries[i].Count);
        if (entries[i].DataType == 3 && entries[i].Count == 1)
            WriteU16(file.data() + at + 8, std::uint16_t(entries[i].Value), false);
        else
            PutU32(file, at + 8, entries[i].Value);
    }
    file[0] = file[1] = 'I';
    WriteU16(file.data() + 2, 42, false);
    PutU32(file, 4, ifdAt);
    return file;
}

const std::vector<std::uint8_t>& RgbFile() {
    static const std::vector<std::uint8_t> file = BuildRgbFile();
    return file;
}

// The file is written once and removed when the program ends.
const std::filesystem::path& RgbFilePath() {
    struct TTempFile {
        std::filesystem::path Path = std::filesystem::temp_directory_path() / "kvaderon-analyzer-bench.tif";
        TTempFile() {
            std::ofstream out(Path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(RgbFile().data()), std::streamsize(RgbFile().size()));
        }
        ~TTempFile() {
            std::error_code error;
            std::filesystem::remove(Path, error);
        }
    };
    static const TTempFile file;
    return file.Path;
}

std::uint64_t SumSamples(const std::uint8_t* AView) {
    std::uint64_t sum = 0;
    for (std::uint32_t s = 0; s < StripCount; ++s) {
        const std::uint8_t* strip = AView + DataAt + std::uint64_t(s) * StripBytes;
        for (std::uint32_t i = 0; i < StripBytes; i += 2)
            sum += ReadU16(strip + i, false);
    }
    return sum;
}

void Finish(benchmark::State& AState) {
    AState.SetBytesProcessed(std::int64_t(AState.iterations()) * std::int64_t(SampleBytes));
}

void BM_SumCeiling(benchmark::State& AState) {
    const auto& file = RgbFile();
    for (auto _ : AState)
        benchmark::DoNotOptimize(SumSamples(file.data()));
    Finish(AState);
}

void BM_Analyze(benchmark::State& AState, TAnalysisMode AMode) {
    const auto& file = RgbFile();
    const TTIFFBitDepthAnalyzer analyzer;
    for (auto _ : AState) {
        const TBitDepthResult result = analyzer.AnalyzeBytes(file.data(), file.size(), AMode);
        if (!result.Error.empty() || result.UniqueValueCount != 65536)
            AState.SkipWithError(result.Error.c_str());
        benchmark::DoNotOptimize(result.MaxValue);
    }
    Finish(AState);
}

// Reads the file in the analyzer's chunk size and sums its bytes.
void BM_ReadFileCeiling(benchmark::State& AState) {
    const auto& path = RgbFilePath();
    std::vector<std::uint8_t> buffer(256 * 1024);
    for (auto _ : AState) {
        const auto file = platform::SystemFileSystem().OpenRead(path);
        std::uint64_t sum = 0;
        for (std::uint64_t at = 0;;) {
            const std::size_t got = file->ReadAt(at, buffer.data(), buffer.size());
            for (std::size_t i = 0; i < got; ++i)
                sum += buffer[i];
            if (got < buffer.size())
                break;
            at += got;
        }
        benchmark::DoNotOptimize(sum);
    }
    Finish(AState);
}

void BM_AnalyzeFile(benchmark::State& AState) {
    const auto& path = RgbFilePath();
    const TTIFFBitDepthAnalyzer analyzer;
    for (auto _ : AState) {
        const TBitDepthResult result = analyzer.AnalyzeBitDepth(path, TAnalysisMode::amPrecise);
        if (!result.Error.empty())
            AState.SkipWithError(result.Error.c_str());
        benchmark::DoNotOptimize(result.MaxValue);
    }
    Finish(AState);
}

} // namespace

BENCHMARK(BM_SumCeiling)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Analyze, Precise, TAnalysisMode::amPrecise)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Analyze, DepthOnly, TAnalysisMode::amDepthOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFileCeiling)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyzeFile)->Unit(benchmark::kMillisecond);
