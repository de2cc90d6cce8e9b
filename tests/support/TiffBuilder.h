// Builds TIFF files of any layout for the tests, malformed ones included.
#pragma once

#include "TiffTags.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kvaderon::test {

using TBytes = std::vector<std::uint8_t>;

struct TEntry {
    TEntry() = default;
    TEntry(std::uint16_t ATag, std::uint16_t ADataType, std::uint32_t ACount, std::vector<std::uint32_t> AValues = {},
           std::optional<std::uint32_t> ARawField = {})
        : Tag(ATag), DataType(ADataType), Count(ACount), Values(std::move(AValues)), RawField(ARawField) {}

    std::uint16_t Tag = 0;
    std::uint16_t DataType = dtShort;
    std::uint32_t Count = 0;
    std::vector<std::uint32_t> Values;     // written inline when they fit, else after the IFD
    std::optional<std::uint32_t> RawField; // written as the value field instead, in file byte order
};

// A file is: header, blobs in the order they were added, the first IFD, the arrays that did not
// fit into their entries, then an optional second IFD. Everything can be overridden.
class TTiffBuilder {
public:
    explicit TTiffBuilder(bool ABigEndian = false) : FBigEndian(ABigEndian) {}

    bool BigEndian() const { return FBigEndian; }

    // Bytes placed right after the header; returns their offset.
    std::uint32_t AddBlob(const TBytes& ABytes);
    // An IFD placed as a blob (a SubIFD, or one of a chain), its arrays right after it; returns
    // its offset.
    std::uint32_t AddIFD(const std::vector<TEntry>& AEntries, std::uint32_t ANextIFD = 0);
    // 16-bit samples stored in the file byte order; returns their offset.
    std::uint32_t AddSamples(const std::vector<std::uint16_t>& ASamples);

    // Adds or replaces the entry for ATag; Count is the number of values.
    TTiffBuilder& Set(std::uint16_t ATag, std::uint16_t ADataType, std::vector<std::uint32_t> AValues);
    // Adds an entry with any Count and a raw value field; never replaces.
    TTiffBuilder& AddRaw(std::uint16_t ATag, std::uint16_t ADataType, std::uint32_t ACount, std::uint32_t ARawField);
    // Adds an entry even when the tag is already present (a repeated tag).
    TTiffBuilder& Add(std::uint16_t ATag, std::uint16_t ADataType, std::vector<std::uint32_t> AValues);
    TTiffBuilder& Remove(std::uint16_t ATag);

    TTiffBuilder& Signature(std::string ATwoLetters);
    TTiffBuilder& Version(std::uint16_t AVersion);
    TTiffBuilder& IFDOffset(std::uint32_t AOffset);
    TTiffBuilder& EntryCount(std::uint16_t ACount);
    // A second IFD (say a thumbnail) linked from the first.
    TTiffBuilder& SecondIFD(std::vector<TEntry> AEntries);

    std::vector<TEntry>& Entries() { return FEntries; }

    TBytes Build() const;

private:
    void WriteIFD(TBytes& AOut, std::size_t AAt, const std::vector<TEntry>& AEntries, std::uint32_t ANextIFD,
                  std::optional<std::uint16_t> ACountOverride) const;

    bool FBigEndian;
    std::string FSignature;
    std::uint16_t FVersion = 42;
    std::optional<std::uint32_t> FIFDOffset;
    std::optional<std::uint16_t> FEntryCount;
    TBytes FBlobs;
    std::vector<TEntry> FEntries;
    std::vector<TEntry> FSecondEntries;
};

// A complete 16-bit image; Samples are all samples in file order (pixel by pixel, or plane by plane).
struct TImageLayout {
    bool BigEndian = false;
    std::uint32_t Width = 4;
    std::uint32_t Height = 2;
    std::uint16_t SamplesPerPixel = 1;
    std::uint16_t Planar = 1;
    std::optional<std::uint16_t> Photometric = 1;
    std::optional<std::uint16_t> SampleFormat;
    std::vector<std::uint16_t> ExtraSamples;
    std::uint32_t StripsPerPlane = 1;
    std::vector<std::uint16_t> Samples; // empty: a ramp 0x1234 + 0x0101 * i
};

std::size_t SampleCount(const TImageLayout& ALayout);
std::vector<std::uint16_t> ImageSamples(const TImageLayout& ALayout);
// A builder holding the tags and strips of the image, ready for further changes.
TTiffBuilder BuildImage(const TImageLayout& ALayout);

// The entries of a 2 x 2 RGB thumbnail of ABits-bit samples (bytes 0x10, 0x11, …), NewSubfileType 1,
// its strip added to ABuilder; ACompression 7 makes it a JPEG one (its bytes are not JPEG).
std::vector<TEntry> ThumbnailEntries(TTiffBuilder& ABuilder, std::uint16_t ABits, std::uint16_t ASamplesPerPixel,
                                     std::uint16_t ACompression = 1);

// A 4 x 2 RGB image of 16-bit samples.
TTiffBuilder RgbImage(bool ABigEndian = false);
// The bytes of that image after AChange.
TBytes ChangedRgbImage(const std::function<void(TTiffBuilder&)>& AChange);

// A heap copy of exactly the file's length, so AddressSanitizer sees every read past its end.
std::unique_ptr<std::uint8_t[]> ExactCopy(const TBytes& ABytes);

void WriteFile(const std::filesystem::path& APath, const TBytes& ABytes);
TBytes ReadFile(const std::filesystem::path& APath);
// The same for text, byte for byte.
void WriteTextFile(const std::filesystem::path& APath, const std::string& AText);
std::string ReadTextFile(const std::filesystem::path& APath);

} // namespace kvaderon::test
