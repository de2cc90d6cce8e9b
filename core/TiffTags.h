// Decoding of TIFF header fields and IFD entries, shared by the inverter's and the analyzer's readers.
#pragma once

#include "ByteOrder.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <vector>

namespace kvaderon {

class TByteSource;

// The tags the readers, the structure walk and the tests' file builder name.
constexpr std::uint16_t tagNewSubfileType = 254;
constexpr std::uint16_t tagSubfileType = 255;
constexpr std::uint16_t tagImageWidth = 256;
constexpr std::uint16_t tagImageLength = 257;
constexpr std::uint16_t tagBitsPerSample = 258;
constexpr std::uint16_t tagCompression = 259;
constexpr std::uint16_t tagPhotometric = 262;
constexpr std::uint16_t tagStripOffsets = 273;
constexpr std::uint16_t tagSamplesPerPixel = 277;
constexpr std::uint16_t tagRowsPerStrip = 278;
constexpr std::uint16_t tagStripByteCounts = 279;
constexpr std::uint16_t tagPlanarConfiguration = 284;
constexpr std::uint16_t tagTileWidth = 322;
constexpr std::uint16_t tagTileLength = 323;
constexpr std::uint16_t tagTileOffsets = 324;
constexpr std::uint16_t tagTileByteCounts = 325;
constexpr std::uint16_t tagSubIFDs = 330;
constexpr std::uint16_t tagExtraSamples = 338;
constexpr std::uint16_t tagSampleFormat = 339;
constexpr std::uint16_t tagJPEGInterchangeFormat = 513;
constexpr std::uint16_t tagJPEGInterchangeFormatLength = 514;
constexpr std::uint16_t tagExifIFD = 34665;
constexpr std::uint16_t tagGPSIFD = 34853;
constexpr std::uint16_t tagInteroperabilityIFD = 40965;

// The data types of TIFF 6.0. BYTE, SHORT and LONG are read (IFD as LONG where an IFD pointer is
// stored); the others only need their size.
constexpr std::uint16_t dtByte = 1;
constexpr std::uint16_t dtAscii = 2;
constexpr std::uint16_t dtShort = 3;
constexpr std::uint16_t dtLong = 4;
constexpr std::uint16_t dtRational = 5;
constexpr std::uint16_t dtFloat = 11;
constexpr std::uint16_t dtDouble = 12;
constexpr std::uint16_t dtIFD = 13;

// Bytes per value of every data type the format defines (BigTIFF's 16 to 18 included); 0 for
// the codes it does not.
constexpr std::uint32_t StoredDataTypeSize(std::uint16_t ADataType) {
    constexpr std::uint8_t sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4, 0, 0, 8, 8, 8};
    return ADataType < std::size(sizes) ? sizes[ADataType] : 0;
}

// Tags whose values are offsets of further IFDs.
constexpr bool IsIFDPointerTag(std::uint16_t ATag) {
    return ATag == tagSubIFDs || ATag == tagExifIFD || ATag == tagGPSIFD || ATag == tagInteroperabilityIFD;
}

constexpr std::uint64_t MaxTagArrayCount = 1000000;

// The sizes of the classic layout: a 2-byte entry count, 12-byte entries with a 4-byte value
// field, a 4-byte offset of the next IFD. BigTIFF would make them 8, 20, 8 and 8: every reader of
// IFDs takes them from here.
constexpr std::uint32_t IFDCountSize = 2;
constexpr std::uint32_t IFDEntrySize = 12;
constexpr std::uint32_t NextIFDSize = 4;

// Bytes per value; every DataType that cannot be read counts as 4 for the inline decision.
constexpr std::uint32_t GetDataTypeSize(std::uint16_t ADataType) {
    return ADataType == dtByte ? 1 : ADataType == dtShort ? 2 : 4;
}

struct TTiffEntry {
    std::uint16_t Tag = 0;
    std::uint16_t DataType = 0;
    std::uint32_t Count = 0;
    std::array<std::uint8_t, 4> ValueField{}; // as stored

    // The values fit into the value field; the product cannot overflow in 64 bits.
    bool IsInline() const { return std::uint64_t(Count) * GetDataTypeSize(DataType) <= 4; }
};

// AEntry points at the entry's 12 bytes.
inline TTiffEntry DecodeEntry(const std::uint8_t* AEntry, bool ABigEndian) {
    return {ReadU16(AEntry, ABigEndian),
            ReadU16(AEntry + 2, ABigEndian),
            ReadU32(AEntry + 4, ABigEndian),
            {AEntry[8], AEntry[9], AEntry[10], AEntry[11]}};
}

// Where an array entry stored at an offset ends past the file, the two readers word it differently.
enum class TArrayShortageText { astRequiredAndAvailable, astRequiredOnly };

// Each read below raises ETIFFError with the Russian message of the failed check.
// The entry's first value; scalars of any readable DataType.
std::uint32_t ReadTagValue(const TTiffEntry& AEntry, const TByteSource& AFile, bool ABigEndian);
// All Count values; inline arrays are read whole, as far as they fit into the value field.
std::vector<std::uint16_t> ReadTagWordArray(const TTiffEntry& AEntry, const TByteSource& AFile, bool ABigEndian,
                                            TArrayShortageText AShortageText);
std::vector<std::uint32_t> ReadTagCardinalArray(const TTiffEntry& AEntry, const TByteSource& AFile, bool ABigEndian,
                                                TArrayShortageText AShortageText);

} // namespace kvaderon
