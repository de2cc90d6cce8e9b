// The bit-depth analyzer's reader of a TIFF file's first image file directory.
#pragma once

#include "TiffDirectory.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kvaderon {

class TByteSource;

// What the analysis needs of a file; a missing tag leaves its default.
struct TAnalysisTiffInfo {
    bool BigEndian = false;
    std::uint32_t IFDOffset = 0;
    std::uint16_t IFDEntryCount = 0;
    std::uint16_t ImageWidth = 0;
    std::uint16_t ImageHeight = 0;
    std::uint16_t BitsPerSample = 0;
    std::uint16_t Compression = 1;
    std::uint16_t PhotometricInterpretation = 1;
    std::uint16_t SamplesPerPixel = 1;
    std::uint16_t PlanarConfiguration = 1;
    std::vector<std::uint32_t> StripOffsets;
    std::vector<std::uint32_t> StripByteCounts;
    std::vector<std::uint16_t> ExtraSamples;
    TFileLayout Layout; // every IFD of the file, the first one included
};

// Reads the header and the first IFD of a file and checks that the samples are 16-bit integers,
// uncompressed and held in strips, then walks all IFDs of the file. Returns false with the Russian reason in AReason
// when the file is rejected; AInfo is then not to be used. Reads nothing outside the file; of a repeated tag only the
// last entry is read. Failures other than a rejection (memory exhaustion, a file that cannot be read) are raised.
bool ParseTIFFForAnalysis(const TByteSource& AFile, TAnalysisTiffInfo& AInfo, std::string& AReason);
// The same for a file held in AView[0, AFileSize).
bool ParseTIFFForAnalysis(const std::uint8_t* AView, std::uint64_t AFileSize, TAnalysisTiffInfo& AInfo,
                          std::string& AReason);

} // namespace kvaderon
