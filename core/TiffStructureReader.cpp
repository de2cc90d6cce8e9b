#include "TiffStructureReader.h"

#include "ByteSource.h"
#include "CommonTypes.h"
#include "TextFormat.h"
#include "TiffDirectory.h"
#include "TiffFields.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <exception>
#include <iterator>

namespace kvaderon {

namespace {

struct TFoundTags {
    bool BitsPerSample = false;
    bool StripOffsets = false;
    bool StripByteCounts = false;
};

// The tags the inverter reads; any other entry is passed over.
constexpr std::uint16_t readTags[] = {tagImageWidth,   tagBitsPerSample,   tagCompression,     tagPhotometric,
                                      tagStripOffsets, tagSamplesPerPixel, tagStripByteCounts, tagPlanarConfiguration,
                                      tagExtraSamples, tagSampleFormat};

// The height serves only the preview: an unreadable one leaves 0 and refuses nothing.
void ReadImageLength(const TTiffEntry& AEntry, const TByteSource& AFile, bool ABigEndian, TImageFields& AFields) {
    try {
        DecodeImageField(AEntry, AFile, ABigEndian, TArrayShortageText::astRequiredAndAvailable, AFields);
    } catch (const ETIFFError&) {
        AFields.ImageLength = 0;
    }
}

void CheckBitsPerSample(const std::vector<std::uint16_t>& AValues) {
    if (AValues.empty())
        throw ETIFFError("Тег 258: пустой массив BitsPerSample");
    for (std::uint16_t bits : AValues)
        if (bits != AValues.front())
            throw ETIFFError(FormatText("Тег 258: неравномерная битность каналов: [%s]", {JoinDecimal(AValues)}));
    if (AValues.front() != 16)
        throw ETIFFError(
            FormatText("Поддерживается только 16-битный TIFF. Получено %d бит на сэмпл", {AValues.front()}));
}

// The checks made as soon as an entry is read, so that the first failing entry names the refusal.
void CheckEntry(std::uint16_t ATag, const TImageFields& AFields, TFoundTags& AFound) {
    switch (ATag) {
    case tagBitsPerSample:
        CheckBitsPerSample(AFields.BitsPerSample);
        AFound.BitsPerSample = true;
        break;
    case tagCompression:
        if (AFields.Compression != 1)
            throw ETIFFError(
                FormatText("Поддерживается только сжатие=1 (без сжатия), получено %d", {AFields.Compression}));
        break;
    case tagStripOffsets:
        AFound.StripOffsets = true;
        break;
    case tagStripByteCounts:
        AFound.StripByteCounts = true;
        break;
    case tagPlanarConfiguration:
        if (AFields.PlanarConfiguration != 1 && AFields.PlanarConfiguration != 2)
            throw ETIFFError(FormatText("Поддерживается только PlanarConfiguration=1 или 2, получено %d",
                                        {AFields.PlanarConfiguration}));
        break;
    case tagSampleFormat:
        CheckSampleFormat(AFields.SampleFormat);
        break;
    default:
        break;
    }
}

void CheckCompleteness(const TFoundTags& AFound, const TImageFields& AResult) {
    if (!AFound.BitsPerSample)
        throw ETIFFError("Тег BitsPerSample (258) не найден");
    if (!AFound.StripOffsets)
        throw ETIFFError("Тег StripOffsets (273) не найден");
    if (!AFound.StripByteCounts)
        throw ETIFFError("Тег StripByteCounts (279) не найден");
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
    const bool big = ifd.BigEndian;
    const std::vector<bool> last = LastOfEachTag(ifd.Entries);
    TImageFields fields;
    TFoundTags found;
    for (std::size_t i = 0; i < ifd.Entries.size(); ++i) {
        const TTiffEntry& entry = ifd.Entries[i];
        if (last[i] && entry.Tag == tagImageLength)
            ReadImageLength(entry, AFile, big, fields);
        if (!last[i] || std::find(std::begin(readTags), std::end(readTags), entry.Tag) == std::end(readTags))
            continue;
        try {
            DecodeImageField(entry, AFile, big, TArrayShortageText::astRequiredAndAvailable, fields);
        } catch (const ETIFFError&) {
            throw;
        } catch (const platform::ESystemError&) {
            throw;
        } catch (const std::exception& error) {
            throw ETIFFError(FormatText("Внутренняя ошибка в теге %d: %s", {entry.Tag, error.what()}));
        }
        CheckEntry(entry.Tag, fields, found);
    }
    CheckCompleteness(found, fields);

    TTiffStructure result;
    result.BigEndian = big;
    result.IFDOffset = ifd.Offset;
    result.IFDEntryCount = std::uint16_t(ifd.Entries.size());
    result.ImageWidth = fields.ImageWidth;
    result.ImageLength = fields.ImageLength;
    result.BitsPerSample = fields.BitsPerSample.front();
    result.Compression = fields.Compression;
    result.PhotometricInterpretation = fields.PhotometricInterpretation;
    result.SamplesPerPixel = fields.SamplesPerPixel;
    result.PlanarConfiguration = fields.PlanarConfiguration;
    result.SampleFormat = fields.SampleFormat;
    result.StripOffsets = std::move(fields.StripOffsets);
    result.StripByteCounts = std::move(fields.StripByteCounts);
    result.ExtraSamples = std::move(fields.ExtraSamples);
    result.Layout = ReadFileLayout(AFile, big, ifd.Offset);
    return result;
}

TTiffStructure ParseTIFFStructure(const std::uint8_t* AView, std::uint64_t AFileSize) {
    return ParseTIFFStructure(TMemoryBytes(AView, AFileSize));
}

} // namespace kvaderon
