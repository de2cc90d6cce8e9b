// What both TIFF readers need beyond the values of the first IFD: the layouts they refuse by
// their real cause, the rule for repeated tags, and the bytes the file's structure occupies.
#pragma once

#include "FileRange.h"
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

// Every byte range that a strip of the first image must not cover: the header, every IFD
// reachable from the first one (next-IFD offsets, SubIFDs, the EXIF, GPS and interoperability
// pointers) with its entries and out-of-line values, and the image data of every IFD but the
// first. Ranges are clipped to nothing where they leave the file. The walk reads at most the
// file's size in IFDs and arrays; an IFD reached twice, more than 1000 IFDs, or more structure
// than the file can hold raise ETIFFError: the file is damaged.
std::vector<TByteRange> ListStructureRanges(const TByteSource& AFile, bool ABigEndian, std::uint32_t AFirstIFD);

} // namespace kvaderon
