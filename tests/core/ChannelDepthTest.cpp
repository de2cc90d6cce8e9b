#include "ChannelDepth.h"
#include "TIFFBitDepthAnalyzer.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

#include <functional>

namespace kvaderon {
namespace {

using namespace test;
using TValues = std::vector<std::uint16_t>;

TValues Generate(std::size_t ACount, const std::function<std::uint32_t(std::uint32_t)>& AValue) {
    TValues values;
    for (std::uint32_t i = 0; i < ACount; ++i)
        values.push_back(std::uint16_t(AValue(i)));
    return values;
}

TBitDepthResult Analyze(const TImageLayout& ALayout) {
    const TBytes bytes = BuildImage(ALayout).Build();
    return TTIFFBitDepthAnalyzer().AnalyzeBytes(bytes.data(), bytes.size(), TAnalysisMode::amPrecise);
}

struct TDepthCase {
    const char* Name;
    TValues Samples;
    std::int32_t SignificantBits;
    std::int32_t HighestBit;
    std::int32_t DistinctValues;
    std::int32_t LevelsPossible; // 0: not checked
    TDepthPattern Pattern;
    std::int32_t PatternBits;
};

TEST(ChannelDepth, FiguresAndPatternOfSyntheticChannels) {
    using enum TDepthPattern;
    const std::vector<TDepthCase> cases = {
        {"14 bits shifted left", Generate(16384, [](auto i) { return i << 2; }), 14, 15, 16384, 16384, dpLeftShifted,
         14},
        {"12 bits shifted left", Generate(4096, [](auto i) { return i << 4; }), 12, 15, 4096, 4096, dpLeftShifted, 12},
        {"12 bits in the low bits", Generate(4096, [](auto i) { return i; }), 16, 11, 4096, 4096, dpLowBits, 12},
        {"15 bits in the low bits", Generate(300, [](auto i) { return 97 * i + 5; }), 16, 14, 300, 29004, dpLowBits,
         15},
        {"0..32768 of 15-bit editors",
         [] {
             TValues values = Generate(100, [](auto i) { return 2 * i + 1; });
             values.push_back(32768);
             return values;
         }(),
         16, 15, 101, 32768, dpEditor15, 0},
        {"8 bits times 257", Generate(256, [](auto i) { return 257 * i; }), 16, 15, 256, 65536, dpReplicated8, 0},
        {"8 bits times 257, give or take 1",
         Generate(256, [](auto i) { return 257 * i + (i % 3 == 1) - (i % 3 == 2); }), 16, 15, 256, 0, dpReplicated8, 0},
        {"8 bits in the low byte", Generate(256, [](auto i) { return i; }), 16, 7, 256, 256, dpLowByte8, 0},
        {"8 bits under 0xFF", Generate(256, [](auto i) { return 0xFF00 + i; }), 16, 15, 256, 256, dpHighFF8, 0},
        {"8 bits shifted into the high byte", Generate(256, [](auto i) { return i << 8; }), 8, 15, 256, 256,
         dpLeftShifted, 8},
        {"8 bits over 0xFF", Generate(256, [](auto i) { return i << 8 | 0xFF; }), 8, 15, 256, 256, dpOnesPadded, 8},
        {"flat field", TValues(64, 0x1234), 0, 12, 1, 1, dpFewValues, 0},
        {"8 bits through a tone curve in a large picture",
         Generate(ToneCurveMinSamples, [](auto i) { return (i % 256) * (i % 256) * 65535u / 65025u; }), 16, 15, 256,
         65536, dpToneCurve8, 0},
        {"the same values in a smaller picture",
         Generate(ToneCurveMinSamples - 1, [](auto i) { return (i % 256) * (i % 256) * 65535u / 65025u; }), 16, 15, 256,
         65536, dpNone, 0},
        {"black frame", TValues(64, 0), 0, -1, 1, 1, dpFewValues, 0},
        {"15 values are too few", Generate(15, [](auto i) { return 999 * i + 1; }), 16, 13, 15, 0, dpFewValues, 0},
        {"noise over 16 bits", Generate(1024, [](auto i) { return i * 40503u; }), 16, 15, 1024, 0, dpNone, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TImageLayout layout;
        layout.Width = std::uint32_t(c.Samples.size());
        layout.Height = 1;
        layout.Samples = c.Samples;
        const TBitDepthResult result = Analyze(layout);
        ASSERT_EQ(result.Error, "");
        ASSERT_EQ(result.Channels.size(), 1u);
        const TChannelDepth& depth = result.Channels[0];
        EXPECT_EQ(depth.SignificantBits, c.SignificantBits);
        EXPECT_EQ(depth.HighestBit, c.HighestBit);
        EXPECT_EQ(depth.DistinctValues, c.DistinctValues);
        if (c.LevelsPossible != 0) {
            EXPECT_EQ(depth.LevelsPossible, c.LevelsPossible);
        }
        EXPECT_EQ(PatternWord(depth.Pattern), PatternWord(c.Pattern));
        EXPECT_EQ(depth.PatternBits(), c.PatternBits);
    }
}

// Each channel keeps its own figures, interleaved and planar alike; alpha is no channel.
TEST(ChannelDepth, EachColourChannelApart) {
    const std::size_t pixels = 256;
    const auto red = [](std::uint32_t i) { return i << 4; };      // 12 bits, the low 4 always 0
    const auto green = [](std::uint32_t i) { return 257 * i; };   // widened 8 bits
    const auto blue = [](std::uint32_t i) { return i * 40503u; }; // 16 bits
    const auto alpha = [](std::uint32_t i) { return i % 2 ? 0xFFFFu : 1u; };
    for (const std::uint16_t planar : {1, 2}) {
        SCOPED_TRACE(planar == 1 ? "interleaved" : "planar");
        TImageLayout layout;
        layout.Width = pixels;
        layout.Height = 1;
        layout.SamplesPerPixel = 4;
        layout.Photometric = 2;
        layout.ExtraSamples = {2};
        layout.Planar = planar;
        const std::vector<std::function<std::uint32_t(std::uint32_t)>> channels{red, green, blue, alpha};
        for (std::size_t i = 0; i < 4 * pixels; ++i) {
            const std::size_t channel = planar == 1 ? i % 4 : i / pixels;
            const std::size_t pixel = planar == 1 ? i / 4 : i % pixels;
            layout.Samples.push_back(std::uint16_t(channels[channel](std::uint32_t(pixel))));
        }
        const TBitDepthResult result = Analyze(layout);
        ASSERT_EQ(result.Channels.size(), 3u);
        EXPECT_EQ(result.Channels[0].Pattern, TDepthPattern::dpLeftShifted);
        EXPECT_EQ(result.Channels[0].SignificantBits, 12);
        EXPECT_EQ(result.Channels[0].HighestBit, 11);
        EXPECT_EQ(result.Channels[1].Pattern, TDepthPattern::dpReplicated8);
        EXPECT_EQ(result.Channels[2].Pattern, TDepthPattern::dpNone);
        for (const TChannelDepth& depth : result.Channels)
            EXPECT_EQ(depth.DistinctValues, 256);
    }
}

TEST(ChannelDepth, ManyChannelsGiveNoFiguresPerChannel) {
    TImageLayout layout;
    layout.Width = 4;
    layout.Height = 4;
    layout.Photometric = 1;
    for (const std::uint16_t channels : {MaxChannelsReported, MaxChannelsReported + 1}) {
        layout.SamplesPerPixel = std::uint16_t(channels);
        layout.ExtraSamples.assign(channels - 1u, 0);
        layout.Samples = Generate(16 * channels, [](auto i) { return i * 40503u; });
        const TBitDepthResult result = Analyze(layout);
        EXPECT_EQ(result.Error, "");
        EXPECT_EQ(result.Channels.size(), channels <= MaxChannelsReported ? channels : 0u);
        EXPECT_EQ(result.UniqueValueCount, 16 * channels);
    }
}

} // namespace
} // namespace kvaderon
