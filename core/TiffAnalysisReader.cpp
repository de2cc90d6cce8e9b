#include "TiffAnalysisReader.h"

#include "ByteOrder.h"
#include "CommonTypes.h"
#include "FileRange.h"
#include "TextFormat.h"
#include "TiffTags.h"

namespace kvaderon {

namespace {

constexpr auto shortage = TArrayShortageText::astRequiredOnly;
constexpr std::uint16_t maxIFDEntries = 1000;

std::uint16_t UniformBitsPerSample(const std::vector<std::uint16_t>& AValues) {
    if (AValues.empty())
        throw ETIFFError("BitsPerSample (258): пустой массив");
    for (std::uint16_t bits : AValues)
        if (bits != AValues.front())
            throw ETIFFError(FormatText("BitsPerSample (258): неравномерная битность: [%s]",
                                        {JoinDecimal(AValues)}));
    return AValues.front();
}

// Raises ETIFFError when the entry cannot be read; other failures pass through.
void HandleEntry(const TTIFFEntry& AEntry, const std::uint8_t* AView, std::uint64_t AFileSize,
                 TAnalysisTIFFInfo& AInfo, bool& AThumbnailMark) {
    const bool big = AInfo.IsBigEndian;
    auto scalar = [&] { return std::uint16_t(ReadTagValue(AEntry, AView, AFileSize, big)); };
    auto words = [&] { return ReadTagWordArray(AEntry, AView, AFileSize, big, shortage); };
    auto cardinals = [&] { return ReadTagCardinalArray(AEntry, AView, AFileSize, big, shortage); };
    switch (AEntry.Tag) {
    case 256:
        AInfo.ImageWidth = scalar();
        break;
    case 257:
        AInfo.ImageHeight = scalar();
        break;
    case 258:
        AInfo.BitsPerSample = UniformBitsPerSample(words());
        break;
    case 259:
        AInfo.Compression = scalar();
        break;
    case 262:
        AInfo.PhotometricInterpretation = scalar();
        break;
    case 273:
        AInfo.StripOffsets = cardinals();
        break;
    case 277:
        AInfo.SamplesPerPixel = scalar();
        break;
    case 279:
        AInfo.StripByteCounts = cardinals();
        break;
    case 284:
        AInfo.PlanarConfiguration = scalar();
        break;
    case 330:
        if (!cardinals().empty())
            AThumbnailMark = true;
        break;
    case 338:
        AInfo.ExtraSamples = words();
        break;
    default:
        break;
    }
}

std::string CompressionReason(std::uint16_t ACompression) {
    const std::string_view name = CompressionName(ACompression);
    return FormatText("Неподдерживаемый метод сжатия: %d (%s), требуется 1 (без сжатия)",
                      {ACompression, name.empty() ? std::string_view("Неизвестный") : name});
}

} // namespace

bool ParseTIFFForAnalysis(const std::uint8_t* AView, std::uint64_t AFileSize,
                          TAnalysisTIFFInfo& AInfo, std::string& AReason) {
    auto reject = [&AReason](std::string AText) {
        AReason = std::move(AText);
        return false;
    };
    AReason.clear();
    if (AFileSize < 8)
        return reject("Файл слишком мал для TIFF");
    bool bigEndian = false;
    if (AView[0] == 'M' && AView[1] == 'M')
        bigEndian = true;
    else if (!(AView[0] == 'I' && AView[1] == 'I'))
        return reject("Неверная сигнатура TIFF (не \"II\" и не \"MM\")");

    const std::uint32_t ifdOffset = ReadU32(AView + 4, bigEndian);
    if (ifdOffset >= AFileSize)
        return reject("Смещение IFD за пределами файла");
    if (!IsRangeInside(ifdOffset, 2, AFileSize))
        return reject("Недостаточно данных для чтения количества записей IFD");
    const std::uint16_t entryCount = ReadU16(AView + ifdOffset, bigEndian);
    if (entryCount == 0 || entryCount > maxIFDEntries)
        return reject(FormatText("Недопустимое количество записей IFD: %d", {entryCount}));
    const std::uint64_t entriesAt = std::uint64_t(ifdOffset) + 2;
    if (!IsRangeInside(entriesAt, std::uint64_t(IFDEntrySize) * entryCount, AFileSize))
        return reject("Недостаточно данных для чтения всех записей IFD");

    AInfo = TAnalysisTIFFInfo{};
    AInfo.IsBigEndian = bigEndian;
    bool thumbnailMark = false;
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        const TTIFFEntry entry =
            DecodeEntry(AView + entriesAt + std::uint64_t(IFDEntrySize) * i, bigEndian);
        try {
            HandleEntry(entry, AView, AFileSize, AInfo, thumbnailMark);
        } catch (const ETIFFError& error) {
            return reject(error.what());
        }
    }

    if (AInfo.BitsPerSample != 16)
        return reject(
            FormatText("Неподдерживаемая битность: %d бит (требуется 16)", {AInfo.BitsPerSample}));
    if (AInfo.Compression != 1)
        return reject(CompressionReason(AInfo.Compression));
    AInfo.HasThumbnail = thumbnailMark;
    if (AInfo.StripOffsets.empty() || AInfo.StripOffsets.size() != AInfo.StripByteCounts.size())
        return reject(
            "Неверная структура TIFF (отсутствуют или некорректны StripOffsets/StripByteCounts)");
    return true;
}

} // namespace kvaderon
