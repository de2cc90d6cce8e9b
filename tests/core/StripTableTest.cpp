// The strip table's own rules, through the inverter and the analyzer alike.
#include "InverterTestSupport.h"
#include "TIFFBitDepthAnalyzer.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

using namespace test;

const std::string pastTheEnd = "Полоса изображения выходит за конец файла (файл обрезан или повреждён)";
const std::string overHeader = "Полоса изображения заходит на заголовок или каталог тегов (файл повреждён)";
const std::string overlap = "Полосы изображения перекрываются (файл повреждён)";
const std::string planarCount = "Некорректная структура planar TIFF: StripCount не кратен SamplesPerPixel";

// Eight samples at offset 8..24 and the IFD right after them, then the arrays that do not fit
// into their entries (the strip table's, when it has two strips or more); the table is set by hand.
// Offsets turns the file's size and the IFD's first and end offsets into the table's offsets.
using TOffsets =
    std::function<std::vector<std::uint32_t>(std::uint32_t ASize, std::uint32_t AIFD, std::uint32_t AIFDEnd)>;

struct TTableCase {
    const char* Name;
    TOffsets Offsets;
    std::vector<std::uint32_t> Counts;
    std::string Reason; // empty: accepted
    std::uint16_t Planar = 1;
    bool PartsMessage = false; // an error of the analysis, not a rejection
};

TBytes TableFile(const TTableCase& ACase) {
    TImageLayout layout;
    layout.Height = 1;
    layout.Planar = ACase.Planar;
    layout.SamplesPerPixel = ACase.Planar == 2 ? 2 : 1;
    layout.Width = ACase.Planar == 2 ? 4 : 8;
    TTiffBuilder builder = BuildImage(layout);
    // Every table has the same length, so the file's size and IFD offset do not depend on its values.
    builder.Set(tagStripOffsets, dtLong, std::vector<std::uint32_t>(ACase.Counts.size(), 8));
    builder.Set(tagStripByteCounts, dtLong, ACase.Counts);
    const TBytes probe = builder.Build();
    const std::uint32_t ifd = probe[4] | probe[5] << 8 | probe[6] << 16 | std::uint32_t(probe[7]) << 24;
    const std::uint32_t ifdEnd = ifd + 2 + 12 * (probe[ifd] | probe[ifd + 1] << 8) + 4;
    builder.Set(tagStripOffsets, dtLong, ACase.Offsets(std::uint32_t(probe.size()), ifd, ifdEnd));
    return builder.Build();
}

TEST(StripTable, RefusedAlikeByInverterAndAnalyzerInTheirOrder) {
    auto fixed = [](std::vector<std::uint32_t> AOffsets) {
        return [AOffsets](std::uint32_t, std::uint32_t, std::uint32_t) { return AOffsets; };
    };
    const std::vector<TTableCase> cases = {
        {"adjacent strips", fixed({8, 16}), {8, 8}, ""},
        {"strip ending where the IFD begins", fixed({8}), {16}, ""},
        {"strip over the byte counts at the end of the file",
         [](std::uint32_t ASize, std::uint32_t, std::uint32_t) {
             return std::vector<std::uint32_t>{8, ASize - 2};
         },
         {8, 2},
         overHeader},
        {"identical strips", fixed({8, 8, 16}), {8, 8, 8}, ""},
        {"offset past the end", fixed({8, 100000}), {4, 4}, pastTheEnd},
        {"one byte past the end",
         [](std::uint32_t ASize, std::uint32_t, std::uint32_t) {
             return std::vector<std::uint32_t>{8, ASize - 1};
         },
         {4, 2},
         pastTheEnd},
        {"offset + count wrapping 32 bits", fixed({0xFFFFFFF0u, 8}), {0x20, 2}, pastTheEnd},
        {"over the header", fixed({6}), {4}, overHeader},
        {"over the entry count",
         [](std::uint32_t, std::uint32_t AIFD, std::uint32_t) { return std::vector<std::uint32_t>{AIFD - 2}; },
         {4},
         overHeader},
        {"over the next-IFD offset",
         [](std::uint32_t, std::uint32_t, std::uint32_t AIFDEnd) {
             return std::vector<std::uint32_t>{8, AIFDEnd - 1};
         },
         {4, 2},
         overHeader},
        {"partial overlap", fixed({8, 12}), {8, 8}, overlap},
        {"one inside another", fixed({8, 10}), {16, 4}, overlap},
        {"same offset, other length", fixed({8, 8}), {16, 4}, overlap},
        {"overlap across the table", fixed({20, 8, 18}), {4, 8, 4}, overlap},
        {"past the end comes before overlap", fixed({8, 10, 100000}), {8, 8, 4}, pastTheEnd},
        {"the header comes before overlap", fixed({4, 8, 10}), {4, 8, 4}, overHeader},
        {"the planar count keeps its message", fixed({8, 10, 100000}), {8, 8, 4}, planarCount, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TBytes file = TableFile(c);
        const TInversion inversion = InvertBytes(file);
        const auto copy = ExactCopy(file);
        const TBitDepthResult analysis =
            TTIFFBitDepthAnalyzer().AnalyzeBytes(copy.get(), file.size(), TAnalysisMode::amPrecise);
        if (c.Reason.empty()) {
            EXPECT_EQ(inversion.Error, "");
            EXPECT_EQ(analysis.Error, "");
            continue;
        }
        const std::size_t reasonAt = inversion.Error.find(": ");
        EXPECT_EQ(inversion.Error.substr(reasonAt == std::string::npos ? 0 : reasonAt + 2), c.Reason);
        EXPECT_TRUE(inversion.Output.empty());
        if (c.PartsMessage) {
            EXPECT_EQ(analysis.Error, c.Reason);
            continue;
        }
        EXPECT_EQ(analysis.RejectionReason, c.Reason);
        EXPECT_EQ(analysis.Error, "Файл отклонен: " + c.Reason);
        EXPECT_EQ(analysis.StripCount, 0) << "a rejection leaves the structure cleared";
        EXPECT_FALSE(analysis.IsActually16Bit || analysis.IsActually8Bit);
    }
}

TEST(StripTable, IdenticalStripsAreScannedOnceAndCountedInTheTotals) {
    TImageLayout layout;
    layout.Width = 2;
    layout.Height = 1;
    layout.Samples = {0x0101, 0x1234};
    TTiffBuilder builder = BuildImage(layout);
    builder.Set(tagStripOffsets, dtLong, {8, 8, 8});
    builder.Set(tagStripByteCounts, dtLong, {4, 4, 4});
    std::vector<int> progress;
    const TBytes file = builder.Build();
    const TBitDepthResult scanned = TTIFFBitDepthAnalyzer().AnalyzeBytes(
        file.data(), file.size(), TAnalysisMode::amPrecise, [&](int APercent) { progress.push_back(APercent); });
    EXPECT_EQ(scanned.Error, "");
    EXPECT_EQ(scanned.StripCount, 3);
    EXPECT_EQ(scanned.TotalSamples, 6);
    EXPECT_EQ(scanned.TotalPixels, 2);
    EXPECT_EQ(scanned.UniqueValues, (std::vector<std::uint16_t>{0x0101, 0x1234}));
    EXPECT_EQ(progress, std::vector<int>{0}) << "only the first of the three is scanned";
}

} // namespace
} // namespace kvaderon
