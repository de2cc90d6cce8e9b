// Layouts that other TIFF writers produce, each through every reader of the engine: the inverter
// (and a second inversion of its positive), verify, the preview and the analysis.
#include "AnalysisReport.h"
#include "ColorText.h"
#include "InverterTestSupport.h"
#include "TIFFBitDepthAnalyzer.h"
#include "TiffPreview.h"
#include "Verification.h"

#include "ByteOrder.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

using namespace test;

std::uint16_t S(int AValue) {
    return std::uint16_t(AValue);
}

const std::vector<std::uint16_t> gray = {0x1234, 0x0000, 0xFFFF, 0x8000};
const std::vector<std::uint16_t> grayInverted = {0xEDCB, 0xFFFF, 0x0000, 0x7FFF};

TBytes Without(std::uint16_t ATag) {
    TTiffBuilder builder = BuildImage(Layout(1, 1, gray));
    builder.Remove(ATag);
    return builder.Build();
}

// A 16-bit grey image with reduced copies stored as SubIFDs by AAdd.
TBytes WithSubIFDs(const std::function<void(TTiffBuilder&)>& AAdd) {
    TTiffBuilder builder = BuildImage(Layout(1, 1, gray));
    AAdd(builder);
    return builder.Build();
}

std::uint32_t FirstIFD(const TBytes& AFile) {
    return ReadU32(AFile.data() + 4, false);
}

// The file with the next-IFD offset of its IFD at AIFD set to ANext.
TBytes LinkIFD(TBytes AFile, std::uint32_t AIFD, std::uint32_t ANext) {
    const std::uint16_t entries = ReadU16(AFile.data() + AIFD, false);
    for (std::uint32_t i = 0; i < 4; ++i)
        AFile[AIFD + 2 + 12 * entries + i] = std::uint8_t(ANext >> (8 * i));
    return AFile;
}

// A reduced copy whose strip is the main image's strip: one block of image data, two images.
TBytes ReducedOnTheMainStrips() {
    TTiffBuilder builder = BuildImage(Layout(1, 1, gray));
    std::vector<TEntry> reduced = {{tagNewSubfileType, dtLong, 1, {1}}};
    for (const TEntry& entry : builder.Entries())
        if (entry.Tag != tagImageWidth)
            reduced.push_back(entry);
    reduced.push_back({tagImageWidth, dtLong, 1, {2}});
    std::sort(reduced.begin(), reduced.end(), [](const TEntry& A, const TEntry& B) { return A.Tag < B.Tag; });
    builder.SecondIFD(reduced);
    return builder.Build();
}

std::string FormatRefusal(const char* ACodeAndName) {
    return std::string("Неподдерживаемый формат семплов: ") + ACodeAndName +
           "; поддерживаются 1 (целые без знака) и 2 (целые со знаком)";
}

struct TWrittenCase {
    const char* Name;
    TBytes File;
    std::string Refusal;                 // what both programs and the preview say; empty: taken
    std::vector<std::uint16_t> Positive; // the first samples of the positive, from offset 8
    std::size_t ColourChannels = 1;      // the channels the analysis reports
};

std::vector<TWrittenCase> WrittenCases() {
    const std::vector<std::uint16_t> five = {1, 2, 3, 4, 5};
    const std::vector<std::uint16_t> signedIn = {0x0000, 0x7FFF, 0x8000, 0xFFFF, 0x0001, 0xFFFE};
    const std::vector<std::uint16_t> signedOut = {0x7FFF, 0x0000, 0xFFFF, 0x8000, 0x7FFE, 0x8001};
    return {
        {"signed, interleaved", BuildImage(Layout(3, 2, signedIn, {}, 2)).Build(), "", signedOut, 3},
        {"signed, planar", BuildImage(Layout(3, 2, signedIn, {}, 2, 2)).Build(), "", signedOut, 3},
        {"float, interleaved",
         BuildImage(Layout(1, 1, gray, {}, 3)).Build(),
         FormatRefusal("3 (с плавающей точкой)"),
         {}},
        {"float, planar",
         BuildImage(Layout(3, 2, signedIn, {}, 3, 2)).Build(),
         FormatRefusal("3 (с плавающей точкой)"),
         {}},
        {"undefined sample format",
         BuildImage(Layout(1, 1, gray, {}, 4)).Build(),
         FormatRefusal("4 (неопределённый)"),
         {}},
        {"unknown sample format", BuildImage(Layout(1, 1, gray, {}, 7)).Build(), FormatRefusal("7 (неизвестный)"), {}},
        {"alpha, then an unspecified extra sample",
         BuildImage(Layout(5, 2, five, {2, 0})).Build(),
         "",
         {S(~1), S(~2), S(~3), 4, S(~5)},
         4},
        {"an unspecified extra sample, then alpha",
         BuildImage(Layout(5, 2, five, {0, 1})).Build(),
         "",
         {S(~1), S(~2), S(~3), S(~4), 5},
         4},
        {"two alpha channels", BuildImage(Layout(5, 2, five, {1, 2})).Build(), "", {S(~1), S(~2), S(~3), 4, 5}, 3},
        {"planar alpha, then an unspecified extra plane",
         BuildImage(Layout(5, 2, five, {2, 0}, {}, 2)).Build(),
         "",
         {S(~1), S(~2), S(~3), 4, S(~5)},
         4},
        {"no SamplesPerPixel", Without(tagSamplesPerPixel), "", grayInverted},
        {"no Compression", Without(tagCompression), "", grayInverted},
        {"SubIFDs of type IFD", WithSubIFDs([](TTiffBuilder& ABuilder) {
             ABuilder.Set(tagSubIFDs, dtIFD, {ABuilder.AddIFD(ThumbnailEntries(ABuilder, 16, 1))});
         }),
         "", grayInverted},
        {"SubIFDs chained by their next-IFD offsets", WithSubIFDs([](TTiffBuilder& ABuilder) {
             const std::uint32_t second = ABuilder.AddIFD(ThumbnailEntries(ABuilder, 16, 1));
             const std::uint32_t first = ABuilder.AddIFD(ThumbnailEntries(ABuilder, 8, 3), second);
             ABuilder.Set(tagSubIFDs, dtIFD, {first, second});
         }),
         "", grayInverted},
        {"IFD 1 that is also a SubIFD of IFD 0",
         [] {
             std::uint32_t reduced = 0;
             const TBytes file = WithSubIFDs([&](TTiffBuilder& ABuilder) {
                 reduced = ABuilder.AddIFD(ThumbnailEntries(ABuilder, 16, 1));
                 ABuilder.Set(tagSubIFDs, dtLong, {reduced});
             });
             return LinkIFD(file, FirstIFD(file), reduced);
         }(),
         "", grayInverted},
        {"a reduced copy on the main image's strips", ReducedOnTheMainStrips(), "", grayInverted},
    };
}

TEST(WrittenLayouts, BothProgramsTakeOrRefuseEachLayoutAlike) {
    const TTIFFBitDepthAnalyzer analyzer;
    for (const TWrittenCase& c : WrittenCases()) {
        SCOPED_TRACE(c.Name);
        TTempDir dir;
        WriteFile(dir / "negative.tif", c.File);
        const TBitDepthResult analysis = analyzer.AnalyzeBitDepth(dir / "negative.tif", TAnalysisMode::amPrecise);
        const TTiffPreview preview = MakeTiffPreview(dir / "negative.tif", 16);
        const TInversion once = InvertBytes(c.File, true);
        if (!c.Refusal.empty()) {
            EXPECT_NE(once.Error.find(c.Refusal), std::string::npos) << once.Error;
            EXPECT_EQ(analysis.Error, "Файл отклонен: " + c.Refusal);
            EXPECT_EQ(preview.Refusal, c.Refusal);
            continue;
        }
        ASSERT_EQ(once.Error, "");
        EXPECT_EQ(once.PreviewNotes, std::vector<std::string>{});
        EXPECT_EQ(SamplesAt8(once.Output, c.Positive.size(), false), c.Positive);
        EXPECT_EQ(InvertBytes(once.Output, true).Output, c.File);
        WriteFile(dir / "positive.tif", once.Output);
        EXPECT_TRUE(
            VerifyInversion(platform::SystemFileSystem(), dir / "negative.tif", dir / "positive.tif", true).Holds());
        EXPECT_EQ(analysis.Error, "");
        EXPECT_EQ(analysis.Channels.size(), c.ColourChannels);
        EXPECT_EQ(preview.Refusal, "");
    }
}

// The walk visits each IFD once however many routes lead to it; a chain that returns to an IFD it
// followed, or two IFDs sharing bytes, is damage.
TEST(WrittenLayouts, OnlyAChainBackOrOverlappingIFDsAreALoop) {
    const std::string damage = "Каталоги тегов ссылаются друг на друга по кругу или перекрываются (файл повреждён)";
    struct TWalkCase {
        const char* Name;
        TBytes File;
        std::size_t Images; // when taken
        std::string Refusal;
    };
    std::uint32_t reduced = 0;
    const TBytes withSubIFD = WithSubIFDs([&](TTiffBuilder& ABuilder) {
        reduced = ABuilder.AddIFD(ThumbnailEntries(ABuilder, 16, 1));
        ABuilder.Set(tagSubIFDs, dtLong, {reduced});
    });
    const std::uint32_t first = FirstIFD(withSubIFD);
    const std::vector<TWalkCase> cases = {
        {"IFD 1 is the SubIFD", LinkIFD(withSubIFD, first, reduced), 2, ""},
        {"a SubIFD whose next is IFD 0", LinkIFD(withSubIFD, reduced, first), 2, ""},
        {"the chain comes back to IFD 0", LinkIFD(withSubIFD, first, first), 0, damage},
        {"a SubIFD chain comes back to itself", LinkIFD(withSubIFD, reduced, reduced), 0, damage},
        {"IFD 1 overlaps IFD 0", LinkIFD(withSubIFD, first, first + 12), 0, damage},
    };
    for (const TWalkCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TInversion run = InvertBytes(c.File);
        const TBitDepthResult analysis =
            TTIFFBitDepthAnalyzer().AnalyzeBytes(ExactCopy(c.File).get(), c.File.size(), TAnalysisMode::amPrecise);
        if (c.Refusal.empty()) {
            EXPECT_EQ(run.Error, "");
            EXPECT_EQ(analysis.Images.size(), c.Images);
        } else {
            EXPECT_NE(run.Error.find(c.Refusal), std::string::npos) << run.Error;
            EXPECT_EQ(analysis.RejectionReason, c.Refusal);
        }
    }
}

// The report names the channels it counted: colour channels by the colour model, unspecified
// extra samples by their place among the extra samples; alpha channels are not listed.
TEST(WrittenLayouts, TheReportNamesUnspecifiedExtraSamples) {
    struct TNamesCase {
        std::vector<std::uint16_t> ExtraSamples;
        std::vector<std::string> Names;
    };
    const std::vector<TNamesCase> cases = {
        {{2, 0}, {"Красный: ", "Зелёный: ", "Синий: ", "Доп. канал 2: "}},
        {{0, 1}, {"Красный: ", "Зелёный: ", "Синий: ", "Доп. канал 1: "}},
        {{0, 0}, {"Красный: ", "Зелёный: ", "Синий: ", "Доп. канал 1: ", "Доп. канал 2: "}},
        {{1, 2}, {"Красный: ", "Зелёный: ", "Синий: "}},
    };
    for (const TNamesCase& c : cases) {
        TImageLayout layout;
        layout.SamplesPerPixel = 5;
        layout.Photometric = 2;
        layout.Width = 8;
        layout.Height = 4;
        layout.ExtraSamples = c.ExtraSamples;
        const TBytes file = BuildImage(layout).Build();
        const TBitDepthResult result =
            TTIFFBitDepthAnalyzer().AnalyzeBytes(ExactCopy(file).get(), file.size(), TAnalysisMode::amPrecise);
        ASSERT_EQ(result.Error, "");
        std::vector<std::string> names;
        for (const TTextRun& run : BuildAnalysisReport("f.tif", result))
            if (run.Role == TColorRole::crNames && run.Text.ends_with(": ") &&
                (names.empty() || names.back() != run.Text))
                names.push_back(run.Text);
        // The channel lines stand between the verdict and the table of the file's facts.
        const auto first = std::find(names.begin(), names.end(), "Красный: ");
        const auto end = std::find(first, names.end(), "Размеры (Ш×В): ");
        EXPECT_EQ(std::vector<std::string>(first, end), c.Names) << c.ExtraSamples.size();
    }
}

} // namespace
} // namespace kvaderon
