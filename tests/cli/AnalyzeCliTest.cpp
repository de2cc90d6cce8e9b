#include "CliTestSupport.h"

#include "AnalysisReport.h"
#include "FlatJson.h"
#include "PathText.h"
#include "TIFFBitDepthAnalyzer.h"

#include <map>
#include <variant>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class AnalyzeCli : public TCliTest {};

TEST_F(AnalyzeCli, TextReportsAreTheSharedReportsInListOrder) {
    const fs::path in = Folder("in");
    TImageLayout replicated = Image(1);
    for (auto& sample : replicated.Samples)
        sample = std::uint16_t(257 * (sample % 256));
    const std::vector<fs::path> files{
        Put(in / "sixteen.tif", BuildImage(Image(1)).Build()),
        Put(in / "eight.tif", BuildImage(replicated).Build()),
        Put(in / "broken.tif", TBytes{'M', 'M', 0, 42}),
        in / "missing.tif",
        Put(in / "shared.tif", [] {
            TTiffBuilder builder = BuildImage(Image(2));
            builder.Set(tagStripOffsets, typeLong, {8, 10});
            builder.Set(tagStripByteCounts, typeLong, {8, 8});
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

    const TProgramResult all = Cli({"analyze", files[0].string(), files[1].string(), files[2].string(),
                                    files[3].string(), files[4].string()});
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
            const std::vector<std::string> expectedKeys{
                "File", "IsActually8Bit", "IsActually16Bit", "IsSignExtendedSuspicious", "MaxValue", "MinValue",
                "HighBit", "TotalSamples", "TotalPixels", "UniqueValueCount", "HasThumbnail", "Error",
                "RejectionReason", "ImageWidth", "ImageHeight", "BitsPerSample", "Compression", "SamplesPerPixel",
                "StripCount", "IsBigEndian", "PhotometricInterpretation", "ExtraSamples", "PlanarConfiguration"};
            EXPECT_EQ(keys, expectedKeys);
            const std::map<std::string, TJsonValue> expected{
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
                {"IsBigEndian", r.IsBigEndian},
                {"PhotometricInterpretation", std::int64_t(r.PhotometricInterpretation)},
                {"ExtraSamples", std::vector<std::int64_t>(r.ExtraSamples.begin(), r.ExtraSamples.end())},
                {"PlanarConfiguration", std::int64_t(r.PlanarConfiguration)},
            };
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

} // namespace
} // namespace kvaderon::test
