// The rules a strip table must meet beyond the readers' own checks; one rule for the inverter and
// the analyzer. Strips of byte count 0 are ignored wherever they point.
#pragma once

#include "CommonTypes.h"
#include "FileRange.h"

#include <cstdint>
#include <vector>

namespace kvaderon {

// SamplesPerPixel 0 where the strips hold samples: any count of samples would divide by zero.
class EZeroSamplesPerPixel : public ETIFFError {
public:
    EZeroSamplesPerPixel() : ETIFFError("Некорректное значение SamplesPerPixel = 0 (деление на ноль)") {}
};

// Checks that the strips divide into pixels for APlanarConfiguration 1 (chunky) or 2 (planar):
// planar strips come one plane after another, so their count is a multiple of ASamplesPerPixel
// (ETIFFError otherwise); SamplesPerPixel 0 is refused (EZeroSamplesPerPixel) for planar strips and
// for chunky ones as soon as a strip inside the file holds a sample.
void CheckSampleLayout(std::uint16_t ASamplesPerPixel, std::uint16_t APlanarConfiguration,
                       const std::vector<std::uint32_t>& AOffsets, const std::vector<std::uint32_t>& AByteCounts,
                       std::uint64_t AFileSize);

// Raises ETIFFError with the Russian reason when the strips cannot be trusted. The checks run in
// this order, each over the whole table: a strip reaching past the end of the file; a strip over any
// of AStructure, the bytes of the file's structure (RangesBesideStrips); two strips sharing
// bytes without being identical in offset and byte count. O((n + m) log(n + m)) for n strips and
// m structure ranges.
void CheckStripTable(const std::vector<std::uint32_t>& AOffsets, const std::vector<std::uint32_t>& AByteCounts,
                     std::uint64_t AFileSize, std::vector<TByteRange> AStructure);

// For each strip, whether its bytes are to be handled: not for byte count 0, and not for a strip
// identical to an earlier one in table order (the two are one block of image data).
std::vector<bool> FirstStripOfEachBlock(const std::vector<std::uint32_t>& AOffsets,
                                        const std::vector<std::uint32_t>& AByteCounts);

} // namespace kvaderon
