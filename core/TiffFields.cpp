#include "TiffFields.h"

#include "CommonTypes.h"
#include "TextFormat.h"

namespace kvaderon {

namespace {

bool IsTileTag(std::uint16_t ATag) {
    return ATag >= tagTileWidth && ATag <= tagTileByteCounts;
}

const char* SampleFormatName(std::uint16_t ASampleFormat) {
    switch (ASampleFormat) {
    case 3:
        return "с плавающей точкой";
    case 4:
        return "неопределённый";
    default:
        return "неизвестный";
    }
}

} // namespace

bool IsImageFieldTag(std::uint16_t ATag) {
    switch (ATag) {
    case tagNewSubfileType:
    case tagSubfileType:
    case tagImageWidth:
    case tagImageLength:
    case tagBitsPerSample:
    case tagCompression:
    case tagPhotometric:
    case tagStripOffsets:
    case tagSamplesPerPixel:
    case tagStripByteCounts:
    case tagPlanarConfiguration:
    case tagSubIFDs:
    case tagExtraSamples:
    case tagSampleFormat:
        return true;
    default:
        return IsTileTag(ATag);
    }
}

void DecodeImageField(const TTiffEntry& AEntry, const TByteSource& AFile, bool ABigEndian,
                      TArrayShortageText AShortageText, TImageFields& AFields) {
    auto scalar = [&] { return ReadTagValue(AEntry, AFile, ABigEndian); };
    auto word = [&] { return std::uint16_t(scalar()); };
    auto words = [&] { return ReadTagWordArray(AEntry, AFile, ABigEndian, AShortageText); };
    auto cardinals = [&](const TTiffEntry& AAs) { return ReadTagCardinalArray(AAs, AFile, ABigEndian, AShortageText); };
    switch (AEntry.Tag) {
    case tagNewSubfileType:
        AFields.NewSubfileType = scalar();
        break;
    case tagSubfileType:
        AFields.SubfileType = word();
        break;
    case tagImageWidth:
        AFields.ImageWidth = scalar();
        break;
    case tagImageLength:
        AFields.ImageLength = scalar();
        break;
    case tagBitsPerSample:
        AFields.BitsPerSample = words();
        break;
    case tagCompression:
        AFields.Compression = word();
        break;
    case tagPhotometric:
        AFields.PhotometricInterpretation = word();
        break;
    case tagStripOffsets:
        AFields.StripOffsets = cardinals(AEntry);
        break;
    case tagSamplesPerPixel:
        AFields.SamplesPerPixel = word();
        break;
    case tagStripByteCounts:
        AFields.StripByteCounts = cardinals(AEntry);
        break;
    case tagPlanarConfiguration:
        AFields.PlanarConfiguration = word();
        break;
    case tagSubIFDs: {
        TTiffEntry asLong = AEntry;
        if (asLong.DataType == dtIFD)
            asLong.DataType = dtLong;
        AFields.SubIFDs = cardinals(asLong);
        break;
    }
    case tagExtraSamples:
        AFields.ExtraSamples = words();
        break;
    case tagSampleFormat:
        AFields.SampleFormat = word();
        break;
    default:
        if (IsTileTag(AEntry.Tag))
            AFields.IsTiled = true;
        break;
    }
}

void CheckSampleFormat(std::uint16_t ASampleFormat) {
    if (ASampleFormat != 1 && ASampleFormat != 2)
        throw ETIFFError(FormatText("Неподдерживаемый формат семплов: %d (%s); поддерживаются 1 (целые без знака) и 2 "
                                    "(целые со знаком)",
                                    {ASampleFormat, SampleFormatName(ASampleFormat)}));
}

} // namespace kvaderon
