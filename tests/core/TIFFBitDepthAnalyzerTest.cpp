#include "TIFFBitDepthAnalyzer.h"
#include "NonRegularFiles.h"
#include "PathText.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace kvaderon {
namespace {

using namespace test;
namespace fs = std::filesystem;
using TValues = std::vector<std::uint16_t>;

constexpr auto amPrecise = TAnalysisMode::amPrecise;
constexpr auto amDepthOnly = TAnalysisMode::amDepthOnly;

// Analyses the bytes as a file and checks that the file's bytes and modification time are
// untouched.
TBitDepthResult AnalyzeFile(const TBytes& ABytes, TAnalysisMode AMode = amPrecise,
                            const TAnalysisProgress& AUpdateProgress = {}) {
    TTempDir dir;
    const fs::path path = dir / "scan.tif";
    WriteFile(path, ABytes);
    const auto stamp = fs::last_write_time(path) - std::chrono::hours(30);
    fs::last_write_time(path, stamp);
    const TBitDepthResult result = TTIFFBitDepthAnalyzer().AnalyzeBitDepthWithProgress(path, AMode, AUpdateProgress);
    EXPECT_EQ(ReadFile(path), ABytes) << "the file was changed";
    EXPECT_EQ(fs::last_write_time(path), stamp) << "the file's modification time was changed";
    return result;
}

TImageLayout GrayImage(TValues ASamples, bool ABigEndian = false) {
    TImageLayout layout;
    layout.BigEndian = ABigEndian;
    layout.Width = std::uint32_t(ASamples.size());
    layout.Height = 1;
    layout.Samples = std::move(ASamples);
    return layout;
}

TImageLayout ColorImage(std::uint16_t ASamplesPerPixel, TValues ASamples, std::uint16_t APlanar = 1) {
    TImageLayout layout;
    layout.SamplesPerPixel = ASamplesPerPixel;
    layout.Photometric = 2;
    layout.Planar = APlanar;
    layout.Width = std::uint32_t(ASamples.size() / ASamplesPerPixel);
    layout.Height = 1;
    layout.Samples = std::move(ASamples);
    return layout;
}

void ExpectFailure(const TBitDepthResult& AResult, const std::string& AError) {
    EXPECT_EQ(AResult.Error, AError);
    EXPECT_EQ(AResult.RejectionReason, "");
    EXPECT_FALSE(AResult.IsActually8Bit);
    EXPECT_FALSE(AResult.IsActually16Bit);
}

// Fourteen more values that keep a pattern: with them every case has the 16 distinct values a
// verdict needs.
TValues Filler(std::uint16_t AFirst, std::uint16_t AStep, std::uint16_t ACount = 14) {
    TValues values;
    for (std::uint16_t i = 0; i < ACount; ++i)
        values.push_back(std::uint16_t(AFirst + i * AStep));
    return values;
}

const TValues lowByte = Filler(0x10, 1);
const TValues times257 = Filler(0x0404, 0x0101);
const TValues underFF = Filler(0xFF01, 1);

struct TVerdictCase {
    const char* Name;
    TValues Samples;
    TValues Fill; // appended to the samples
    bool Is8Bit;
    bool IsSignExtendedSuspicious;
    std::uint16_t Min;
    std::uint16_t Max;
    std::int32_t HighBit;
};

TEST(AnalyzeBitDepth, VerdictsAndStatisticsInBothByteOrders) {
    const std::vector<TVerdictCase> cases = {
        {"real 16-bit", {0x1234, 0x0000, 0xABCD, 0x1234}, times257, false, false, 0, 0xABCD, 16},
        {"zero-extended", {0x007F, 0x00FF, 0x0001, 0x00FF}, lowByte, true, false, 1, 0xFF, 8},
        {"replicated up to 0x0100", {0x0000, 0x0100}, times257, true, false, 0, 0x1111, 13},
        {"replicated", {0x0000, 0x0101, 0xFFFF, 0x8080}, times257, true, false, 0, 0xFFFF, 16},
        {"replicated give or take 1", {0xFEFF, 0x0102, 0x0100, 0x0001, 0x0000}, times257, true, false, 0, 0xFEFF, 16},
        {"0x00FF is two below 257", {0x00FF, 0x0101}, times257, false, false, 0xFF, 0x1111, 13},
        {"one 0x1234 among replicated", {0x0101, 0x0202, 0x1234, 0x0303}, times257, false, false, 0x101, 0x1234, 13},
        {"two above a multiple of 257", {0x0101, 0x0103}, times257, false, false, 0x101, 0x1111, 13},
        {"wholly in 0xFF00-0xFFFF", {0xFF10, 0xFFFF, 0xFF00}, underFF, false, true, 0xFF00, 0xFFFF, 16},
        {"0xFEFF is not in 0xFF00-0xFFFF", {0xFF10, 0xFEFF}, underFF, false, false, 0xFEFF, 0xFF10, 16},
    };
    for (bool bigEndian : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (bigEndian ? ", MM" : ", II"));
            TValues samples = c.Samples;
            samples.insert(samples.end(), c.Fill.begin(), c.Fill.end());
            TValues unique;
            for (std::uint16_t value : samples)
                if (std::find(unique.begin(), unique.end(), value) == unique.end())
                    unique.push_back(value);
            ASSERT_GE(unique.size(), 16u);
            const TBitDepthResult result = AnalyzeFile(BuildImage(GrayImage(samples, bigEndian)).Build());
            EXPECT_EQ(result.Error, "");
            EXPECT_FALSE(result.IsInconclusive);
            EXPECT_EQ(result.IsActually8Bit, c.Is8Bit);
            EXPECT_EQ(result.IsActually16Bit, !c.Is8Bit);
            EXPECT_EQ(result.IsSignExtendedSuspicious, c.IsSignExtendedSuspicious);
            EXPECT_EQ(result.MinValue, c.Min);
            EXPECT_EQ(result.MaxValue, c.Max);
            EXPECT_EQ(result.HighBit, c.HighBit);
            EXPECT_EQ(result.UniqueValues, unique);
            EXPECT_EQ(result.UniqueValueCount, std::int32_t(unique.size()));
            EXPECT_EQ(result.BigEndian, bigEndian);
        }
    }
}

// A flat chart or a black frame says nothing about the bit depth: neither flag is set, whatever
// pattern its few values share; the statistics are still given.
TEST(AnalyzeBitDepth, FewerThanSixteenValuesGiveNoVerdict) {
    const std::vector<std::pair<const char*, TValues>> cases = {
        {"all zero", {0, 0, 0}},
        {"all 0xFFFF", {0xFFFF, 0xFFFF}},
        {"flat 0x1234", TValues(40, 0x1234)},
        {"12 values of 16 bits", Filler(0x1234, 0x0FFF, 12)},
        {"no sample at all", {}},
    };
    for (const auto& [name, samples] : cases) {
        SCOPED_TRACE(name);
        TBytes bytes = BuildImage(GrayImage(samples.empty() ? TValues{0} : samples)).Build();
        if (samples.empty())
            bytes = ChangedRgbImage([](TTiffBuilder& ABuilder) { ABuilder.Set(tagStripByteCounts, dtLong, {0}); });
        const TBitDepthResult result = AnalyzeFile(bytes);
        EXPECT_EQ(result.Error, "");
        EXPECT_TRUE(result.IsInconclusive);
        EXPECT_FALSE(result.IsActually8Bit || result.IsActually16Bit || result.IsSignExtendedSuspicious);
    }
    TValues sixteen = Filler(0x1234, 0x0FFF, 12);
    sixteen.push_back(0x0001);
    sixteen.push_back(0x0002);
    sixteen.push_back(0x0003);
    sixteen.push_back(0x0004);
    EXPECT_TRUE(AnalyzeFile(BuildImage(GrayImage(sixteen)).Build()).IsActually16Bit);
}

TEST(AnalyzeBitDepth, FillsTheFileFacts) {
    TImageLayout layout = ColorImage(4, TValues(4 * 6 * 5, 0x0101));
    layout.Width = 6;
    layout.Height = 5;
    layout.ExtraSamples = {2};
    layout.StripsPerPlane = 3;
    TTiffBuilder builder = BuildImage(layout);
    builder.Set(tagSubIFDs, dtLong, {builder.AddIFD(ThumbnailEntries(builder, 8, 3))});
    const TBitDepthResult result = AnalyzeFile(builder.Build());
    EXPECT_EQ(result.Error, "");
    EXPECT_EQ(result.ImageWidth, 6);
    EXPECT_EQ(result.ImageHeight, 5);
    EXPECT_EQ(result.BitsPerSample, 16);
    EXPECT_EQ(result.Compression, 1);
    EXPECT_EQ(result.SamplesPerPixel, 4);
    EXPECT_EQ(result.StripCount, 3);
    EXPECT_FALSE(result.BigEndian);
    EXPECT_EQ(result.PhotometricInterpretation, 2);
    EXPECT_EQ(result.ExtraSamples, TValues{2});
    EXPECT_EQ(result.PlanarConfiguration, 1);
    EXPECT_TRUE(result.HasThumbnail);
    EXPECT_EQ(result.TotalSamples, 120); // alpha samples count here
    EXPECT_EQ(result.TotalPixels, 30);
}

struct TAlphaCase {
    const char* Name;
    std::uint16_t SamplesPerPixel;
    std::uint16_t Photometric;
    TValues ExtraSamples;
    std::uint16_t Planar;
    TValues Samples;
    TValues Unique;
};

TEST(AnalyzeBitDepth, AlphaSamplesAreNotCounted) {
    const std::uint16_t a = 0x1234; // an alpha value that would make the file 16-bit
    const std::vector<TAlphaCase> cases = {
        {"RGBA, ExtraSamples 2", 4, 2, {2}, 1, {1, 2, 3, a, 4, 5, 6, a}, {1, 2, 3, 4, 5, 6}},
        {"RGBA, ExtraSamples 1", 4, 2, {1}, 1, {1, 2, 3, a, 4, 5, 6, a}, {1, 2, 3, 4, 5, 6}},
        {"RGBA, ExtraSamples 0 counts the fourth", 4, 2, {0}, 1, {1, 2, 3, a, 4, 5, 6, a}, {1, 2, 3, a, 4, 5, 6}},
        {"RGBA by photometric", 4, 2, {}, 1, {1, 2, 3, a, 4, 5, 6, a}, {1, 2, 3, 4, 5, 6}},
        {"gray and alpha by photometric", 2, 1, {}, 1, {7, a, 8, a, 9, a}, {7, 8, 9}},
        {"RGB without alpha", 3, 2, {}, 1, {1, 2, a, 4, 5, 6}, {1, 2, a, 4, 5, 6}},
        {"planar RGBA, alpha plane skipped", 4, 2, {2}, 2, {1, 2, 3, 4, 5, 6, a, a}, {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TImageLayout layout = ColorImage(c.SamplesPerPixel, c.Samples, c.Planar);
        layout.Photometric = c.Photometric;
        layout.ExtraSamples = c.ExtraSamples;
        const TBitDepthResult result = AnalyzeFile(BuildImage(layout).Build());
        EXPECT_EQ(result.Error, "");
        EXPECT_EQ(result.UniqueValues, c.Unique);
        const bool alphaCounted = std::find(c.Unique.begin(), c.Unique.end(), a) != c.Unique.end();
        EXPECT_EQ(result.MaxValue, alphaCounted ? a : c.Unique.back());
    }
}

// A file of strips given as raw bytes, each placed with its own offset and byte count.
struct TStrip {
    TBytes Bytes;
    std::optional<std::uint32_t> Offset; // instead of the place of the bytes
    std::optional<std::uint32_t> ByteCount;
};

TStrip Strip(TBytes ABytes) {
    return {std::move(ABytes), std::nullopt, std::nullopt};
}

TStrip PlacedStrip(std::uint32_t AOffset, std::uint32_t AByteCount) {
    return {{}, AOffset, AByteCount};
}

TTiffBuilder StripFile(std::uint16_t ASamplesPerPixel, const std::vector<TStrip>& AStrips) {
    TImageLayout layout = GrayImage({0});
    layout.SamplesPerPixel = ASamplesPerPixel;
    layout.Photometric = ASamplesPerPixel == 4 ? 2 : 1;
    TTiffBuilder builder = BuildImage(layout);
    std::vector<std::uint32_t> offsets, counts;
    for (const TStrip& strip : AStrips) {
        const std::uint32_t at = builder.AddBlob(strip.Bytes);
        offsets.push_back(strip.Offset.value_or(at));
        counts.push_back(strip.ByteCount.value_or(std::uint32_t(strip.Bytes.size())));
    }
    builder.Set(tagStripOffsets, dtLong, offsets).Set(tagStripByteCounts, dtLong, counts);
    return builder;
}

TEST(AnalyzeBitDepth, OddStripLengthIgnoresTheLastByte) {
    // Read in pairs across strips, the odd byte would make 0x2299 or 0x9922.
    const TBitDepthResult result =
        AnalyzeFile(StripFile(1, {Strip({0x11, 0x00, 0x22, 0x00, 0x99}), Strip({0x22, 0x00})}).Build());
    EXPECT_EQ(result.Error, "");
    EXPECT_EQ(result.UniqueValues, (TValues{0x11, 0x22}));
    EXPECT_EQ(result.TotalSamples, 3); // (5 + 2) div 2
}

TEST(AnalyzeBitDepth, EveryStripStartsAtChannelZero) {
    // RGBA: the first strip holds one pixel and a lone red sample; the second strip's alpha is its
    // fourth.
    TTiffBuilder builder =
        StripFile(4, {Strip({1, 0, 2, 0, 3, 0, 0x34, 0x12, 4, 0}), Strip({5, 0, 6, 0, 7, 0, 0x34, 0x12})});
    builder.Set(tagExtraSamples, dtShort, {2});
    const TBitDepthResult result = AnalyzeFile(builder.Build());
    EXPECT_EQ(result.UniqueValues, (TValues{1, 2, 3, 4, 5, 6, 7}));
    ASSERT_EQ(result.Channels.size(), 3u);
    EXPECT_EQ(result.Channels[0].DistinctValues, 3); // 1, 4 and 5
    EXPECT_EQ(result.Channels[0].MaxValue, 5);
}

TEST(AnalyzeBitDepth, StripsOfNoBytesAreIgnoredWhereverTheyPoint) {
    const TBytes probe =
        StripFile(1, {Strip({0x10, 0}), PlacedStrip(0, 0), PlacedStrip(0, 0), PlacedStrip(0, 0)}).Build();
    const auto size = std::uint32_t(probe.size());
    struct TCase {
        const char* Name;
        std::uint32_t GoodBytes; // of the first strip
        TValues Unique;
    };
    const std::vector<TCase> cases = {
        {"one strip with bytes among them", 2, {0x10}},
        {"no strip with bytes", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TStrip good = Strip({0x10, 0});
        good.ByteCount = c.GoodBytes;
        // Past the end, over the header, over the IFD: nothing to read, nothing to refuse.
        TTiffBuilder builder =
            StripFile(1, {good, PlacedStrip(size + 100, 0), PlacedStrip(2, 0), PlacedStrip(size - 4, 0)});
        ASSERT_EQ(builder.Build().size(), size);
        std::vector<int> progress;
        const TBitDepthResult result =
            AnalyzeFile(builder.Build(), amPrecise, [&](int APercent) { progress.push_back(APercent); });
        EXPECT_EQ(result.Error, "");
        EXPECT_EQ(result.UniqueValues, c.Unique);
        EXPECT_EQ(result.StripCount, 4);
        EXPECT_EQ(result.TotalSamples, c.GoodBytes / 2);
        EXPECT_EQ(progress.size(), c.Unique.size()) << "only scanned strips report progress";
        if (c.Unique.empty()) {
            EXPECT_EQ(result.MinValue, 65535);
            EXPECT_EQ(result.MaxValue, 0);
            EXPECT_EQ(result.HighBit, 0);
            EXPECT_EQ(result.UniqueValueCount, 0);
            EXPECT_TRUE(result.IsInconclusive);
        }
    }
}

TValues RandomSamples(std::size_t ACount, std::uint16_t AMask) {
    std::mt19937 random(7);
    TValues samples(ACount);
    for (auto& sample : samples)
        sample = std::uint16_t(random() & AMask);
    return samples;
}

TEST(AnalyzeBitDepth, LongStripsGiveEveryValueInOrderOfFirstAppearance) {
    // Long enough for the block-wise test of known values; a strip length that is no multiple of 4.
    TValues samples = RandomSamples(3 * 3331, 0x0FFF);
    samples[2000] = 0xF123;
    TValues unique;
    for (std::uint16_t sample : samples)
        if (std::find(unique.begin(), unique.end(), sample) == unique.end())
            unique.push_back(sample);
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "MM" : "II");
        TImageLayout layout = ColorImage(3, samples);
        layout.BigEndian = bigEndian;
        layout.StripsPerPlane = 3;
        const TBitDepthResult result = AnalyzeFile(BuildImage(layout).Build());
        EXPECT_EQ(result.UniqueValues, unique);
        EXPECT_EQ(result.MinValue, *std::min_element(samples.begin(), samples.end()));
        EXPECT_EQ(result.MaxValue, 0xF123);
        EXPECT_TRUE(result.IsActually16Bit);
    }
}

// Files larger than the pieces the samples are read ahead in: one strip cut into several pieces,
// and many small strips gathered into each piece; a planar alpha plane, never counted, among them.
TEST(AnalyzeBitDepth, FilesReadInManyPiecesGiveEveryValueInOrder) {
    struct TCase {
        const char* Name;
        std::uint16_t Planar;
        std::uint32_t StripsPerPlane;
    };
    const std::vector<TCase> cases = {
        {"interleaved, one strip", 1, 1},
        {"interleaved, many strips", 1, 700},
        {"planar, many strips", 2, 300},
    };
    const std::size_t pixels = 180000;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TImageLayout layout = ColorImage(4, RandomSamples(4 * pixels, 0xFFFF), c.Planar);
        layout.ExtraSamples = {2};
        layout.Height = c.StripsPerPlane;
        layout.Width = std::uint32_t(pixels / c.StripsPerPlane);
        layout.Samples.resize(std::size_t(4) * layout.Width * layout.Height);
        layout.StripsPerPlane = c.StripsPerPlane;
        TValues unique;
        std::vector<bool> seen(65536);
        const std::size_t planeSamples = std::size_t(layout.Width) * layout.Height;
        for (std::size_t i = 0; i < layout.Samples.size(); ++i) {
            const bool alpha = c.Planar == 2 ? i / planeSamples == 3 : i % 4 == 3;
            const std::uint16_t sample = layout.Samples[i];
            if (!alpha && !seen[sample]) {
                seen[sample] = true;
                unique.push_back(sample);
            }
        }
        const TBitDepthResult result = AnalyzeFile(BuildImage(layout).Build());
        EXPECT_EQ(result.Error, "");
        EXPECT_EQ(result.UniqueValues, unique);
    }
}

TEST(AnalyzeBitDepth, DepthOnlyAgreesWithPreciseWithoutTheList) {
    struct TCase {
        const char* Name;
        TImageLayout Layout;
    };
    TImageLayout planar = ColorImage(3, RandomSamples(3 * 4000, 0xFFFF), 2);
    planar.StripsPerPlane = 4;
    const std::vector<TCase> cases = {
        {"interleaved 16-bit", ColorImage(3, RandomSamples(3 * 4000, 0xFFFF))},
        {"interleaved zero-extended", ColorImage(3, RandomSamples(3 * 4000, 0x00FF))},
        {"planar 16-bit", planar},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TBytes file = BuildImage(c.Layout).Build();
        const TBitDepthResult precise = AnalyzeFile(file, amPrecise);
        const TBitDepthResult depthOnly = AnalyzeFile(file, amDepthOnly);
        EXPECT_EQ(precise.Error, "");
        EXPECT_EQ(depthOnly.Error, "");
        EXPECT_EQ(depthOnly.IsActually8Bit, precise.IsActually8Bit);
        EXPECT_EQ(depthOnly.IsActually16Bit, precise.IsActually16Bit);
        EXPECT_EQ(depthOnly.IsSignExtendedSuspicious, precise.IsSignExtendedSuspicious);
        EXPECT_EQ(depthOnly.MinValue, precise.MinValue);
        EXPECT_EQ(depthOnly.MaxValue, precise.MaxValue);
        EXPECT_EQ(depthOnly.UniqueValueCount, precise.UniqueValueCount);
        EXPECT_EQ(precise.UniqueValues.size(), std::size_t(precise.UniqueValueCount));
        EXPECT_GT(precise.HighBit, 0);
        EXPECT_EQ(depthOnly.HighBit, 0);
        EXPECT_TRUE(depthOnly.UniqueValues.empty());
    }
}

TEST(AnalyzeBitDepth, PlanarScanCountsEverySample) {
    // Two strips per plane. 0x1234 clears all three patterns early on; the statistics still
    // describe every sample, as in the interleaved scan.
    const TValues samples = {
        0x0001, 0x1234, 0x5555, 0x6666, // red, strip 0
        0x0007, 0x7777, 0x8888, 0x9999, // red, strip 1
        0x000A, 0xAAAA, 0xBBBB, 0xCCCC, // green
        0x000D, 0xDDDD, 0xEEEE, 0xEEEE, // green
        0x000F, 0x0F0F, 0x0F0F, 0x0F0F, // blue
        0x0011, 0x1111, 0x1111, 0x1111, // blue
    };
    TImageLayout planar = ColorImage(3, samples, 2);
    planar.StripsPerPlane = 2;
    const TBitDepthResult complete16 = AnalyzeFile(BuildImage(planar).Build());
    EXPECT_EQ(complete16.Error, "");
    EXPECT_EQ(complete16.UniqueValues,
              (TValues{0x0001, 0x1234, 0x5555, 0x6666, 0x0007, 0x7777, 0x8888, 0x9999, 0x000A, 0xAAAA, 0xBBBB, 0xCCCC,
                       0x000D, 0xDDDD, 0xEEEE, 0x000F, 0x0F0F, 0x0011, 0x1111}));
    EXPECT_EQ(complete16.MinValue, 1);
    EXPECT_EQ(complete16.MaxValue, 0xEEEE);
    EXPECT_TRUE(complete16.IsActually16Bit);

    // The interleaved scan looks at every sample.
    const TBitDepthResult interleaved = AnalyzeFile(BuildImage(ColorImage(3, samples)).Build());
    EXPECT_EQ(interleaved.UniqueValueCount, 19);
    EXPECT_EQ(interleaved.MaxValue, 0xEEEE);

    // While a pattern holds, the planar scan reads on.
    TValues widened(samples.size());
    for (std::size_t i = 0; i < widened.size(); ++i)
        widened[i] = std::uint16_t(257 * (i % 200));
    planar.Samples = widened;
    const TBitDepthResult complete = AnalyzeFile(BuildImage(planar).Build());
    EXPECT_EQ(complete.UniqueValues, widened);
    EXPECT_TRUE(complete.IsActually8Bit);
}

struct TProgressCase {
    const char* Name;
    TImageLayout Layout;
    std::vector<int> Expected;
};

std::vector<int> Sequence(int ACount, std::function<int(int)> AValue) {
    std::vector<int> values;
    for (int i = 0; i < ACount; ++i)
        values.push_back(AValue(i));
    return values;
}

TImageLayout StripsImage(std::uint32_t AStripsPerPlane, std::uint16_t ASamplesPerPixel = 1, std::uint16_t APlanar = 1) {
    TImageLayout layout =
        ColorImage(ASamplesPerPixel, TValues(std::size_t(AStripsPerPlane) * ASamplesPerPixel, 0x0101), APlanar);
    layout.StripsPerPlane = AStripsPerPlane;
    return layout;
}

TEST(AnalyzeBitDepthWithProgress, ReportsAfterEveryStepthScannedStrip) {
    const std::vector<TProgressCase> cases = {
        {"one strip", StripsImage(1), {0}},
        {"150 strips, every strip", StripsImage(150), Sequence(150, [](int i) { return i * 100 / 150; })},
        {"1000 strips, every 10th", StripsImage(1000), Sequence(100, [](int i) { return (10 * i + 9) * 100 / 1000; })},
        {"planar RGB divides by two planes, capped", StripsImage(2, 3, 2), {25, 50, 75, 100, 100, 100}},
        {"planar gray divides by its one plane", StripsImage(4, 1, 2), {25, 50, 75, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<int> progress;
        const TBitDepthResult result =
            AnalyzeFile(BuildImage(c.Layout).Build(), amPrecise, [&](int APercent) { progress.push_back(APercent); });
        EXPECT_EQ(result.Error, "");
        EXPECT_EQ(progress, c.Expected);
    }
}

TEST(AnalyzeBitDepth, TotalPixelsFromSamplesWhenASideIsZero) {
    TImageLayout layout = ColorImage(3, TValues(3 * 10, 0x0101));
    layout.Width = 0;
    const TBitDepthResult result = AnalyzeFile(BuildImage(layout).Build());
    EXPECT_EQ(result.Error, "");
    EXPECT_EQ(result.TotalSamples, 30);
    EXPECT_EQ(result.TotalPixels, 10);
}

TEST(AnalyzeBitDepth, ReportsEachFailureInTheResult) {
    TImageLayout fiveStrips = ColorImage(3, TValues(15, 0x0101), 2);
    fiveStrips.StripsPerPlane = 1;
    TTiffBuilder fiveStripFile = BuildImage(fiveStrips);
    fiveStripFile.Set(tagStripOffsets, dtLong, {8, 10, 12, 14, 16}).Set(tagStripByteCounts, dtLong, {2, 2, 2, 2, 2});

    TTiffBuilder planar3 = BuildImage(ColorImage(3, TValues(6, 0x0101)));
    planar3.Set(tagPlanarConfiguration, dtShort, {3});

    TImageLayout zeroSamples = GrayImage({0x0101, 0x0202});
    zeroSamples.SamplesPerPixel = 0;
    TImageLayout zeroSamplesNoWidth = zeroSamples;
    zeroSamplesNoWidth.Width = 0;
    TImageLayout zeroSamplesPlanar = zeroSamples;
    zeroSamplesPlanar.Planar = 2;
    zeroSamplesPlanar.StripsPerPlane = 1;
    TTiffBuilder zeroPlanarFile = BuildImage(zeroSamplesPlanar);
    zeroPlanarFile.Set(tagStripOffsets, dtLong, {8}).Set(tagStripByteCounts, dtLong, {4});

    struct TCase {
        const char* Name;
        TBytes File;
        std::string Error;
        std::int64_t TotalPixels;
    };
    const std::string divisionByZero = "Ошибка при анализе: Division by zero";
    const std::vector<TCase> cases = {
        {"planar, 5 strips for 3 planes", fiveStripFile.Build(),
         "Некорректная структура planar TIFF: StripCount не кратен SamplesPerPixel", 5},
        {"PlanarConfiguration 3", planar3.Build(), "Неподдерживаемая PlanarConfiguration: 3", 2},
        {"SamplesPerPixel 0, interleaved", BuildImage(zeroSamples).Build(), divisionByZero, 2},
        {"SamplesPerPixel 0, no width", BuildImage(zeroSamplesNoWidth).Build(), divisionByZero, 0},
        {"SamplesPerPixel 0, planar", zeroPlanarFile.Build(), divisionByZero, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TBitDepthResult result = AnalyzeFile(c.File);
        ExpectFailure(result, c.Error);
        EXPECT_TRUE(result.UniqueValues.empty());
        EXPECT_EQ(result.MinValue, 65535);
        EXPECT_EQ(result.TotalPixels, c.TotalPixels); // filled before the failure
        EXPECT_EQ(result.BitsPerSample, 16);
    }
}

TEST(AnalyzeBitDepth, FilesThatCannotBeReadGiveAnError) {
    TTempDir dir;
    const fs::path missing = dir / "missing.tif";
    ExpectFailure(TTIFFBitDepthAnalyzer().AnalyzeBitDepth(missing, amPrecise),
                  "Не удалось открыть файл: " + missing.string());

    // Only regular files are opened; a FIFO never blocks the analysis.
    fs::create_directory(dir / "folder.tif");
    const std::string folder = "Указан путь к папке, а не к файлу: ";
    const std::string special = "Это не обычный файл (канал, устройство или сокет): ";
    std::vector<std::pair<fs::path, std::string>> notFiles{{dir / "folder.tif", folder}, {NullDevice(), special}};
    if (MakeFifo(dir / "fifo.tif"))
        notFiles.push_back({dir / "fifo.tif", special});
    for (const auto& [notAFile, refusal] : notFiles)
        ExpectFailure(TTIFFBitDepthAnalyzer().AnalyzeBitDepth(notAFile, amPrecise), refusal + PathToUtf8(notAFile));

    for (const TBytes& bytes : {TBytes{}, TBytes{'I', 'I', 42}}) {
        WriteFile(dir / "tiny.tif", bytes);
        const TBitDepthResult rejected = TTIFFBitDepthAnalyzer().AnalyzeBitDepth(dir / "tiny.tif", amPrecise);
        EXPECT_EQ(rejected.RejectionReason, "Файл слишком мал для TIFF");
        EXPECT_EQ(rejected.Error, "Файл отклонен: Файл слишком мал для TIFF");
    }
}

} // namespace
} // namespace kvaderon
