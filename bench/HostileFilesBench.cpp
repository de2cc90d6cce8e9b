// Files made to demand the most work per byte: every one of at most 8 MB must be inverted,
// analysed or refused in well under a second (Release build). The overlap check sorts the strip
// table, O(n log n) in the number of strips.
#include "ByteOrder.h"
#include "TIFFBitDepthAnalyzer.h"
#include "TiffInverterSingleThread.h"

#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace kvaderon;
namespace fs = std::filesystem;

using TBytes = std::vector<std::uint8_t>;

void PutU16(TBytes& AOut, std::uint16_t AValue) {
    AOut.resize(AOut.size() + 2);
    WriteU16(AOut.data() + AOut.size() - 2, AValue, false);
}

void PutU32(TBytes& AOut, std::uint32_t AValue) {
    PutU16(AOut, std::uint16_t(AValue));
    PutU16(AOut, std::uint16_t(AValue >> 16));
}

// A little-endian interleaved file: ADataBytes of samples at offset 8, then the strip table as
// LONG arrays, then the IFD. ASamplesPerPixel with an unassociated alpha channel.
TBytes HostileFile(std::uint16_t ASamplesPerPixel, std::uint32_t ADataBytes,
                   const std::function<std::uint32_t(std::uint32_t)>& AStripOffset, std::uint32_t AStripBytes,
                   std::uint32_t AStrips) {
    TBytes file{'I', 'I', 42, 0, 0, 0, 0, 0};
    std::mt19937 random(3);
    for (std::uint32_t i = 0; i < ADataBytes; ++i)
        file.push_back(std::uint8_t(random()));
    const auto offsetsAt = std::uint32_t(file.size());
    for (std::uint32_t i = 0; i < AStrips; ++i)
        PutU32(file, 8 + AStripOffset(i));
    const auto countsAt = std::uint32_t(file.size());
    for (std::uint32_t i = 0; i < AStrips; ++i)
        PutU32(file, AStripBytes);
    const auto ifd = std::uint32_t(file.size());
    WriteU16(file.data() + 4, std::uint16_t(ifd), false);
    WriteU16(file.data() + 6, std::uint16_t(ifd >> 16), false);
    const std::vector<std::array<std::uint32_t, 4>> entries = {
        {256, 3, 1, 1000},
        {257, 3, 1, 1000},
        {258, 3, 1, 16},
        {259, 3, 1, 1},
        {262, 3, 1, 2},
        {273, 4, AStrips, offsetsAt},
        {277, 3, 1, ASamplesPerPixel},
        {279, 4, AStrips, countsAt},
        {284, 3, 1, 1},
        {338, 3, 1, 2},
    };
    PutU16(file, std::uint16_t(entries.size()));
    for (const auto& entry : entries) {
        PutU16(file, std::uint16_t(entry[0]));
        PutU16(file, std::uint16_t(entry[1]));
        PutU32(file, entry[2]);
        PutU32(file, entry[3]); // a SHORT value in the low half: little-endian
    }
    PutU32(file, 0);
    return file;
}

// SamplesPerPixel 65535 with alpha: the channel pattern is 128 KiB, built once per file.
TBytes ManyChannels(std::uint32_t AStrips) {
    return HostileFile(
        65535, 40000, [](std::uint32_t AStrip) { return 2 * (AStrip % 20000); }, 2, AStrips);
}

const std::vector<std::pair<const char*, TBytes>>& Files() {
    static const std::vector<std::pair<const char*, TBytes>> files = {
        {"channels65535_strips20000", ManyChannels(20000)},
        {"channels65535_strips1000000_identical", HostileFile(
                                                      65535, 2, [](std::uint32_t) { return 0; }, 2, 1000000)},
        {"strips700000_disjoint", HostileFile(
                                      3, 1400000, [](std::uint32_t AStrip) { return 2 * AStrip; }, 2, 700000)},
        {"strips1000000_overlapping", HostileFile(
                                          3, 4000, [](std::uint32_t AStrip) { return AStrip % 3000; }, 4, 1000000)},
    };
    return files;
}

fs::path FilePath(std::size_t AIndex) {
    const fs::path path = fs::temp_directory_path() / ("kvaderon-hostile-" + std::to_string(AIndex) + ".tif");
    if (!fs::exists(path)) {
        const TBytes& bytes = Files()[AIndex].second;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    return path;
}

void BM_Invert(benchmark::State& AState) {
    const fs::path input = FilePath(std::size_t(AState.range(0)));
    const fs::path output = input.string() + ".out";
    TTIFFInverterSingle inverter;
    for (auto _ : AState) {
        try {
            inverter.InvertTIFF16Bit(input, output, true, true);
        } catch (const std::exception&) {
            // a refusal is a result too
        }
    }
    fs::remove(output);
    AState.SetLabel(Files()[std::size_t(AState.range(0))].first);
}

void BM_Analyze(benchmark::State& AState) {
    const fs::path input = FilePath(std::size_t(AState.range(0)));
    const TTIFFBitDepthAnalyzer analyzer;
    for (auto _ : AState)
        benchmark::DoNotOptimize(analyzer.AnalyzeBitDepth(input, TAnalysisMode::amPrecise).Error);
    AState.SetLabel(Files()[std::size_t(AState.range(0))].first);
}

} // namespace

BENCHMARK(BM_Invert)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Analyze)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
