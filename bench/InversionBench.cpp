// Throughput of the inversion loops beside a plain in-place XOR of the same buffer (the ceiling).
#include "SampleInversion.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using namespace kvaderon;

constexpr std::size_t BufferBytes = 64u << 20;

std::vector<std::uint8_t>& Buffer() {
    static std::vector<std::uint8_t> buffer = [] {
        std::vector<std::uint8_t> bytes(BufferBytes);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = std::uint8_t(i * 131 + (i >> 9));
        return bytes;
    }();
    return buffer;
}

void Finish(benchmark::State& AState) {
    benchmark::DoNotOptimize(Buffer().data());
    AState.SetBytesProcessed(std::int64_t(AState.iterations()) * std::int64_t(BufferBytes));
}

void BM_XorCeiling(benchmark::State& AState) {
    auto& buffer = Buffer();
    for (auto _ : AState) {
        std::uint64_t* words = reinterpret_cast<std::uint64_t*>(buffer.data());
        for (std::size_t i = 0; i < BufferBytes / 8; ++i)
            words[i] ^= 0xFFFFFFFFFFFFFFFFull;
        benchmark::ClobberMemory();
    }
    Finish(AState);
}

void Chunky(benchmark::State& AState, std::uint16_t ASamplesPerPixel, std::vector<std::uint16_t> AExtra,
            bool ABigEndian, std::uint16_t AMask) {
    auto& buffer = Buffer();
    const TXorPattern pattern = ChunkyPattern(ASamplesPerPixel, AExtra, 2, ABigEndian, AMask);
    for (auto _ : AState) {
        pattern.Apply(buffer.data(), BufferBytes, 0);
        benchmark::ClobberMemory();
    }
    Finish(AState);
}

} // namespace

BENCHMARK(BM_XorCeiling);
BENCHMARK_CAPTURE(Chunky, gray_le, 1, {}, false, 0xFFFF);
BENCHMARK_CAPTURE(Chunky, gray_be, 1, {}, true, 0xFFFF);
BENCHMARK_CAPTURE(Chunky, rgb_le, 3, {}, false, 0xFFFF);
BENCHMARK_CAPTURE(Chunky, rgb_be, 3, {}, true, 0xFFFF);
BENCHMARK_CAPTURE(Chunky, rgba_alpha_le, 4, {2}, false, 0xFFFF);
BENCHMARK_CAPTURE(Chunky, rgba_alpha_be, 4, {2}, true, 0xFFFF);
BENCHMARK_CAPTURE(Chunky, rgb_signed_le, 3, {}, false, 0x7FFF);
