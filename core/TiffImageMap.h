// The page map of a TIFF file: what is known of each image it holds (ReadFileLayout finds them).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvaderon {

enum class TImageRole : std::uint8_t { irMain, irReduced, irPage, irMask };

struct TTiffImage {
    std::string Where;   // "IFD 0", "IFD 1", "SubIFD 0 of IFD 0", …
    std::string WhereRu; // the same for the report: "SubIFD 0 в IFD 0"
    TImageRole Role = TImageRole::irPage;
    std::uint32_t IFDOffset = 0;
    std::uint16_t IFDEntryCount = 0;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::vector<std::uint16_t> BitsPerSample; // as stored; empty when absent
    std::uint16_t SamplesPerPixel = 1;
    std::uint16_t Compression = 1;
    std::uint16_t PhotometricInterpretation = 1;
    std::uint16_t PlanarConfiguration = 1;
    std::uint16_t SampleFormat = 1;
    std::vector<std::uint16_t> ExtraSamples;
    std::vector<std::uint32_t> StripOffsets;
    std::vector<std::uint32_t> StripByteCounts;
    bool IsTiled = false;
    bool IsComplete = true; // false when a tag of the IFD could not be read

    // The first BitsPerSample value, 1 when the tag is absent (the format's default).
    std::uint16_t Bits() const { return BitsPerSample.empty() ? 1 : BitsPerSample.front(); }
};

// "main", "reduced", "page", "mask".
std::string_view RoleWord(TImageRole ARole);
// "основное изображение", "уменьшенная копия", "другая страница", "маска прозрачности".
std::string_view RoleText(TImageRole ARole);

} // namespace kvaderon
