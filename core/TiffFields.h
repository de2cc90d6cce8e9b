// The values of an IFD's tags as every reader of IFDs decodes them: one rule per tag, each
// reader keeping only its own checks of what it took.
#pragma once

#include "TiffTags.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kvaderon {

class TByteSource;

// The fields of one IFD; a tag not met leaves the format's default (SamplesPerPixel 1,
// Compression 1, PhotometricInterpretation 1, PlanarConfiguration 1, SampleFormat 1).
struct TImageFields {
    std::uint32_t NewSubfileType = 0;
    std::uint16_t SubfileType = 0;
    std::uint32_t ImageWidth = 0;
    std::uint32_t ImageLength = 0;
    std::vector<std::uint16_t> BitsPerSample; // as stored; empty when absent
    std::uint16_t Compression = 1;
    std::uint16_t PhotometricInterpretation = 1;
    std::vector<std::uint32_t> StripOffsets;
    std::uint16_t SamplesPerPixel = 1;
    std::vector<std::uint32_t> StripByteCounts;
    std::uint16_t PlanarConfiguration = 1;
    bool IsTiled = false;
    std::vector<std::uint32_t> SubIFDs;
    std::vector<std::uint16_t> ExtraSamples;
    std::uint16_t SampleFormat = 1;
};

// Whether ATag is one of the fields above.
bool IsImageFieldTag(std::uint16_t ATag);

// Decodes AEntry into its field of AFields (scalars keep the low 16 bits where the field has
// them, the first value of several); a tag that is no field leaves AFields as it was. A SubIFDs
// entry of type IFD is read as LONG. Raises ETIFFError with the reader's message when the values
// cannot be read; the array messages are worded as AShortageText says.
void DecodeImageField(const TTiffEntry& AEntry, const TByteSource& AFile, bool ABigEndian,
                      TArrayShortageText AShortageText, TImageFields& AFields);

// Raises ETIFFError for a SampleFormat other than 1 (unsigned) and 2 (signed integers): the
// samples are not numbers the inversion can flip.
void CheckSampleFormat(std::uint16_t ASampleFormat);

} // namespace kvaderon
