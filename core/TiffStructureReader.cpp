#include "TiffStructureReader.h"

#include "ByteSource.h"
#include "CommonTypes.h"
#include "TextFormat.h"
#include "TiffDirectory.h"
#include "TiffTags.h"
#include "platform/SystemError.h"

#include <exception>

namespace kvaderon {

namespace {

constexpr auto Shortage = TArrayShortageText::astRequiredAndAvailable;

struct TFoundTags {
    bool BitsPerSample = false;
    bool Compression = false;
    bool StripOffsets = false;
    bool StripByteCounts = false;
    bool SamplesPerPixel = false;
};

void ReadBitsPerSample(const std::vector<std::uint16_t>& AValues, TTiffStructure& AResult) {
    if (AValues.empty())
        throw ETIFFError("Тег 258: пустой массив BitsPerSample");
    AResult.BitsPerSample = AValues.front();
    for (std::uint16_t bits : AValues)
        if (bits != AValues.front())
            throw ETIFFError(FormatText("Тег 258: неравномерная битность каналов: [%s]", {JoinDecimal(AValues)}));
    if (AResult.BitsPerSample != 16)
        throw ETIFFError(
            FormatText("Поддерживается только 16-битный TIFF. Получено %d бит на сэмпл", {AResult.BitsPerSample}));
}

void HandleEntry(const TTiffEntry& AEntry, const TByteSource& AFile, TTiffStructure& AResult, TFoundTags& AFound) {
    const bool big = AResult.BigEndian;
    auto scalar = [&] { return std::uint16_t(ReadTagValue(AEntry, AFile, big)); };
    switch (AEntry.Tag) {
    case 256:
        scalar();
        break;
    case 258:
        ReadBitsPerSample(ReadTagWordArray(AEntry, AFile, big, Shortage), AResult);
        AFound.BitsPerSample = true;
        break;
    case 259:
        AResult.Compression = scalar();
        if (AResult.Compression != 1)
            throw ETIFFError(
                FormatText("Поддерживается только сжатие=1 (без сжатия), получено %d", {AResult.Compression}));
        AFound.Compression = true;
        break;
    case 262:
        AResult.PhotometricInterpretation = scalar();
        break;
    case 273:
        AResult.StripOffsets = ReadTagCardinalArray(AEntry, AFile, big, Shortage);
        AFound.StripOffsets = true;
        break;
    case 277:
        AResult.SamplesPerPixel = scalar();
        AFound.SamplesPerPixel = true;
        break;
    case 279:
        AResult.StripByteCounts = ReadTagCardinalArray(AEntry, AFile, big, Shortage);
        AFound.StripByteCounts = true;
        break;
    case 284:
        AResult.PlanarConfiguration = scalar();
        if (AResult.PlanarConfiguration != 1 && AResult.PlanarConfiguration != 2)
            throw ETIFFError(FormatText("Поддерживается только PlanarConfiguration=1 или 2, получено %d",
                                        {AResult.PlanarConfiguration}));
        break;
    case 338:
        AResult.ExtraSamples = ReadTagWordArray(AEntry, AFile, big, Shortage);
        break;
    case 339:
        AResult.SampleFormat = scalar();
        break;
    default:
        break;
    }
}

void CheckCompleteness(const TFoundTags& AFound, const TTiffStructure& AResult) {
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

TTiffStructure ParseTIFFStructure(const TByteSource& AFile) {
    const TFirstIFD ifd = ReadFirstIFD(AFile, {"Неверная сигнатура TIFF-файла: ожидалось \"II\" или \"MM\"",
                                               "Недопустимое количество записей IFD (%d)"});
    TTiffStructure result;
    result.BigEndian = ifd.BigEndian;
    result.IFDOffset = ifd.Offset;
    result.IFDEntryCount = std::uint16_t(ifd.Entries.size());
    const std::vector<TTiffEntry>& entries = ifd.Entries;
    const std::vector<bool> last = LastOfEachTag(entries);
    TFoundTags found;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!last[i])
            continue;
        const TTiffEntry& entry = entries[i];
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
    result.Structure = ListStructureRanges(AFile, result.BigEndian, result.IFDOffset);
    return result;
}

TTiffStructure ParseTIFFStructure(const std::uint8_t* AView, std::uint64_t AFileSize) {
    return ParseTIFFStructure(TMemoryBytes(AView, AFileSize));
}

} // namespace kvaderon
