#include "TiffTags.h"

#include "CommonTypes.h"
#include "FileRange.h"
#include "TextFormat.h"

namespace kvaderon {

namespace {

bool IsReadableDataType(std::uint16_t ADataType) {
    return ADataType == dtByte || ADataType == dtShort || ADataType == dtLong;
}

std::uint32_t DecodeValue(const std::uint8_t* AData, std::uint16_t ADataType, bool ABigEndian) {
    switch (ADataType) {
    case dtByte:
        return AData[0];
    case dtShort:
        return ReadU16(AData, ABigEndian);
    default:
        return ReadU32(AData, ABigEndian);
    }
}

void CheckDataType(const TTIFFEntry& AEntry) {
    if (!IsReadableDataType(AEntry.DataType))
        throw ETIFFError(FormatText("Тег %d: неподдерживаемый DataType %d", {AEntry.Tag, AEntry.DataType}));
}

template <typename T>
std::vector<T> ReadTagArray(const TTIFFEntry& AEntry, const std::uint8_t* AView, std::uint64_t AFileSize,
                            bool ABigEndian, TArrayShortageText AShortageText) {
    if (AEntry.Count > MaxTagArrayCount)
        throw ETIFFError(FormatText("Тег %d: подозрительно большой Count = %d", {AEntry.Tag, AEntry.Count}));
    CheckDataType(AEntry);
    std::vector<T> values;
    if (AEntry.Count == 0)
        return values;
    values.reserve(AEntry.Count);
    const std::uint32_t size = GetDataTypeSize(AEntry.DataType);
    const std::uint8_t* data = AEntry.ValueField;
    if (!AEntry.IsInline()) {
        const std::uint32_t offset = ReadU32(AEntry.ValueField, ABigEndian);
        if (offset >= AFileSize)
            throw ETIFFError(FormatText("Тег %d: смещение массива за пределами файла", {AEntry.Tag}));
        const std::uint64_t required = std::uint64_t(AEntry.Count) * size;
        if (!IsRangeInside(offset, required, AFileSize)) {
            if (AShortageText == TArrayShortageText::astRequiredOnly)
                throw ETIFFError(FormatText("Тег %d: недостаточно данных для массива (%d байт требуется)",
                                            {AEntry.Tag, required}));
            throw ETIFFError(
                FormatText("Тег %d: недостаточно данных для массива (требуется %d байт, доступно %d)",
                           {AEntry.Tag, required, AFileSize - offset}));
        }
        data = AView + offset;
    }
    for (std::uint32_t i = 0; i < AEntry.Count; ++i)
        values.push_back(T(DecodeValue(data + std::uint64_t(i) * size, AEntry.DataType, ABigEndian)));
    return values;
}

} // namespace

std::uint32_t ReadTagValue(const TTIFFEntry& AEntry, const std::uint8_t* AView, std::uint64_t AFileSize,
                           bool ABigEndian) {
    CheckDataType(AEntry);
    if (AEntry.IsInline())
        return DecodeValue(AEntry.ValueField, AEntry.DataType, ABigEndian);
    const std::uint32_t offset = ReadU32(AEntry.ValueField, ABigEndian);
    if (offset >= AFileSize)
        throw ETIFFError(FormatText("Тег %d: смещение значения за пределами файла", {AEntry.Tag}));
    if (!IsRangeInside(offset, GetDataTypeSize(AEntry.DataType), AFileSize)) {
        const char* typeName = AEntry.DataType == dtByte ? "BYTE" : AEntry.DataType == dtShort ? "SHORT" : "LONG";
        throw ETIFFError(FormatText("Тег %d: недостаточно данных для %s", {AEntry.Tag, typeName}));
    }
    return DecodeValue(AView + offset, AEntry.DataType, ABigEndian);
}

std::vector<std::uint16_t> ReadTagWordArray(const TTIFFEntry& AEntry, const std::uint8_t* AView,
                                            std::uint64_t AFileSize, bool ABigEndian,
                                            TArrayShortageText AShortageText) {
    return ReadTagArray<std::uint16_t>(AEntry, AView, AFileSize, ABigEndian, AShortageText);
}

std::vector<std::uint32_t> ReadTagCardinalArray(const TTIFFEntry& AEntry, const std::uint8_t* AView,
                                                std::uint64_t AFileSize, bool ABigEndian,
                                                TArrayShortageText AShortageText) {
    return ReadTagArray<std::uint32_t>(AEntry, AView, AFileSize, ABigEndian, AShortageText);
}

} // namespace kvaderon
