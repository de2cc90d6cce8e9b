#include "AnalysisReport.h"

#include "AlphaChannel.h"

#include "CompressionNames.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace kvaderon {

namespace {

// The widest usual left-hand column: "Цветовая модель: Grayscale (0=чёрн)".
constexpr std::size_t LeftColumnWidth = 35;

struct TReportRow {
    std::string FirstName, FirstValue, SecondName, SecondValue;
};

// Characters, not bytes: the names hold Cyrillic letters and "×".
std::size_t CharacterCount(const std::string& AText) {
    return std::size_t(std::count_if(AText.begin(), AText.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string UnknownCode(std::uint32_t ACode) {
    return "Неизвестно [" + std::to_string(ACode) + "]";
}

std::string SampleValueText(std::uint16_t AValue) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", unsigned(AValue));
    return std::to_string(AValue) + " (0x" + hex + ")";
}

std::string CompressionText(std::uint16_t ACode) {
    const std::string_view name = CompressionName(ACode);
    return name.empty() ? UnknownCode(ACode) : std::string(name);
}

// Where the reduced-resolution copies lie, the first two of them named.
std::string ThumbnailText(const TBitDepthResult& AResult) {
    if (!AResult.HasThumbnail)
        return "нет";
    std::vector<std::string> places;
    for (std::size_t i = 1; i < AResult.Images.size(); ++i)
        if (AResult.Images[i].Role == TImageRole::irReduced)
            places.push_back(AResult.Images[i].WhereRu);
    if (places.empty())
        return "есть";
    std::string text = "есть (" + places.front();
    if (places.size() > 1)
        text += ", " + places[1];
    return text + (places.size() > 2 ? ", …)" : ")");
}

std::string ImageLine(const TTiffImage& AImage) {
    return AImage.WhereRu + ": " + std::string(RoleText(AImage.Role)) + ", " + std::to_string(AImage.Width) + "×" +
           std::to_string(AImage.Height) + ", " + std::to_string(AImage.Bits()) + " бит × " +
           std::to_string(AImage.SamplesPerPixel) + ", " + CompressionText(AImage.Compression) + "\n";
}

std::array<TReportRow, 6> ReportRows(const TBitDepthResult& AResult) {
    const int alphaCount =
        AlphaCountEstimate(AResult.SamplesPerPixel, AResult.ExtraSamples, AResult.PhotometricInterpretation);
    return {{
        {"Размеры (Ш×В)", std::to_string(AResult.ImageWidth) + "×" + std::to_string(AResult.ImageHeight),
         "Порядок байтов", AResult.BigEndian ? "Macintosh (Big-Endian)" : "IBM PC (Little-Endian)"},
        {"Цветовая модель", PhotometricName(AResult.PhotometricInterpretation), "Порядок семплов",
         AResult.PlanarConfiguration == 1 ? "Перемежающийся (RGBRGB…)" : "По каналам (RR…GG…BB…)"},
        {"Каналов", std::to_string(AResult.SamplesPerPixel) + " (из них альфа: " + std::to_string(alphaCount) + ")",
         "Стрипов", std::to_string(AResult.StripCount)},
        {"Уникальных значений", std::to_string(AResult.UniqueValueCount), "Пикселей",
         std::to_string(AResult.TotalPixels) + " (семплов: " + std::to_string(AResult.TotalSamples) + ")"},
        {"Сжатие", CompressionText(AResult.Compression), "Макс. значение семпла", SampleValueText(AResult.MaxValue)},
        {"Миниатюра", ThumbnailText(AResult), "Мин. значение семпла", SampleValueText(AResult.MinValue)},
    }};
}

// The channel that looks tone-curved first, by name, with its figures.
std::string ToneCurveText(const TBitDepthResult& AResult) {
    const auto curved = [](const TChannelDepth& ADepth) { return ADepth.Pattern == TDepthPattern::dpToneCurve8; };
    const auto channel = std::find_if(AResult.Channels.begin(), AResult.Channels.end(), curved);
    const bool apart = channel != AResult.Channels.end();
    const TChannelDepth& depth = apart ? *channel : AResult.AllChannels;
    const std::string name = apart ? ChannelName(std::size_t(channel - AResult.Channels.begin()),
                                                 AResult.Channels.size(), AResult.PhotometricInterpretation)
                                   : "все каналы";
    return "Вероятно, 8-битные данные, растянутые до 16 бит тоновой кривой (" + name + ": разных значений " +
           std::to_string(depth.DistinctValues) + " на размахе " + std::to_string(depth.MinValue) + "–" +
           std::to_string(depth.MaxValue) + ", семплов " + std::to_string(depth.Samples) + ")";
}

TTextRun VerdictRun(const TBitDepthResult& AResult) {
    const std::string eightBit = "8-битный контент в 16-битной обёртке → ";
    switch (AResult.Verdict) {
    case TVerdict::vdNone:
    case TVerdict::vdInconclusive:
        return {"Недостаточно данных для вывода\n", TColorRole::crWarning, false};
    case TVerdict::vdZeroExtended8:
        return {eightBit + "Zero-extended (0x00XX)\n", TColorRole::crError, false};
    case TVerdict::vdReplicated8:
        return {eightBit + "Репликация (Photoshop, 8-bit × 257 ±1)\n", TColorRole::crError, false};
    case TVerdict::vdHighByte8:
        return {eightBit + "Сдвиг в старший байт (0xXX00)\n", TColorRole::crError, false};
    case TVerdict::vdHighByteFF8:
        return {eightBit + "Сдвиг в старший байт, младший байт 0xFF (0xXXFF)\n", TColorRole::crError, false};
    case TVerdict::vdHighFF:
        return {"Все пиксели 0xFFXX → возможно, инвертированный 8-битный файл\n", TColorRole::crWarning, false};
    case TVerdict::vdToneCurve:
        return {ToneCurveText(AResult) + "\n", TColorRole::crWarning, false};
    case TVerdict::vdFewerBits:
        return {"Файл содержит " + std::to_string(AResult.EffectiveBits) + "-битные данные в 16-битной обёртке\n",
                TColorRole::crWarning, false};
    case TVerdict::vd16Bit:
        break;
    }
    return {"Файл действительно содержит 16-битные данные\n", TColorRole::crOK, false};
}

TColorRole PatternRole(TDepthPattern APattern) {
    switch (APattern) {
    case TDepthPattern::dpNone:
        return TColorRole::crOK;
    case TDepthPattern::dpFewValues:
        return TColorRole::crValues;
    default:
        return TColorRole::crWarning;
    }
}

// The name of the AIndex-th of the AReported channels the analysis counted: an unspecified extra
// sample is "Доп. канал N", N its place among the extra samples; the others are named by the
// colour model among the channels that are no extra samples.
std::string ReportedChannelName(const TBitDepthResult& AResult, std::size_t AIndex, std::size_t AReported) {
    const std::vector<std::uint32_t> counted =
        ColourChannels(AResult.SamplesPerPixel, AResult.ExtraSamples, AResult.PhotometricInterpretation);
    if (counted.size() != AReported)
        return ChannelName(AIndex, AReported, AResult.PhotometricInterpretation);
    const std::uint32_t extra = ExtraSampleNumber(counted[AIndex], AResult.SamplesPerPixel, AResult.ExtraSamples);
    if (extra > 0)
        return "Доп. канал " + std::to_string(extra);
    const auto base = std::size_t(std::count_if(counted.begin(), counted.end(), [&](std::uint32_t AChannel) {
        return ExtraSampleNumber(AChannel, AResult.SamplesPerPixel, AResult.ExtraSamples) == 0;
    }));
    return ChannelName(AIndex, base, AResult.PhotometricInterpretation);
}

// The lines of every colour channel after the verdict; the last line of each names its pattern.
void AddChannelRuns(const TBitDepthResult& AResult, TTextRuns& ARuns) {
    const std::size_t count = AResult.Channels.size();
    for (std::size_t channel = 0; channel < count; ++channel) {
        const TChannelDepth& depth = AResult.Channels[channel];
        const std::string name = ReportedChannelName(AResult, channel, count) + ": ";
        const std::vector<std::string> lines = ChannelDepthLines(depth);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ARuns.push_back({name, TColorRole::crNames, false});
            const bool last = i + 1 == lines.size();
            ARuns.push_back({lines[i] + "\n", last ? PatternRole(depth.Pattern) : TColorRole::crValues, false});
        }
    }
}

} // namespace

std::string PhotometricName(std::uint16_t ACode) {
    static constexpr std::array<std::pair<std::uint16_t, std::string_view>, 10> names{{
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
    }};
    for (const auto& [code, name] : names)
        if (code == ACode)
            return std::string(name);
    return UnknownCode(ACode);
}

int AlphaCountEstimate(std::uint16_t ASamplesPerPixel, const std::vector<std::uint16_t>& AExtraSamples,
                       std::uint16_t APhotometricInterpretation) {
    if (!AExtraSamples.empty())
        return int(std::count_if(AExtraSamples.begin(), AExtraSamples.end(),
                                 [](std::uint16_t AValue) { return AValue == 1 || AValue == 2; }));
    int colourChannels = 0;
    switch (APhotometricInterpretation) {
    case 1:
        colourChannels = 1;
        break;
    case 2:
        colourChannels = 3;
        break;
    case 5:
        colourChannels = 4;
        break;
    case 6:
        colourChannels = 3;
        break;
    default:
        return 0;
    }
    return std::max(0, int(ASamplesPerPixel) - colourChannels);
}

TTextRuns BuildAnalysisReport(const std::string& AFileName, const TBitDepthResult& AResult) {
    if (!AResult.Error.empty())
        return {{"ОШИБКА: " + AFileName + ": " + AResult.Error + "\n", TColorRole::crError, false}};

    const auto rows = ReportRows(AResult);
    // The right-hand column starts at one place in every report but the rare one whose left
    // column holds a longer text (an unknown colour model with many channels).
    std::size_t width = LeftColumnWidth;
    for (const auto& row : rows)
        width = std::max(width, CharacterCount(row.FirstName) + CharacterCount(row.FirstValue) + 2);
    const std::string separator = std::string(ReportLineLength, '-') + "\n";

    TTextRuns runs{
        {AFileName + "\n", TColorRole::crFileName, true},
        VerdictRun(AResult),
    };
    AddChannelRuns(AResult, runs);
    if (AResult.Images.size() > 1) {
        runs.push_back(
            {"Изображений в файле: " + std::to_string(AResult.Images.size()) + "\n", TColorRole::crNames, false});
        for (const TTiffImage& image : AResult.Images)
            runs.push_back({"  " + ImageLine(image), TColorRole::crValues, false});
    }
    runs.push_back({separator, TColorRole::crSeparators, false});
    for (const auto& row : rows) {
        const std::size_t used = CharacterCount(row.FirstName) + CharacterCount(row.FirstValue) + 2;
        runs.push_back({row.FirstName + ": ", TColorRole::crNames, false});
        runs.push_back({row.FirstValue + std::string(width - used + 3, ' '), TColorRole::crValues, false});
        runs.push_back({row.SecondName + ": ", TColorRole::crNames, false});
        runs.push_back({row.SecondValue + "\n", TColorRole::crValues, false});
    }
    runs.push_back({separator + "\n", TColorRole::crSeparators, false});
    return runs;
}

} // namespace kvaderon
