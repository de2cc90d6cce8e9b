// The IFDs of a TIFF file: the first one with the layouts the readers refuse by their real cause,
// any IFD as stored, the rule for repeated tags, and the one walk over all IFDs of a file.
#pragma once

#include "FileRange.h"
#include "TiffImageMap.h"
#include "TiffTags.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvaderon {

class TByteSource;

// No IFD needs more entries; a larger count is damage.
constexpr std::uint16_t MaxIFDEntries = 1000;

// The two refusals of the header and first IFD that the readers word each in their own way.
struct TFirstIFDTexts {
    const char* BadSignature;
    const char* BadEntryCount; // a FormatText pattern of the entry count
};

struct TFirstIFD {
    bool BigEndian = false;
    std::uint32_t Offset = 0;
    std::vector<TTiffEntry> Entries;
};

// Reads the header and the entries of the first IFD and refuses, by raising ETIFFError with the
// Russian reason, a file too small, of a wrong signature, a BigTIFF, a first IFD outside the file,
// of no or more than MaxIFDEntries entries or cut short, and a first image of a layout the readers
// do not handle: a reduced-resolution copy (NewSubfileType bit 0) or a tiled image. Reads nothing
// outside the file.
TFirstIFD ReadFirstIFD(const TByteSource& AFile, const TFirstIFDTexts& ATexts);

// An IFD as the file stores it.
struct TStoredIFD {
    std::uint16_t EntryCount = 0;
    bool EntriesInside = false;      // whether all EntryCount entries lie inside the file
    std::vector<TTiffEntry> Entries; // empty unless EntriesInside
    std::uint32_t NextIFD = 0;       // 0 also where the next-IFD offset would lie outside the file
};

// The IFD at AOffset, read only where it lies inside the file; nothing when not even its entry
// count does. Every reader and walk of IFDs reads them here.
std::optional<TStoredIFD> ReadStoredIFD(const TByteSource& AFile, std::uint32_t AOffset, bool ABigEndian);

// For each entry, whether it is the last one of its tag: earlier duplicates of a tag are neither
// decoded nor used, the last one counts.
std::vector<bool> LastOfEachTag(const std::vector<TTiffEntry>& AEntries);

// What the walk of a file's IFDs finds. The walk starts at the first IFD and follows next-IFD
// offsets, SubIFDs and the EXIF, GPS and interoperability pointers, and the next-IFD offsets of
// each IFD it reaches; it visits each IFD once, however many routes lead to it.
struct TFileLayout {
    // The header and every IFD reached, with its entries and out-of-line values; clipped to
    // nothing where they leave the file.
    std::vector<TByteRange> Structure;
    // The strips, tiles and JPEG data of every IFD but the first.
    std::vector<TByteRange> ImageData;
    // The images among the IFDs: the first, the chain from it and the SubIFDs of each, in the
    // order IFD 0, its SubIFDs, IFD 1, its SubIFDs, and so on. An IFD of no or more than
    // MaxIFDEntries entries, or one whose entries leave the file, is none and ends its chain.
    std::vector<TTiffImage> Images;
};

// Reads the layout with a bounded walk: it reads at most the file's size in IFDs and in arrays.
// A chain of next-IFD offsets that comes back to an IFD it already followed, IFDs whose bytes
// overlap, more than 1000 IFDs, or more arrays than the file can hold raise ETIFFError: the file
// is damaged. Failures to read the file (platform::ESystemError) pass through.
TFileLayout ReadFileLayout(const TByteSource& AFile, bool ABigEndian, std::uint32_t AFirstIFD);

// The byte ranges the first image's strips (AOffsets, AByteCounts) must not cover: the layout's
// structure and the other images' data, but for data that is one of these very strips (a reduced
// image stored as the main image's own strips).
std::vector<TByteRange> RangesBesideStrips(const TFileLayout& ALayout, const std::vector<std::uint32_t>& AOffsets,
                                           const std::vector<std::uint32_t>& AByteCounts);

} // namespace kvaderon
