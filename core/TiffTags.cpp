#include "TiffTags.h"

#include "ByteSource.h"
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

void CheckDataType(const TTiffEntry& AEntry) {
    if (!IsReadableDataType(AEntry.DataType))
        throw ETIFFError(FormatText("Тег %d: неподдерживаемый DataType %d", {AEntry.Tag, AEntry.DataType}));
}

template <typename T>
std::vector<T> ReadTagArray(const TTiffEntry& AEntry, const TByteSource& AFile, bool ABigEndian,
                            TArrayShortageText AShortageText) {
    const std::uint64_t fileSize = AFile.Size();
    if (AEntry.Count > MaxTagArrayCount)
        throw ETIFFError(FormatText("Тег %d: подозрительно большой Count = %d", {AEntry.Tag, AEntry.Count}));
    CheckDataType(AEntry);
    std::vector<T> values;
    if (AEntry.Count == 0)
        return values;
    const std::uint32_t size = GetDataTypeSize(AEntry.DataType);
    const std::uint8_t* data = AEntry.ValueField.data();
    std::vector<std::uint8_t> stored;
    if (!AEntry.IsInline()) {
        const std::uint32_t offset = ReadU32(AEntry.ValueField.data(), ABigEndian);
        if (offset >= fileSize)
            throw ETIFFError(FormatText("Тег %d: смещение массива за пределами файла", {AEntry.Tag}));
        const std::uint64_t required = std::uint64_t(AEntry.Count) * size;
        if (!IsRangeInside(offset, required, fileSize)) {
            if (AShortageText == TArrayShortageText::astRequiredOnly)
                throw ETIFFError(
                    FormatText("Тег %d: недостаточно данных для массива (%d байт требуется)", {AEntry.Tag, required}));
            throw ETIFFError(FormatText("Тег %d: недостаточно данных для массива (требуется %d байт, доступно %d)",
                                        {AEntry.Tag, required, fileSize - offset}));
        }
        stored.resize(std::size_t(required));
        AFile.Read(offset, stored.data(), stored.size());
        data = stored.data();
    }
    values.reserve(AEntry.Count); // only now that the file is known to hold them
    for (std::uint32_t i = 0; i < AEntry.Count; ++i)
        values.push_back(T(DecodeValue(data + std::uint64_t(i) * size, AEntry.DataType, ABigEndian)));
    return values;
}

} // namespace

std::uint32_t ReadTagValue(const TTiffEntry& AEntry, const TByteSource& AFile, bool ABigEndian) {
    CheckDataType(AEntry);
    if (AEntry.IsInline())
        return DecodeValue(AEntry.ValueField.data(), AEntry.DataType, ABigEndian);
    const std::uint32_t offset = ReadU32(AEntry.ValueField.data(), ABigEndian);
    if (offset >= AFile.Size())
        throw ETIFFError(FormatText("Тег %d: смещение значения за пределами файла", {AEntry.Tag}));
    const std::uint32_t size = GetDataTypeSize(AEntry.DataType);
    if (!IsRangeInside(offset, size, AFile.Size())) {
        const char* typeName = AEntry.DataType == dtByte ? "BYTE" : AEntry.DataType == dtShort ? "SHORT" : "LONG";
        throw ETIFFError(FormatText("Тег %d: недостаточно данных для %s", {AEntry.Tag, typeName}));
    }
    std::uint8_t stored[4];
    AFile.Read(offset, stored, size);
    return DecodeValue(stored, AEntry.DataType, ABigEndian);
}

std::vector<std::uint16_t> ReadTagWordArray(const TTiffEntry& AEntry, const TByteSource& AFile, bool ABigEndian,
                                            TArrayShortageText AShortageText) {
    return ReadTagArray<std::uint16_t>(AEntry, AFile, ABigEndian, AShortageText);
}

std::vector<std::uint32_t> ReadTagCardinalArray(const TTiffEntry& AEntry, const TByteSource& AFile, bool ABigEndian,
                                                TArrayShortageText AShortageText) {
    return ReadTagArray<std::uint32_t>(AEntry, AFile, ABigEndian, AShortageText);
}

} // namespace kvaderon
