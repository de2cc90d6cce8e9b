// The inverter's reader of a TIFF file's first image file directory.
#pragma once

#include "TiffDirectory.h"

#include <cstdint>
#include <vector>

namespace kvaderon {

class TByteSource;

struct TTiffStructure {
    bool BigEndian = false;
    std::uint32_t IFDOffset = 0;
    std::uint16_t IFDEntryCount = 0;
    std::uint32_t ImageWidth = 0;  // 0 when absent
    std::uint32_t ImageLength = 0; // 0 when absent
    std::uint16_t BitsPerSample = 0;
    std::uint16_t Compression = 1;
    std::uint16_t PhotometricInterpretation = 1;
    std::uint16_t SamplesPerPixel = 1;
    std::uint16_t PlanarConfiguration = 1;
    std::uint16_t SampleFormat = 1;
    std::vector<std::uint32_t> StripOffsets;
    std::vector<std::uint32_t> StripByteCounts;
    std::vector<std::uint16_t> ExtraSamples;
    TFileLayout Layout; // every IFD of the file, the first one included
};

// Validates the header and first IFD of a 16-bit uncompressed TIFF of integer samples and the
// walk over all its IFDs, and returns what the inversion needs; raises ETIFFError with the Russian reason at the first
// failing check (and platform::ESystemError when the file cannot be read). Reads nothing outside the file. Of a
// repeated tag only the last entry is read. Strip positions are not checked here.
TTiffStructure ParseTIFFStructure(const TByteSource& AFile);
// The same for a file held in AView[0, AFileSize).
TTiffStructure ParseTIFFStructure(const std::uint8_t* AView, std::uint64_t AFileSize);

} // namespace kvaderon
