#include "TiffStructureReader.h"

#include "ByteOrder.h"
#include "ByteSource.h"
#include "CommonTypes.h"
#include "FileRange.h"
#include "TextFormat.h"
#include "TiffDirectory.h"
#include "TiffTags.h"
#include "platform/SystemError.h"

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

void HandleEntry(const TTIFFEntry& AEntry, const TByteSource& AFile, TTIFFStructure& AResult, TFoundTags& AFound) {
    const bool big = AResult.BigEndian;
    auto scalar = [&] { return std::uint16_t(ReadTagValue(AEntry, AFile, big)); };
    switch (AEntry.Tag) {
    case 256:
        scalar();
        break;
    case 258:
        ReadBitsPerSample(ReadTagWordArray(AEntry, AFile, big, shortage), AResult);
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
        AResult.StripOffsets = ReadTagCardinalArray(AEntry, AFile, big, shortage);
        AFound.StripOffsets = true;
        break;
    case 277:
        AResult.SamplesPerPixel = scalar();
        AFound.SamplesPerPixel = true;
        break;
    case 279:
        AResult.StripByteCounts = ReadTagCardinalArray(AEntry, AFile, big, shortage);
        AFound.StripByteCounts = true;
        break;
    case 284:
        AResult.PlanarConfiguration = scalar();
        if (AResult.PlanarConfiguration != 1 && AResult.PlanarConfiguration != 2)
            throw ETIFFError(FormatText("Поддерживается только PlanarConfiguration=1 или 2, получено %d",
                                        {AResult.PlanarConfiguration}));
        break;
    case 338:
        AResult.ExtraSamples = ReadTagWordArray(AEntry, AFile, big, shortage);
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

TTIFFStructure ParseTIFFStructure(const TByteSource& AFile) {
    const std::uint64_t fileSize = AFile.Size();
    if (fileSize < 8)
        throw ETIFFError("Файл слишком мал для TIFF");
    std::uint8_t header[8];
    AFile.Read(0, header, sizeof header);
    TTIFFStructure result;
    if (header[0] == 'M' && header[1] == 'M')
        result.BigEndian = true;
    else if (!(header[0] == 'I' && header[1] == 'I'))
        throw ETIFFError("Неверная сигнатура TIFF-файла: ожидалось \"II\" или \"MM\"");
    if (const std::string reason = HeaderLayoutReason(header, result.BigEndian); !reason.empty())
        throw ETIFFError(reason);

    const std::uint32_t ifdOffset = ReadU32(header + 4, result.BigEndian);
    if (ifdOffset >= fileSize)
        throw ETIFFError("Смещение IFD за пределами файла");
    if (!IsRangeInside(ifdOffset, 2, fileSize))
        throw ETIFFError("Недостаточно данных для чтения количества записей IFD");
    std::uint8_t countBytes[2];
    AFile.Read(ifdOffset, countBytes, 2);
    const std::uint16_t entryCount = ReadU16(countBytes, result.BigEndian);
    if (entryCount == 0 || entryCount > 1000)
        throw ETIFFError(FormatText("Недопустимое количество записей IFD (%d)", {entryCount}));
    if (!IsRangeInside(std::uint64_t(ifdOffset) + 2, std::uint64_t(IFDEntrySize) * entryCount, fileSize))
        throw ETIFFError("Недостаточно данных для чтения всех записей IFD");
    result.IFDOffset = ifdOffset;
    result.IFDEntryCount = entryCount;

    const std::vector<TTIFFEntry> entries = ReadIFDEntries(AFile, ifdOffset, entryCount, result.BigEndian);
    if (const std::string reason = FirstImageLayoutReason(entries, AFile, result.BigEndian); !reason.empty())
        throw ETIFFError(reason);
    const std::vector<bool> last = LastOfEachTag(entries);
    TFoundTags found;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!last[i])
            continue;
        const TTIFFEntry& entry = entries[i];
        try {
            HandleEntry(entry, AFile, result, found);
        } catch (const ETIFFError&) {
            throw;
        } catch (const platform::ESystemError&) {
            throw;
        } catch (const std::exception& error) {
            throw ETIFFError(FormatText("Внутренняя ошибка в теге %d: %s", {entry.Tag, error.what()}));
        }
    }
    CheckCompleteness(found, result);
    result.Structure = ListStructureRanges(AFile, result.BigEndian, ifdOffset);
    return result;
}

TTIFFStructure ParseTIFFStructure(const std::uint8_t* AView, std::uint64_t AFileSize) {
    return ParseTIFFStructure(TMemoryBytes(AView, AFileSize));
}

} // namespace kvaderon
