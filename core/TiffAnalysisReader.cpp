#include "TiffAnalysisReader.h"

#include "ByteOrder.h"
#include "ByteSource.h"
#include "CommonTypes.h"
#include "FileRange.h"
#include "TextFormat.h"
#include "TiffDirectory.h"
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
void HandleEntry(const TTIFFEntry& AEntry, const TByteSource& AFile, TAnalysisTIFFInfo& AInfo,
                 bool& AThumbnailMark) {
    const bool big = AInfo.IsBigEndian;
    auto scalar = [&] { return std::uint16_t(ReadTagValue(AEntry, AFile, big)); };
    auto words = [&] { return ReadTagWordArray(AEntry, AFile, big, shortage); };
    auto cardinals = [&] { return ReadTagCardinalArray(AEntry, AFile, big, shortage); };
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

bool ParseTIFFForAnalysis(const TByteSource& AFile, TAnalysisTIFFInfo& AInfo, std::string& AReason) {
    const std::uint64_t fileSize = AFile.Size();
    auto reject = [&AReason](std::string AText) {
        AReason = std::move(AText);
        return false;
    };
    AReason.clear();
    if (fileSize < 8)
        return reject("Файл слишком мал для TIFF");
    std::uint8_t header[8];
    AFile.Read(0, header, sizeof header);
    bool bigEndian = false;
    if (header[0] == 'M' && header[1] == 'M')
        bigEndian = true;
    else if (!(header[0] == 'I' && header[1] == 'I'))
        return reject("Неверная сигнатура TIFF (не \"II\" и не \"MM\")");
    if (std::string reason = HeaderLayoutReason(header, bigEndian); !reason.empty())
        return reject(std::move(reason));

    const std::uint32_t ifdOffset = ReadU32(header + 4, bigEndian);
    if (ifdOffset >= fileSize)
        return reject("Смещение IFD за пределами файла");
    if (!IsRangeInside(ifdOffset, 2, fileSize))
        return reject("Недостаточно данных для чтения количества записей IFD");
    std::uint8_t countBytes[2];
    AFile.Read(ifdOffset, countBytes, 2);
    const std::uint16_t entryCount = ReadU16(countBytes, bigEndian);
    if (entryCount == 0 || entryCount > maxIFDEntries)
        return reject(FormatText("Недопустимое количество записей IFD: %d", {entryCount}));
    const std::uint64_t entriesAt = std::uint64_t(ifdOffset) + 2;
    if (!IsRangeInside(entriesAt, std::uint64_t(IFDEntrySize) * entryCount, fileSize))
        return reject("Недостаточно данных для чтения всех записей IFD");

    AInfo = TAnalysisTIFFInfo{};
    AInfo.IsBigEndian = bigEndian;
    AInfo.IFDOffset = ifdOffset;
    AInfo.IFDEntryCount = entryCount;
    const std::vector<TTIFFEntry> entries = ReadIFDEntries(AFile, ifdOffset, entryCount, bigEndian);
    if (std::string reason = FirstImageLayoutReason(entries, AFile, bigEndian); !reason.empty())
        return reject(std::move(reason));
    const std::vector<bool> last = LastOfEachTag(entries);
    bool thumbnailMark = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // A SubIFDs entry with an offset marks a thumbnail even when a later one replaces it.
        if (!last[i] && entries[i].Tag == 330 && entries[i].Count > 0)
            thumbnailMark = true;
        try {
            if (last[i])
                HandleEntry(entries[i], AFile, AInfo, thumbnailMark);
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
    try {
        AInfo.Structure = ListStructureRanges(AFile, bigEndian, ifdOffset);
    } catch (const ETIFFError& error) {
        return reject(error.what());
    }
    return true;
}

bool ParseTIFFForAnalysis(const std::uint8_t* AView, std::uint64_t AFileSize,
                          TAnalysisTIFFInfo& AInfo, std::string& AReason) {
    return ParseTIFFForAnalysis(TMemoryBytes(AView, AFileSize), AInfo, AReason);
}

} // namespace kvaderon
