// The inverter's reader of a TIFF file's first image file directory.
#pragma once

#include <cstdint>
#include <vector>

namespace kvaderon {

struct TTIFFStructure {
    bool BigEndian = false;
    std::uint16_t BitsPerSample = 0;
    std::uint16_t Compression = 0;
    std::uint16_t PhotometricInterpretation = 1;
    std::uint16_t SamplesPerPixel = 0;
    std::uint16_t PlanarConfiguration = 1;
    std::uint16_t SampleFormat = 1;
    std::vector<std::uint32_t> StripOffsets;
    std::vector<std::uint32_t> StripByteCounts;
    std::vector<std::uint16_t> ExtraSamples;
};

// Validates a 16-bit uncompressed TIFF held in AView[0, AFileSize) and returns what the inversion
// needs; raises ETIFFError with the Russian reason at the first failing check. Reads nothing
// outside the given bytes and never writes to them. Strip positions are not checked here.
TTIFFStructure ParseTIFFStructure(const std::uint8_t* AView, std::uint64_t AFileSize);

} // namespace kvaderon
