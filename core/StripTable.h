// The rules a strip table must meet beyond the readers' own checks; one rule for the inverter and
// the analyzer. Strips of byte count 0 are ignored wherever they point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvaderon {

// The Russian reason why the strips cannot be trusted, or an empty text. The checks run in this
// order, each over the whole table: a strip reaching past the end of the file; a strip over the
// 8-byte header or over the IFD (its count, entries and next-IFD offset); two strips sharing
// bytes without being identical in offset and byte count. O(n log n) in the number of strips.
std::string FindStripTableDamage(const std::vector<std::uint32_t>& AOffsets,
                                 const std::vector<std::uint32_t>& AByteCounts, std::uint64_t AFileSize,
                                 std::uint32_t AIFDOffset, std::uint16_t AIFDEntryCount);

// For each strip, whether its bytes are to be handled: not for byte count 0, and not for a strip
// identical to an earlier one in table order (the two are one block of image data).
std::vector<bool> FirstStripOfEachBlock(const std::vector<std::uint32_t>& AOffsets,
                                        const std::vector<std::uint32_t>& AByteCounts);

} // namespace kvaderon
