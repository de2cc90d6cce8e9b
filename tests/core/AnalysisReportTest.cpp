#include "AnalysisReport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kvaderon {
namespace {

TBitDepthResult SixteenBitRGB() {
    TBitDepthResult result;
    result.IsActually16Bit = true;
    result.MaxValue = 65535;
    result.MinValue = 0;
    result.HighBit = 16;
    result.TotalSamples = 72000000;
    result.TotalPixels = 24000000;
    result.UniqueValueCount = 65536;
    result.ImageWidth = 4000;
    result.ImageHeight = 6000;
    result.BitsPerSample = 16;
    result.Compression = 1;
    result.SamplesPerPixel = 3;
    result.StripCount = 6000;
    result.PhotometricInterpretation = 2;
    result.PlanarConfiguration = 1;
    return result;
}

std::vector<std::string> Lines(const std::string& AText) {
    std::vector<std::string> lines;
    std::istringstream stream(AText);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

TEST(AnalysisReport, CompleteReportLinesUpTheSecondColumn) {
    const std::string separator(83, '-');
    const std::string expected = "scan.tif\n"
                                 "Файл действительно содержит 16-битные данные\n" +
                                 separator + "\n"
                                 "Размеры (Ш×В): 4000×6000       Порядок байтов: IBM PC (Little-Endian)\n"
                                 "Цветовая модель: RGB           Порядок семплов: Перемежающийся (RGBRGB…)\n"
                                 "Каналов: 3 (из них альфа: 0)   Стрипов: 6000\n"
                                 "Уникальных значений: 65536     Пикселей: 24000000 (семплов: 72000000)\n"
                                 "Сжатие: без сжатия             Макс. значение семпла: 65535 (0xFFFF)\n"
                                 "Миниатюра: нет                 Мин. значение семпла: 0 (0x0000)\n" +
                                 separator + "\n\n";
    const TTextRuns runs = BuildAnalysisReport("scan.tif", SixteenBitRGB());
    EXPECT_EQ(PlainText(runs), expected);

    ASSERT_EQ(runs.size(), 3u + 6 * 4 + 1);
    EXPECT_EQ(runs[0], (TTextRun{"scan.tif\n", TColorRole::crFileName, true}));
    EXPECT_EQ(runs[1].Role, TColorRole::crOK);
    EXPECT_EQ(runs[2].Role, TColorRole::crSeparators);
    for (std::size_t i = 3; i < 27; ++i) {
        EXPECT_EQ(runs[i].Role, i % 2 == 1 ? TColorRole::crNames : TColorRole::crValues) << runs[i].Text;
        EXPECT_FALSE(runs[i].Bold);
    }
    EXPECT_EQ(runs.back().Role, TColorRole::crSeparators);
}

TEST(AnalysisReport, ValuesOfOtherFilesAndTheWidestFirstPair) {
    TBitDepthResult result = SixteenBitRGB();
    result.IsBigEndian = true;
    result.PlanarConfiguration = 2;
    result.PhotometricInterpretation = 7;
    result.SamplesPerPixel = 4;
    result.Compression = 7777;
    result.HasThumbnail = true;
    result.MaxValue = 4660;
    result.MinValue = 255;
    const auto lines = Lines(PlainText(BuildAnalysisReport("a.tif", result)));
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[3], "Размеры (Ш×В): 4000×6000          Порядок байтов: Macintosh (Big-Endian)");
    EXPECT_EQ(lines[4], "Цветовая модель: Неизвестно [7]   Порядок семплов: По каналам (RR…GG…BB…)");
    EXPECT_EQ(lines[5], "Каналов: 4 (из них альфа: 0)      Стрипов: 6000");
    EXPECT_EQ(lines[7], "Сжатие: Неизвестно [7777]         Макс. значение семпла: 4660 (0x1234)");
    EXPECT_EQ(lines[8], "Миниатюра: есть                   Мин. значение семпла: 255 (0x00FF)");
    EXPECT_EQ(lines[10], "");
}

TEST(AnalysisReport, VerdictFollowsFlagsAndMaximum) {
    const struct {
        bool Is8Bit, SignExtended;
        std::uint16_t MaxValue;
        const char* Text;
        TColorRole Role;
    } cases[] = {
        {true, false, 255, "8-битный контент в 16-битной обёртке → Zero-extended (0x00XX)", TColorRole::crError},
        {true, false, 0, "8-битный контент в 16-битной обёртке → Zero-extended (0x00XX)", TColorRole::crError},
        {true, false, 0xFFFF, "8-битный контент в 16-битной обёртке → Репликация (Photoshop, 8-bit × 257 ±1)",
         TColorRole::crError},
        {true, false, 0xFEFF, "8-битный контент в 16-битной обёртке → Репликация (Photoshop, 8-bit × 257 ±1)",
         TColorRole::crError},
        {true, false, 257 * 3 - 1, "8-битный контент в 16-битной обёртке → Репликация (Photoshop, 8-bit × 257 ±1)",
         TColorRole::crError},
        {false, true, 0xFF10, "Все пиксели 0xFFXX → возможно, инвертированный 8-битный файл", TColorRole::crWarning},
        {false, false, 0x1234, "Файл действительно содержит 16-битные данные", TColorRole::crOK},
    };
    for (const auto& c : cases) {
        TBitDepthResult result = SixteenBitRGB();
        result.IsActually8Bit = c.Is8Bit;
        result.IsActually16Bit = !c.Is8Bit;
        result.IsSignExtendedSuspicious = c.SignExtended;
        result.MaxValue = c.MaxValue;
        const TTextRuns runs = BuildAnalysisReport("f.tif", result);
        EXPECT_EQ(runs.at(1), (TTextRun{std::string(c.Text) + "\n", c.Role, false})) << c.Text;
    }
}

TEST(AnalysisReport, FailedAnalysisGivesOnlyTheErrorLineWithTheFileName) {
    TBitDepthResult result;
    result.Error = "Файл отклонен: причина";
    const TTextRuns expected{{"ОШИБКА: f.tif: Файл отклонен: причина\n", TColorRole::crError, false}};
    EXPECT_EQ(BuildAnalysisReport("f.tif", result), expected);
}

TEST(AnalysisReport, PhotometricNames) {
    const std::pair<std::uint16_t, const char*> cases[] = {
        {0, "Grayscale (0=бел)"}, {1, "Grayscale (0=чёрн)"}, {2, "RGB"},           {3, "Palette"},
        {4, "Mask"},              {5, "CMYK"},               {6, "YCbCr"},         {8, "CIELab"},
        {32844, "CFA"},           {34892, "LinearRaw"},      {7, "Неизвестно [7]"}, {65535, "Неизвестно [65535]"},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(PhotometricName(code), name) << code;
}

TEST(AnalysisReport, AlphaCountEstimate) {
    const struct {
        std::uint16_t Samples;
        std::vector<std::uint16_t> Extra;
        std::uint16_t Photometric;
        int Alpha;
    } cases[] = {
        {4, {}, 2, 1}, {4, {0}, 2, 0},   {3, {}, 1, 2},       {3, {}, 2, 0}, {2, {}, 0, 0},
        {5, {}, 5, 1}, {3, {}, 5, 0},    {5, {}, 6, 2},       {1, {}, 2, 0}, {6, {1, 2, 0}, 2, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AlphaCountEstimate(c.Samples, c.Extra, c.Photometric), c.Alpha)
            << c.Samples << " samples, photometric " << c.Photometric;
}

} // namespace
} // namespace kvaderon
