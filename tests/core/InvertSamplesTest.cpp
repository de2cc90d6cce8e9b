#include "InverterTestSupport.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

using namespace test;

std::uint16_t S(int AValue) {
    return std::uint16_t(AValue);
}

struct TSampleCase {
    const char* Name;
    TImageLayout Layout;
    std::vector<std::uint16_t> Expected;
};

TImageLayout BigEndian(TImageLayout ALayout) {
    ALayout.BigEndian = true;
    return ALayout;
}

// Every layout rule, each checked in the bytes of the output and against the untouched rest.
TEST(InvertTIFF16Bit, InvertsSamplesByLayoutFormatAndAlpha) {
    const std::vector<std::uint16_t> four = {0x1234, 0x0000, 0xFFFF, 0x8000};
    const std::vector<std::uint16_t> fourInverted = {0xEDCB, 0xFFFF, 0x0000, 0x7FFF};
    const std::vector<std::uint16_t> signedIn = {0x0000, 0x7FFF, 0x8000, 0xFFFF};
    const std::vector<std::uint16_t> signedOut = {0x7FFF, 0x0000, 0xFFFF, 0x8000};
    const std::vector<std::uint16_t> rgba = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::vector<std::uint16_t> rgbaKeep = {S(~1), S(~2), S(~3), 4, S(~5), S(~6), S(~7), 8};
    const std::vector<std::uint16_t> rgbaAll = {S(~1), S(~2), S(~3), S(~4), S(~5), S(~6), S(~7), S(~8)};
    const std::vector<std::uint16_t> five = {1, 2, 3, 4, 5};
    const std::vector<std::uint16_t> fiveAll = {S(~1), S(~2), S(~3), S(~4), S(~5)};
    const std::vector<std::uint16_t> fiveKeep = {S(~1), S(~2), S(~3), S(~4), 5};

    const std::vector<TSampleCase> cases = {
        {"gray, little-endian", Layout(1, 1, four), fourInverted},
        {"gray, big-endian", BigEndian(Layout(1, 1, four)), fourInverted},
        {"interleaved signed keeps the sign bit", Layout(1, 1, signedIn, {}, 2), signedOut},
        {"interleaved signed, big-endian", BigEndian(Layout(1, 1, signedIn, {}, 2)), signedOut},
        {"RGBA, unassociated alpha kept", Layout(4, 2, rgba, {2}), rgbaKeep},
        {"RGBA, associated alpha kept, big-endian", BigEndian(Layout(4, 2, rgba, {1})), rgbaKeep},
        {"RGBA, extra sample of kind 0 inverted", Layout(4, 2, rgba, {0}), rgbaAll},
        {"RGB + 1 without ExtraSamples keeps the fourth", Layout(4, 2, rgba), rgbaKeep},
        {"RGB + 2 without ExtraSamples inverts all", Layout(5, 2, five), fiveAll},
        {"CMYK without ExtraSamples inverts all", Layout(4, 5, rgba), rgbaAll},
        {"CMYK + 1 without ExtraSamples keeps the fifth", Layout(5, 5, five), fiveKeep},
        {"gray + alpha by photometric", Layout(2, 1, rgba), {S(~1), 2, S(~3), 4, S(~5), 6, S(~7), 8}},
        {"gray + alpha by inline ExtraSamples", Layout(2, 1, rgba, {2}), {S(~1), 2, S(~3), 4, S(~5), 6, S(~7), 8}},
        {"planar unsigned", Layout(2, 1, four, {0}, 1, 2), fourInverted},
        {"planar signed keeps the sign bit", Layout(1, 1, signedIn, {}, 2, 2), signedOut},
        {"planar signed, big-endian", BigEndian(Layout(1, 1, signedIn, {}, 2, 2)), signedOut},
        {"alpha before an unspecified extra sample", Layout(5, 2, five, {2, 0}), {S(~1), S(~2), S(~3), 4, S(~5)}},
        {"alpha after an unspecified extra sample", Layout(5, 2, five, {0, 1}), fiveKeep},
        {"two alpha channels", Layout(5, 2, five, {1, 2}), {S(~1), S(~2), S(~3), 4, 5}},
        {"planar alpha before an unspecified extra plane",
         Layout(5, 2, five, {2, 0}, {}, 2),
         {S(~1), S(~2), S(~3), 4, S(~5)}},
        {"planar RGBA keeps the alpha plane",
         Layout(4, 2, rgba, {1}, {}, 2),
         {S(~1), S(~2), S(~3), S(~4), S(~5), S(~6), 7, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TInversion run = InvertBytes(BuildImage(c.Layout).Build());
        ASSERT_EQ(run.Error, "");
        ASSERT_EQ(run.Output.size(), run.Input.size());
        EXPECT_EQ(SamplesAt8(run.Output, c.Expected.size(), c.Layout.BigEndian), c.Expected);
        const std::size_t stripEnd = 8 + 2 * c.Expected.size();
        EXPECT_TRUE(std::equal(run.Output.begin(), run.Output.begin() + 8, run.Input.begin()));
        EXPECT_TRUE(std::equal(run.Output.begin() + std::ptrdiff_t(stripEnd), run.Output.end(),
                               run.Input.begin() + std::ptrdiff_t(stripEnd)));
    }
}

TEST(InvertTIFF16Bit, StoredBytesOfBothOrders) {
    TImageLayout little = Layout(1, 1, {0x1234});
    const TBytes output = InvertBytes(BuildImage(little).Build()).Output;
    EXPECT_EQ(std::vector<std::uint8_t>(output.begin() + 8, output.begin() + 10),
              (std::vector<std::uint8_t>{0xCB, 0xED}));
    const TBytes big = InvertBytes(BuildImage(BigEndian(little)).Build()).Output;
    EXPECT_EQ(std::vector<std::uint8_t>(big.begin() + 8, big.begin() + 10), (std::vector<std::uint8_t>{0xED, 0xCB}));
}

// Strips laid out by hand: the samples start at offset 8 as eight little-endian RGBA samples.
TTiffBuilder Strips(std::vector<std::uint32_t> AOffsets, std::vector<std::uint32_t> ACounts,
                    std::uint16_t ASamplesPerPixel = 4, std::uint16_t APlanar = 1) {
    TImageLayout layout = Layout(4, 2, {1, 2, 3, 4, 5, 6, 7, 8}, {2});
    TTiffBuilder builder = BuildImage(layout);
    builder.Set(tagSamplesPerPixel, dtShort, {ASamplesPerPixel});
    builder.Set(tagPlanarConfiguration, dtShort, {APlanar});
    builder.Set(tagStripOffsets, dtLong, std::move(AOffsets));
    builder.Set(tagStripByteCounts, dtLong, std::move(ACounts));
    return builder;
}

TEST(InvertTIFF16Bit, InvertsEachBlockOfStripBytesOnce) {
    struct TStripCase {
        const char* Name;
        TTiffBuilder Builder;
        std::vector<std::uint16_t> Expected;
    };
    const std::vector<TStripCase> cases = {
        {"each strip restarts at channel 0",
         Strips({8, 14}, {6, 10}),
         {S(~1), S(~2), S(~3), S(~4), S(~5), S(~6), 7, S(~8)}},
        {"odd byte count keeps the last byte", Strips({8}, {7}), {S(~1), S(~2), S(~3), 4, 5, 6, 7, 8}},
        {"zero byte count untouched wherever it points",
         Strips({8, 100000, 0}, {4, 0, 0}),
         {S(~1), S(~2), 3, 4, 5, 6, 7, 8}},
        {"identical strips are one block", Strips({8, 16, 8}, {4, 4, 4}), {S(~1), S(~2), 3, 4, S(~5), S(~6), 7, 8}},
        {"planar strips per plane",
         Strips({8, 12, 16, 20}, {4, 4, 4, 4}, 4, 2),
         {S(~1), S(~2), S(~3), S(~4), S(~5), S(~6), 7, 8}},
        {"planar block shared by two planes, once",
         Strips({8, 12, 8, 20}, {4, 4, 4, 4}, 4, 2),
         {S(~1), S(~2), S(~3), S(~4), 5, 6, 7, 8}},
        {"samples per pixel 0 with nothing to invert", Strips({8}, {1}, 0), {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TInversion run = InvertBytes(c.Builder.Build());
        ASSERT_EQ(run.Error, "");
        EXPECT_EQ(SamplesAt8(run.Output, 8, false), c.Expected);
    }
}

TEST(InvertTIFF16Bit, OnlyTheFirstDirectoryChanges) {
    TImageLayout layout = Layout(1, 1, {1, 2, 3, 4});
    TTiffBuilder builder = BuildImage(layout);
    const std::uint32_t thumbnail = builder.AddSamples({10, 20});
    builder.SecondIFD({{tagBitsPerSample, dtShort, 1, {16}},
                       {tagCompression, dtShort, 1, {1}},
                       {tagStripOffsets, dtLong, 1, {thumbnail}},
                       {tagSamplesPerPixel, dtShort, 1, {1}},
                       {tagStripByteCounts, dtLong, 1, {4}}});
    const TInversion run = InvertBytes(builder.Build());
    ASSERT_EQ(run.Error, "");
    EXPECT_EQ(SamplesAt8(run.Output, 6, false), (std::vector<std::uint16_t>{S(~1), S(~2), S(~3), S(~4), 10, 20}));
}

TEST(InvertTIFF16Bit, InvertingTwiceRestoresTheInput) {
    const std::vector<TImageLayout> layouts = {
        Layout(4, 2, {1, 2, 3, 4, 5, 6, 7, 0xFFFF}, {2}),
        BigEndian(Layout(3, 2, {1, 0x8000, 3, 0x7FFF, 5, 6}, {}, 2)),
        Layout(3, 2, {1, 0x8000, 3, 0x7FFF, 5, 6}, {}, 1, 2),
        Layout(3, 2, {1, 0x8000, 3, 0x7FFF, 5, 6}, {}, 2, 2),
        Layout(5, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {2, 0}, {}, 2),
    };
    for (const auto& layout : layouts) {
        const TInversion once = InvertBytes(BuildImage(layout).Build());
        ASSERT_EQ(once.Error, "");
        EXPECT_NE(once.Output, once.Input);
        EXPECT_EQ(InvertBytes(once.Output).Output, once.Input);
    }
}

TEST(InvertTIFF16Bit, LargeStripsMatchSampleBySampleRule) {
    // Long enough for the wide loops and their tails, with a 3-channel period and alpha.
    for (std::uint16_t channels : {1, 3, 4, 5}) {
        TImageLayout layout;
        layout.SamplesPerPixel = channels;
        layout.Photometric = 2;
        layout.ExtraSamples = {2};
        layout.Width = 37;
        layout.Height = 3;
        layout.StripsPerPlane = 3;
        const std::vector<std::uint16_t> in = ImageSamples(layout);
        const TInversion run = InvertBytes(BuildImage(layout).Build());
        ASSERT_EQ(run.Error, "");
        const auto out = SamplesAt8(run.Output, in.size(), false);
        const std::size_t perStrip = in.size() / 3;
        for (std::size_t i = 0; i < in.size(); ++i) {
            const std::size_t channel = (i % perStrip) % channels;
            const bool alpha = channels >= 2 && channel == channels - 1u;
            ASSERT_EQ(out[i], alpha ? in[i] : std::uint16_t(0xFFFF - in[i])) << channels << " channels, sample " << i;
        }
    }
}

} // namespace
} // namespace kvaderon
