#include "TiffAnalysisReader.h"

#include "ByteSource.h"
#include "CommonTypes.h"
#include "CompressionNames.h"
#include "TextFormat.h"
#include "TiffDirectory.h"
#include "TiffTags.h"

namespace kvaderon {

namespace {

constexpr auto Shortage = TArrayShortageText::astRequiredOnly;

std::uint16_t UniformBitsPerSample(const std::vector<std::uint16_t>& AValues) {
    if (AValues.empty())
        throw ETIFFError("BitsPerSample (258): пустой массив");
    for (std::uint16_t bits : AValues)
        if (bits != AValues.front())
            throw ETIFFError(FormatText("BitsPerSample (258): неравномерная битность: [%s]", {JoinDecimal(AValues)}));
    return AValues.front();
}

// Raises ETIFFError when the entry cannot be read; other failures pass through.
void HandleEntry(const TTiffEntry& AEntry, const TByteSource& AFile, TAnalysisTiffInfo& AInfo) {
    const bool big = AInfo.BigEndian;
    auto scalar = [&] { return std::uint16_t(ReadTagValue(AEntry, AFile, big)); };
    auto words = [&] { return ReadTagWordArray(AEntry, AFile, big, Shortage); };
    auto cardinals = [&] { return ReadTagCardinalArray(AEntry, AFile, big, Shortage); };
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
        cardinals(); // an unreadable SubIFDs entry refuses the file; the page map reads the images
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

// The checks of ParseTIFFForAnalysis; a refusal raises ETIFFError.
TAnalysisTiffInfo ReadAnalysisInfo(const TByteSource& AFile) {
    const TFirstIFD ifd = ReadFirstIFD(
        AFile, {"Неверная сигнатура TIFF (не \"II\" и не \"MM\")", "Недопустимое количество записей IFD: %d"});
    TAnalysisTiffInfo info;
    info.BigEndian = ifd.BigEndian;
    info.IFDOffset = ifd.Offset;
    info.IFDEntryCount = std::uint16_t(ifd.Entries.size());
    const std::vector<bool> last = LastOfEachTag(ifd.Entries);
    for (std::size_t i = 0; i < ifd.Entries.size(); ++i)
        if (last[i])
            HandleEntry(ifd.Entries[i], AFile, info);

    if (info.BitsPerSample != 16)
        throw ETIFFError(FormatText("Неподдерживаемая битность: %d бит (требуется 16)", {info.BitsPerSample}));
    if (info.Compression != 1)
        throw ETIFFError(CompressionReason(info.Compression));
    if (info.StripOffsets.empty() || info.StripOffsets.size() != info.StripByteCounts.size())
        throw ETIFFError("Неверная структура TIFF (отсутствуют или некорректны StripOffsets/StripByteCounts)");
    info.Structure = ListStructureRanges(AFile, info.BigEndian, info.IFDOffset);
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
