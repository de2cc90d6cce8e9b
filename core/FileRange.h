// Bounds checks of file offsets against a file's size.
#pragma once

#include <cstdint>

namespace kvaderon {

// Whether [AOffset, AOffset + ALength) lies inside a file of AFileSize bytes. Written as a
// subtraction after the first test so that no sum can overflow, whatever the file claims.
constexpr bool IsRangeInside(std::uint64_t AOffset, std::uint64_t ALength, std::uint64_t AFileSize) {
    return AOffset <= AFileSize && ALength <= AFileSize - AOffset;
}

// The bytes [Begin, End) of a file.
struct TByteRange {
    std::uint64_t Begin = 0;
    std::uint64_t End = 0;

    bool operator==(const TByteRange&) const = default;
};

} // namespace kvaderon
