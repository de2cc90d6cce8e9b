#include "CliTestSupport.h"

#include "AnalysisReport.h"
#include "FlatJson.h"
#include "PathText.h"
#include "TIFFBitDepthAnalyzer.h"

#include <functional>
#include <map>
#include <variant>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class AnalyzeCli : public TCliTest {};

TEST_F(AnalyzeCli, TextReportsAreTheSharedReportsInListOrder) {
    const fs::path in = Folder("in");
    TImageLayout replicated = Image(1, 8);
    for (auto& sample : replicated.Samples)
        sample = std::uint16_t(257 * (sample % 256));
    const std::vector<fs::path> files{
        Put(in / "sixteen.tif", BuildImage(Image(1)).Build()),
        Put(in / "eight.tif", BuildImage(replicated).Build()),
        Put(in / "broken.tif", TBytes{'M', 'M', 0, 42}),
        in / "missing.tif",
        Put(in / "shared.tif",
            [] {
                TTiffBuilder builder = BuildImage(Image(2));
                builder.Set(tagStripOffsets, dtLong, {8, 10});
                builder.Set(tagStripByteCounts, dtLong, {8, 8});
                return builder.Build();
            }()),
    };
    std::string expected;
    for (const auto& file : files)
        expected += PlainText(BuildAnalysisReport(
            file.filename().string(), TTIFFBitDepthAnalyzer().AnalyzeBitDepth(file, TAnalysisMode::amPrecise)));
    ASSERT_NE(expected.find("Репликация"), std::string::npos);
    ASSERT_NE(expected.find("ОШИБКА: missing.tif: Не удалось открыть файл: "), std::string::npos);
    ASSERT_NE(expected.find("ОШИБКА: broken.tif: Файл отклонен: "), std::string::npos);
    ASSERT_NE(expected.find("Файл отклонен: Полосы изображения перекрываются (файл повреждён)"), std::string::npos);

    const TProgramResult all =
        Cli({"analyze", files[0].string(), files[1].string(), files[2].string(), files[3].string(), files[4].string()});
    EXPECT_EQ(all.ExitCode, 1);
    EXPECT_EQ(all.Out, expected);

    const TProgramResult good = Cli({"analyze", files[0].string(), files[1].string()});
    EXPECT_EQ(good.ExitCode, 0);
    EXPECT_EQ(good.Out.substr(0, 11), "sixteen.tif");
}

// A name whose JSON needs escapes: quotes and a backslash where names may hold them; on Windows,
// where they may not, the backslashes of the path itself and a non-Latin name.
std::string QuotedName() {
    return std::filesystem::path::preferred_separator == '/' ? "rgba \"quoted\" \\ name.tif" : "rgba «ёж» name.tif";
}

TEST_F(AnalyzeCli, JsonLinesCarryTheEngineResult) {
    const fs::path in = Folder("in");
    TImageLayout rgba;
    rgba.BigEndian = true;
    rgba.SamplesPerPixel = 4;
    rgba.Photometric = 2;
    rgba.ExtraSamples = {2};
    const std::vector<fs::path> files{
        Put(in / Utf8ToPath(QuotedName()), BuildImage(rgba).Build()),
        Put(in / "broken.tif", TBytes{'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0}),
    };
    for (const auto mode : {TAnalysisMode::amPrecise, TAnalysisMode::amDepthOnly}) {
        std::vector<std::string> arguments{"analyze", "--json"};
        if (mode == TAnalysisMode::amDepthOnly)
            arguments.push_back("--depth-only");
        for (const auto& file : files)
            arguments.push_back(PathToUtf8(file));
        const TProgramResult run = Cli(arguments);
        EXPECT_EQ(run.ExitCode, 1);
        const auto lines = Lines(run.Out);
        ASSERT_EQ(lines.size(), files.size());

        for (std::size_t i = 0; i < files.size(); ++i) {
            const TBitDepthResult r = TTIFFBitDepthAnalyzer().AnalyzeBitDepth(files[i], mode);
            std::vector<std::string> keys;
            const auto json = TFlatJson::Parse(lines[i], keys);
            const std::vector<std::string> expectedKeys{"File",
                                                        "IsActually8Bit",
                                                        "IsActually16Bit",
                                                        "IsSignExtendedSuspicious",
                                                        "MaxValue",
                                                        "MinValue",
                                                        "HighBit",
                                                        "TotalSamples",
                                                        "TotalPixels",
                                                        "UniqueValueCount",
                                                        "HasThumbnail",
                                                        "Error",
                                                        "RejectionReason",
                                                        "ImageWidth",
                                                        "ImageHeight",
                                                        "BitsPerSample",
                                                        "Compression",
                                                        "SamplesPerPixel",
                                                        "StripCount",
                                                        "IsBigEndian",
                                                        "PhotometricInterpretation",
                                                        "ExtraSamples",
                                                        "PlanarConfiguration",
                                                        "Verdict",
                                                        "EffectiveBits",
                                                        "Channels",
                                                        "Images"};
            EXPECT_EQ(keys, expectedKeys);
            TJsonObject expected{
                {"File", PathToUtf8(files[i])},
                {"IsActually8Bit", r.IsActually8Bit},
                {"IsActually16Bit", r.IsActually16Bit},
                {"IsSignExtendedSuspicious", r.IsSignExtendedSuspicious},
                {"MaxValue", std::int64_t(r.MaxValue)},
                {"MinValue", std::int64_t(r.MinValue)},
                {"HighBit", std::int64_t(r.HighBit)},
                {"TotalSamples", r.TotalSamples},
                {"TotalPixels", r.TotalPixels},
                {"UniqueValueCount", std::int64_t(r.UniqueValueCount)},
                {"HasThumbnail", r.HasThumbnail},
                {"Error", r.Error},
                {"RejectionReason", r.RejectionReason},
                {"ImageWidth", std::int64_t(r.ImageWidth)},
                {"ImageHeight", std::int64_t(r.ImageHeight)},
                {"BitsPerSample", std::int64_t(r.BitsPerSample)},
                {"Compression", std::int64_t(r.Compression)},
                {"SamplesPerPixel", std::int64_t(r.SamplesPerPixel)},
                {"StripCount", std::int64_t(r.StripCount)},
                {"IsBigEndian", r.BigEndian},
                {"PhotometricInterpretation", std::int64_t(r.PhotometricInterpretation)},
                {"ExtraSamples", std::vector<std::int64_t>(r.ExtraSamples.begin(), r.ExtraSamples.end())},
                {"PlanarConfiguration", std::int64_t(r.PlanarConfiguration)},
                {"Verdict", std::string(r.Error.empty() ? VerdictWord(r.Verdict) : "error")},
                {"EffectiveBits", std::int64_t(r.EffectiveBits)},
            };
            for (const char* key : {"Channels", "Images"}) {
                expected[key] = json.at(key);
                const TJsonValue& value = json.at(key);
                const auto size = std::holds_alternative<TJsonObjects>(value)
                                      ? std::get<TJsonObjects>(value).Texts.size()
                                      : std::get<std::vector<std::int64_t>>(value).size(); // [] has no objects
                EXPECT_EQ(size, std::string(key) == "Channels" ? r.Channels.size() : r.Images.size());
            }
            EXPECT_EQ(json, expected) << lines[i];
        }
        // The facts the engine found are really there, not defaults on both sides.
        std::vector<std::string> keys;
        const auto first = TFlatJson::Parse(lines[0], keys);
        EXPECT_EQ(std::get<bool>(first.at("IsBigEndian")), true);
        EXPECT_EQ(std::get<std::vector<std::int64_t>>(first.at("ExtraSamples")), (std::vector<std::int64_t>{2}));
        EXPECT_EQ(std::get<std::int64_t>(first.at("HighBit")) == 0, mode == TAnalysisMode::amDepthOnly);
        EXPECT_FALSE(std::get<std::string>(TFlatJson::Parse(lines[1], keys).at("Error")).empty());
    }
}

// The figures a photographer asks for, as a script reads them.
TEST_F(AnalyzeCli, JsonTellsEffectiveDepthInconclusiveFilesAndThePageMap) {
    const fs::path in = Folder("in");
    const auto grey = [](const std::function<std::uint16_t(std::uint32_t)>& AValue) {
        TImageLayout layout;
        layout.Width = 64;
        layout.Height = 64;
        layout.Samples.resize(SampleCount(layout));
        for (std::uint32_t i = 0; i < layout.Samples.size(); ++i)
            layout.Samples[i] = AValue(i);
        return layout;
    };
    TTiffBuilder pages = BuildImage(grey([](auto i) { return std::uint16_t(i * 40503u); }));
    auto thumbnail = ThumbnailEntries(pages, 8, 3);
    auto infrared = ThumbnailEntries(pages, 16, 1);
    infrared.front().Values = {2};
    pages.Set(tagSubIFDs, dtLong, {pages.AddIFD(thumbnail)});
    pages.SecondIFD(infrared);
    const std::vector<fs::path> files{
        Put(in / "shifted12.tif", BuildImage(grey([](auto i) { return std::uint16_t((i % 4096) << 4); })).Build()),
        Put(in / "low12.tif", BuildImage(grey([](auto i) { return std::uint16_t(i % 4096); })).Build()),
        Put(in / "flat.tif", BuildImage(grey([](auto) { return std::uint16_t(0x1234); })).Build()),
        Put(in / "pages.tif", pages.Build()),
    };
    std::vector<std::string> arguments{"analyze", "--json"};
    for (const auto& file : files)
        arguments.push_back(PathToUtf8(file));
    const TProgramResult run = Cli(arguments);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const auto lines = Lines(run.Out);
    ASSERT_EQ(lines.size(), files.size());
    const auto channel = [&](std::size_t AFile) {
        const auto texts = std::get<TJsonObjects>(TFlatJson::Parse(lines[AFile]).at("Channels")).Texts;
        EXPECT_EQ(texts.size(), 1u);
        return TFlatJson::Parse(texts.at(0));
    };

    const auto verdict = [&](std::size_t AFile) {
        const TJsonObject json = TFlatJson::Parse(lines[AFile]);
        return std::pair{std::get<std::string>(json.at("Verdict")), std::get<std::int64_t>(json.at("EffectiveBits"))};
    };
    EXPECT_EQ(verdict(0), std::pair(std::string("fewer-bits"), std::int64_t(12)));
    EXPECT_EQ(verdict(1), std::pair(std::string("16-bit"), std::int64_t(16)));
    EXPECT_EQ(verdict(2), std::pair(std::string("inconclusive"), std::int64_t(0)));
    EXPECT_EQ(std::get<std::int64_t>(channel(0).at("SignificantBits")), 12);
    EXPECT_EQ(std::get<std::string>(channel(0).at("Pattern")), "left-shifted");
    EXPECT_EQ(std::get<double>(channel(0).at("LevelsUsed")), 100.0);
    EXPECT_EQ(std::get<std::int64_t>(channel(1).at("HighestBit")), 11);
    EXPECT_EQ(std::get<std::string>(channel(1).at("Pattern")), "low-bits");
    EXPECT_EQ(std::get<std::int64_t>(channel(1).at("PatternBits")), 12);

    const TJsonObject flat = TFlatJson::Parse(lines[2]);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(flat.at("IsActually16Bit")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(flat.at("IsActually8Bit")));
    EXPECT_EQ(std::get<std::string>(flat.at("Verdict")), "inconclusive");
    EXPECT_EQ(std::get<std::string>(channel(2).at("Pattern")), "few-values");

    const TJsonObject map = TFlatJson::Parse(lines[3]);
    EXPECT_EQ(std::get<bool>(map.at("HasThumbnail")), true);
    const auto images = std::get<TJsonObjects>(map.at("Images")).Texts;
    ASSERT_EQ(images.size(), 3u);
    const std::vector<TJsonObject> expected{
        {{"Where", std::string("IFD 0")},
         {"Role", std::string("main")},
         {"Width", std::int64_t(64)},
         {"Height", std::int64_t(64)},
         {"BitsPerSample", std::int64_t(16)},
         {"SamplesPerPixel", std::int64_t(1)},
         {"Compression", std::int64_t(1)}},
        {{"Where", std::string("SubIFD 0 of IFD 0")},
         {"Role", std::string("reduced")},
         {"Width", std::int64_t(2)},
         {"Height", std::int64_t(2)},
         {"BitsPerSample", std::int64_t(8)},
         {"SamplesPerPixel", std::int64_t(3)},
         {"Compression", std::int64_t(1)}},
        {{"Where", std::string("IFD 1")},
         {"Role", std::string("page")},
         {"Width", std::int64_t(2)},
         {"Height", std::int64_t(2)},
         {"BitsPerSample", std::int64_t(16)},
         {"SamplesPerPixel", std::int64_t(1)},
         {"Compression", std::int64_t(1)}},
    };
    for (std::size_t i = 0; i < images.size(); ++i)
        EXPECT_EQ(TFlatJson::Parse(images[i]), expected[i]) << images[i];

    const TProgramResult text = Cli({"analyze", PathToUtf8(files[3])});
    EXPECT_NE(text.Out.find("Миниатюра: есть (SubIFD 0 в IFD 0)"), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("IFD 1: другая страница, 2×2, 16 бит × 1"), std::string::npos) << text.Out;
}

} // namespace
} // namespace kvaderon::test
