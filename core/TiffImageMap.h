// The page map of a TIFF file: every image it holds, found by following the chain of IFDs from
// the first and the SubIFDs of each, with a bounded walk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvaderon {

class TByteSource;

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

// No file needs more; a longer walk is a loop or damage.
constexpr std::size_t MaxMapImages = 1000;

// The images in the order the walk meets them: IFD 0, its SubIFDs, IFD 1, its SubIFDs, and so on.
// The walk ends at the end of the chain, at an IFD already visited, at an IFD that cannot be read
// (outside the file, no entries or too many) and after MaxMapImages images; it never fails.
// Failures to read the file itself (platform::ESystemError) pass through.
std::vector<TTiffImage> ReadImageMap(const TByteSource& AFile, bool ABigEndian, std::uint32_t AFirstIFD);

// "main", "reduced", "page", "mask".
std::string_view RoleWord(TImageRole ARole);
// "основное изображение", "уменьшенная копия", "другая страница", "маска прозрачности".
std::string_view RoleText(TImageRole ARole);

} // namespace kvaderon
