// Decoding of TIFF header fields and IFD entries, shared by the inverter's and the analyzer's readers.
#pragma once

#include "ByteOrder.h"

#include <array>

#include <cstdint>
#include <vector>

namespace kvaderon {

class TByteSource;

constexpr std::uint16_t dtByte = 1;
constexpr std::uint16_t dtShort = 3;
constexpr std::uint16_t dtLong = 4;

constexpr std::uint64_t MaxTagArrayCount = 1000000;
constexpr std::uint32_t IFDEntrySize = 12;

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
