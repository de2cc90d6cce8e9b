// The rules a strip table must meet beyond the readers' own checks; one rule for the inverter and
// the analyzer. Strips of byte count 0 are ignored wherever they point.
#pragma once

#include "FileRange.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kvaderon {

// The Russian reason why the strips cannot be trusted, or an empty text. The checks run in this
// order, each over the whole table: a strip reaching past the end of the file; a strip over any
// of AStructure, the bytes of the file's structure (ListStructureRanges); two strips sharing
// bytes without being identical in offset and byte count. O((n + m) log(n + m)) for n strips and
// m structure ranges.
std::string FindStripTableDamage(const std::vector<std::uint32_t>& AOffsets,
                                 const std::vector<std::uint32_t>& AByteCounts, std::uint64_t AFileSize,
                                 std::vector<TByteRange> AStructure);

// For each strip, whether its bytes are to be handled: not for byte count 0, and not for a strip
// identical to an earlier one in table order (the two are one block of image data).
std::vector<bool> FirstStripOfEachBlock(const std::vector<std::uint32_t>& AOffsets,
                                        const std::vector<std::uint32_t>& AByteCounts);

} // namespace kvaderon
