#include "TiffAnalysisReader.h"

#include "ByteSource.h"
#include "CommonTypes.h"
#include "CompressionNames.h"
#include "TextFormat.h"
#include "TiffDirectory.h"
#include "TiffFields.h"

#include <algorithm>
#include <iterator>

namespace kvaderon {

namespace {

// The tags the analysis reads; any other entry is passed over.
constexpr std::uint16_t readTags[] = {tagImageWidth,      tagImageLength,     tagBitsPerSample,
                                      tagCompression,     tagPhotometric,     tagStripOffsets,
                                      tagSamplesPerPixel, tagStripByteCounts, tagPlanarConfiguration,
                                      tagSubIFDs, // an unreadable SubIFDs entry refuses the file
                                      tagExtraSamples,    tagSampleFormat};

void CheckBitsPerSample(const std::vector<std::uint16_t>& AValues) {
    if (AValues.empty())
        throw ETIFFError("BitsPerSample (258): пустой массив");
    for (std::uint16_t bits : AValues)
        if (bits != AValues.front())
            throw ETIFFError(FormatText("BitsPerSample (258): неравномерная битность: [%s]", {JoinDecimal(AValues)}));
}

std::string CompressionReason(std::uint16_t ACompression) {
    const std::string_view name = CompressionName(ACompression);
    return FormatText("Неподдерживаемый метод сжатия: %d (%s), требуется 1 (без сжатия)",
                      {ACompression, name.empty() ? std::string_view("Неизвестный") : name});
}

// The checks of ParseTIFFForAnalysis; a refusal raises ETIFFError.
TAnalysisTiffInfo ReadAnalysisInfo(const TByteSource& AFile) {
    const TFirstIFD ifd = ReadFirstIFD(
        AFile, {"Неверная сигнатура TIFF (не \"II\" и не \"MM\")", "Недопустимое количество записей IFD: %d"});
    const std::vector<bool> last = LastOfEachTag(ifd.Entries);
    TImageFields fields;
    bool bitsRead = false;
    for (std::size_t i = 0; i < ifd.Entries.size(); ++i) {
        const TTiffEntry& entry = ifd.Entries[i];
        if (!last[i] || std::find(std::begin(readTags), std::end(readTags), entry.Tag) == std::end(readTags))
            continue;
        DecodeImageField(entry, AFile, ifd.BigEndian, TArrayShortageText::astRequiredOnly, fields);
        if (entry.Tag == tagBitsPerSample) {
            CheckBitsPerSample(fields.BitsPerSample);
            bitsRead = true;
        }
    }

    const std::uint16_t bits = bitsRead ? fields.BitsPerSample.front() : 0;
    if (bits != 16)
        throw ETIFFError(FormatText("Неподдерживаемая битность: %d бит (требуется 16)", {bits}));
    if (fields.Compression != 1)
        throw ETIFFError(CompressionReason(fields.Compression));
    CheckSampleFormat(fields.SampleFormat);
    if (fields.StripOffsets.empty() || fields.StripOffsets.size() != fields.StripByteCounts.size())
        throw ETIFFError("Неверная структура TIFF (отсутствуют или некорректны StripOffsets/StripByteCounts)");

    TAnalysisTiffInfo info;
    info.BigEndian = ifd.BigEndian;
    info.IFDOffset = ifd.Offset;
    info.IFDEntryCount = std::uint16_t(ifd.Entries.size());
    info.ImageWidth = std::uint16_t(fields.ImageWidth);
    info.ImageHeight = std::uint16_t(fields.ImageLength);
    info.BitsPerSample = bits;
    info.Compression = fields.Compression;
    info.PhotometricInterpretation = fields.PhotometricInterpretation;
    info.SamplesPerPixel = fields.SamplesPerPixel;
    info.PlanarConfiguration = fields.PlanarConfiguration;
    info.StripOffsets = std::move(fields.StripOffsets);
    info.StripByteCounts = std::move(fields.StripByteCounts);
    info.ExtraSamples = std::move(fields.ExtraSamples);
    info.Layout = ReadFileLayout(AFile, info.BigEndian, info.IFDOffset);
    return info;
}

} // namespace

bool ParseTIFFForAnalysis(const TByteSource& AFile, TAnalysisTiffInfo& AInfo, std::string& AReason) {
    AReason.clear();
    try {
        AInfo = ReadAnalysisInfo(AFile);
        return true;
    } catch (const ETIFFError& error) {
        AReason = error.what();
        return false;
    }
}

bool ParseTIFFForAnalysis(const std::uint8_t* AView, std::uint64_t AFileSize, TAnalysisTiffInfo& AInfo,
                          std::string& AReason) {
    return ParseTIFFForAnalysis(TMemoryBytes(AView, AFileSize), AInfo, AReason);
}

} // namespace kvaderon
