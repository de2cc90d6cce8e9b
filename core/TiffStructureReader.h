// The inverter's reader of a TIFF file's first image file directory.
#pragma once

#include "FileRange.h"

#include <cstdint>
#include <vector>

namespace kvaderon {

class TByteSource;

struct TTiffStructure {
    bool BigEndian = false;
    std::uint32_t IFDOffset = 0;
    std::uint16_t IFDEntryCount = 0;
    std::uint16_t BitsPerSample = 0;
    std::uint16_t Compression = 0;
    std::uint16_t PhotometricInterpretation = 1;
    std::uint16_t SamplesPerPixel = 0;
    std::uint16_t PlanarConfiguration = 1;
    std::uint16_t SampleFormat = 1;
    std::vector<std::uint32_t> StripOffsets;
    std::vector<std::uint32_t> StripByteCounts;
    std::vector<std::uint16_t> ExtraSamples;
    std::vector<TByteRange> Structure; // what the strips must not cover (ListStructureRanges)
};

// Validates the header and first IFD of a 16-bit uncompressed TIFF and returns what the inversion
// needs; raises ETIFFError with the Russian reason at the first failing check (and
// platform::ESystemError when the file cannot be read). Reads nothing outside the file. Of a
// repeated tag only the last entry is read. Strip positions are not checked here.
TTiffStructure ParseTIFFStructure(const TByteSource& AFile);
// The same for a file held in AView[0, AFileSize).
TTiffStructure ParseTIFFStructure(const std::uint8_t* AView, std::uint64_t AFileSize);

} // namespace kvaderon
