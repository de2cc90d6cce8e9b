#include "AnalysisReport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kvaderon {
namespace {

TBitDepthResult SixteenBitRGB() {
    TBitDepthResult result;
    result.IsActually16Bit = true;
    result.Verdict = TVerdict::vd16Bit;
    result.EffectiveBits = 16;
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
                                 separator +
                                 "\n"
                                 "Размеры (Ш×В): 4000×6000              Порядок байтов: IBM PC (Little-Endian)\n"
                                 "Цветовая модель: RGB                  Порядок семплов: Перемежающийся (RGBRGB…)\n"
                                 "Каналов: 3 (из них альфа: 0)          Стрипов: 6000\n"
                                 "Уникальных значений: 65536            Пикселей: 24000000 (семплов: 72000000)\n"
                                 "Сжатие: без сжатия                    Макс. значение семпла: 65535 (0xFFFF)\n"
                                 "Миниатюра: нет                        Мин. значение семпла: 0 (0x0000)\n" +
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

TEST(AnalysisReport, SecondColumnStartsAtTheSamePlaceForOtherValues) {
    TBitDepthResult result = SixteenBitRGB();
    result.BigEndian = true;
    result.PlanarConfiguration = 2;
    result.PhotometricInterpretation = 7;
    result.SamplesPerPixel = 4;
    result.Compression = 7777;
    result.HasThumbnail = true;
    result.MaxValue = 4660;
    result.MinValue = 255;
    const auto lines = Lines(PlainText(BuildAnalysisReport("a.tif", result)));
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[3], "Размеры (Ш×В): 4000×6000              Порядок байтов: Macintosh (Big-Endian)");
    EXPECT_EQ(lines[4], "Цветовая модель: Неизвестно [7]       Порядок семплов: По каналам (RR…GG…BB…)");
    EXPECT_EQ(lines[5], "Каналов: 4 (из них альфа: 0)          Стрипов: 6000");
    EXPECT_EQ(lines[7], "Сжатие: Неизвестно [7777]             Макс. значение семпла: 4660 (0x1234)");
    EXPECT_EQ(lines[8], "Миниатюра: есть                       Мин. значение семпла: 255 (0x00FF)");
    EXPECT_EQ(lines[10], "");
}

// The words of each verdict come from the analyses' tests; here, its colour.
TEST(AnalysisReport, VerdictLineColours) {
    const std::pair<TVerdict, TColorRole> cases[] = {
        {TVerdict::vdZeroExtended8, TColorRole::crError},
        {TVerdict::vdReplicated8, TColorRole::crError},
        {TVerdict::vdHighByte8, TColorRole::crError},
        {TVerdict::vdHighByteFF8, TColorRole::crError},
        {TVerdict::vdHighFF, TColorRole::crWarning},
        {TVerdict::vdToneCurve, TColorRole::crWarning},
        {TVerdict::vdFewerBits, TColorRole::crWarning},
        {TVerdict::vdInconclusive, TColorRole::crWarning},
        {TVerdict::vd16Bit, TColorRole::crOK},
    };
    for (const auto& [verdict, role] : cases) {
        TBitDepthResult result = SixteenBitRGB();
        result.Verdict = verdict;
        EXPECT_EQ(BuildAnalysisReport("f.tif", result).at(1).Role, role) << VerdictWord(verdict);
    }
}

// More than MaxChannelsReported channels: the figures of all channels together.
TEST(AnalysisReport, ToneCurveOfAllChannelsTogether) {
    TBitDepthResult result = SixteenBitRGB();
    result.Verdict = TVerdict::vdToneCurve;
    result.AllChannels.DistinctValues = 200;
    result.AllChannels.MinValue = 1000;
    result.AllChannels.MaxValue = 60000;
    result.AllChannels.Samples = 480000;
    EXPECT_EQ(BuildAnalysisReport("f.tif", result).at(1).Text,
              "Вероятно, 8-битные данные, растянутые до 16 бит тоновой кривой (все каналы: разных значений 200 на "
              "размахе 1000–60000, семплов 480000)\n");
}

// Three lines a channel after the verdict, the pattern last in its colour; the file's images
// before the table, and the thumbnail's place in it.
TEST(AnalysisReport, ChannelsAndImagesFollowTheVerdict) {
    TBitDepthResult result = SixteenBitRGB();
    std::vector<std::uint8_t> seen(65536, 0);
    for (unsigned value = 0; value < 65536; value += 16)
        seen[value] = 1;
    const TChannelDepth shifted = DescribeChannel(seen.data());
    result.Channels = {shifted, shifted, shifted};
    result.Channels[2].Pattern = TDepthPattern::dpNone;
    TTiffImage main, thumbnail;
    main.Where = main.WhereRu = "IFD 0";
    main.Role = TImageRole::irMain;
    main.Width = 4000;
    main.Height = 6000;
    main.BitsPerSample = {16, 16, 16};
    main.SamplesPerPixel = 3;
    thumbnail.Where = "SubIFD 0 of IFD 0";
    thumbnail.WhereRu = "SubIFD 0 в IFD 0";
    thumbnail.Role = TImageRole::irReduced;
    thumbnail.Width = 160;
    thumbnail.Height = 240;
    thumbnail.BitsPerSample = {8, 8, 8};
    thumbnail.SamplesPerPixel = 3;
    thumbnail.Compression = 7;
    result.Images = {main, thumbnail};
    result.HasThumbnail = true;

    const TTextRuns runs = BuildAnalysisReport("f.tif", result);
    const auto lines = Lines(PlainText(runs));
    ASSERT_GE(lines.size(), 15u);
    EXPECT_EQ(lines[2], "Красный: значимых бит: 12 (4 младших бита всегда 0), старший используемый бит: 15 из 0–15");
    EXPECT_EQ(lines[3], "Красный: разных значений: 4096, занято уровней между мин. и макс.: 100,0 % (из 4096)");
    EXPECT_EQ(lines[4], "Красный: 12-битные данные, сдвинутые в старшие биты");
    EXPECT_EQ(lines[10], "Синий: используются все 16 бит");
    EXPECT_EQ(lines[11], "Изображений в файле: 2");
    EXPECT_EQ(lines[12], "  IFD 0: основное изображение, 4000×6000, 16 бит × 3, без сжатия");
    EXPECT_EQ(lines[13], "  SubIFD 0 в IFD 0: уменьшенная копия, 160×240, 8 бит × 3, JPEG");
    EXPECT_NE(PlainText(runs).find("Миниатюра: есть (SubIFD 0 в IFD 0)"), std::string::npos);
    const auto role = [&](const std::string& AText) {
        for (const TTextRun& run : runs)
            if (run.Text == AText + "\n")
                return run.Role;
        ADD_FAILURE() << AText;
        return TColorRole::crNames;
    };
    EXPECT_EQ(role("12-битные данные, сдвинутые в старшие биты"), TColorRole::crWarning);
    EXPECT_EQ(role("используются все 16 бит"), TColorRole::crOK);
}

TEST(AnalysisReport, FailedAnalysisGivesOnlyTheErrorLineWithTheFileName) {
    TBitDepthResult result;
    result.Error = "Файл отклонен: причина";
    const TTextRuns expected{{"ОШИБКА: f.tif: Файл отклонен: причина\n", TColorRole::crError, false}};
    EXPECT_EQ(BuildAnalysisReport("f.tif", result), expected);
}

TEST(AnalysisReport, PhotometricNames) {
    const std::pair<std::uint16_t, const char*> cases[] = {
        {0, "Grayscale (0=бел)"},
        {1, "Grayscale (0=чёрн)"},
        {2, "RGB"},
        {3, "Palette"},
        {4, "Mask"},
        {5, "CMYK"},
        {6, "YCbCr"},
        {8, "CIELab"},
        {32844, "CFA"},
        {34892, "LinearRaw"},
        {7, "Неизвестно [7]"},
        {65535, "Неизвестно [65535]"},
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
        {4, {}, 2, 1}, {4, {0}, 2, 0}, {3, {}, 1, 2}, {3, {}, 2, 0}, {2, {}, 0, 0},
        {5, {}, 5, 1}, {3, {}, 5, 0},  {5, {}, 6, 2}, {1, {}, 2, 0}, {6, {1, 2, 0}, 2, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AlphaCountEstimate(c.Samples, c.Extra, c.Photometric), c.Alpha)
            << c.Samples << " samples, photometric " << c.Photometric;
}

} // namespace
} // namespace kvaderon
