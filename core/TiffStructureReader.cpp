#include "TiffStructureReader.h"

#include "ByteOrder.h"
#include "CommonTypes.h"
#include "FileRange.h"
#include "TextFormat.h"
#include "TiffTags.h"

#include <exception>

namespace kvaderon {

namespace {

constexpr auto shortage = TArrayShortageText::astRequiredAndAvailable;

struct TFoundTags {
    bool BitsPerSample = false;
    bool Compression = false;
    bool StripOffsets = false;
    bool StripByteCounts = false;
    bool SamplesPerPixel = false;
};

void ReadBitsPerSample(const std::vector<std::uint16_t>& AValues, TTIFFStructure& AResult) {
    if (AValues.empty())
        throw ETIFFError("Тег 258: пустой массив BitsPerSample");
    AResult.BitsPerSample = AValues.front();
    for (std::uint16_t bits : AValues)
        if (bits != AValues.front())
            throw ETIFFError(FormatText("Тег 258: неравномерная битность каналов: [%s]", {JoinDecimal(AValues)}));
    if (AResult.BitsPerSample != 16)
        throw ETIFFError(FormatText("Поддерживается только 16-битный TIFF. Получено %d бит на сэмпл",
                                    {AResult.BitsPerSample}));
}

void HandleEntry(const TTIFFEntry& AEntry, const std::uint8_t* AView, std::uint64_t AFileSize,
                 TTIFFStructure& AResult, TFoundTags& AFound) {
    const bool big = AResult.BigEndian;
    auto scalar = [&] { return std::uint16_t(ReadTagValue(AEntry, AView, AFileSize, big)); };
    switch (AEntry.Tag) {
    case 256:
        scalar();
        break;
    case 258:
        ReadBitsPerSample(ReadTagWordArray(AEntry, AView, AFileSize, big, shortage), AResult);
        AFound.BitsPerSample = true;
        break;
    case 259:
        AResult.Compression = scalar();
        if (AResult.Compression != 1)
            throw ETIFFError(FormatText("Поддерживается только сжатие=1 (без сжатия), получено %d",
                                        {AResult.Compression}));
        AFound.Compression = true;
        break;
    case 262:
        AResult.PhotometricInterpretation = scalar();
        break;
    case 273:
        AResult.StripOffsets = ReadTagCardinalArray(AEntry, AView, AFileSize, big, shortage);
        AFound.StripOffsets = true;
        break;
    case 277:
        AResult.SamplesPerPixel = scalar();
        AFound.SamplesPerPixel = true;
        break;
    case 279:
        AResult.StripByteCounts = ReadTagCardinalArray(AEntry, AView, AFileSize, big, shortage);
        AFound.StripByteCounts = true;
        break;
    case 284:
        AResult.PlanarConfiguration = scalar();
        if (AResult.PlanarConfiguration != 1 && AResult.PlanarConfiguration != 2)
            throw ETIFFError(FormatText("Поддерживается только PlanarConfiguration=1 или 2, получено %d",
                                        {AResult.PlanarConfiguration}));
        break;
    case 338:
        AResult.ExtraSamples = ReadTagWordArray(AEntry, AView, AFileSize, big, shortage);
        break;
    case 339:
        AResult.SampleFormat = scalar();
        break;
    default:
        break;
    }
}

void CheckCompleteness(const TFoundTags& AFound, const TTIFFStructure& AResult) {
    if (!AFound.BitsPerSample)
        throw ETIFFError("Тег BitsPerSample (258) не найден");
    if (!AFound.Compression)
        throw ETIFFError("Тег Compression (259) не найден");
    if (!AFound.StripOffsets)
        throw ETIFFError("Тег StripOffsets (273) не найден");
    if (!AFound.StripByteCounts)
        throw ETIFFError("Тег StripByteCounts (279) не найден");
    if (!AFound.SamplesPerPixel)
        throw ETIFFError("Тег SamplesPerPixel (277) не найден");
    if (AResult.StripOffsets.empty())
        throw ETIFFError("Массив StripOffsets пуст");
    if (AResult.StripOffsets.size() != AResult.StripByteCounts.size())
        throw ETIFFError(FormatText("Несовпадение длины StripOffsets (%d) и StripByteCounts (%d)",
                                    {AResult.StripOffsets.size(), AResult.StripByteCounts.size()}));
}

} // namespace

TTIFFStructure ParseTIFFStructure(const std::uint8_t* AView, std::uint64_t AFileSize) {
    if (AFileSize < 8)
        throw ETIFFError("Файл слишком мал для TIFF");
    TTIFFStructure result;
    if (AView[0] == 'M' && AView[1] == 'M')
        result.BigEndian = true;
    else if (!(AView[0] == 'I' && AView[1] == 'I'))
        throw ETIFFError("Неверная сигнатура TIFF-файла: ожидалось \"II\" или \"MM\"");

    const std::uint32_t ifdOffset = ReadU32(AView + 4, result.BigEndian);
    if (ifdOffset >= AFileSize)
        throw ETIFFError("Смещение IFD за пределами файла");
    if (!IsRangeInside(ifdOffset, 2, AFileSize))
        throw ETIFFError("Недостаточно данных для чтения количества записей IFD");
    const std::uint16_t entryCount = ReadU16(AView + ifdOffset, result.BigEndian);
    if (entryCount == 0 || entryCount > 1000)
        throw ETIFFError(FormatText("Недопустимое количество записей IFD (%d)", {entryCount}));
    if (!IsRangeInside(std::uint64_t(ifdOffset) + 2, std::uint64_t(IFDEntrySize) * entryCount, AFileSize))
        throw ETIFFError("Недостаточно данных для чтения всех записей IFD");

    TFoundTags found;
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        const TTIFFEntry entry =
            DecodeEntry(AView + std::uint64_t(ifdOffset) + 2 + std::uint64_t(IFDEntrySize) * i, result.BigEndian);
        try {
            HandleEntry(entry, AView, AFileSize, result, found);
        } catch (const ETIFFError&) {
            throw;
        } catch (const std::exception& error) {
            throw ETIFFError(FormatText("Внутренняя ошибка в теге %d: %s", {entry.Tag, error.what()}));
        }
    }
    CheckCompleteness(found, result);
    return result;
}

} // namespace kvaderon
