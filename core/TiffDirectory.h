// What both TIFF readers need beyond the values of the first IFD: the layouts they refuse by
// their real cause, the rule for repeated tags, and the bytes the file's structure occupies.
#pragma once

#include "FileRange.h"
#include "TiffTags.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kvaderon {

class TByteSource;

// "BigTIFF не поддерживается" for the 8-byte header of a BigTIFF file; empty otherwise.
std::string HeaderLayoutReason(const std::uint8_t* AHeader, bool ABigEndian);

// The IFD's entries, read at AIFDOffset + 2; the caller has checked that they lie inside the file.
std::vector<TTIFFEntry> ReadIFDEntries(const TByteSource& AFile, std::uint32_t AIFDOffset, std::uint16_t ACount,
                                       bool ABigEndian);

// For each entry, whether it is the last one of its tag: earlier duplicates of a tag are neither
// decoded nor used, the last one counts.
std::vector<bool> LastOfEachTag(const std::vector<TTIFFEntry>& AEntries);

// Why the first IFD is not an image of the kind the readers handle: a reduced-resolution copy
// (NewSubfileType bit 0) or a tiled image; empty otherwise.
std::string FirstImageLayoutReason(const std::vector<TTIFFEntry>& AEntries, const TByteSource& AFile,
                                   bool ABigEndian);

// Every byte range that a strip of the first image must not cover: the header, every IFD
// reachable from the first one (next-IFD offsets, SubIFDs, the EXIF, GPS and interoperability
// pointers) with its entries and out-of-line values, and the image data of every IFD but the
// first. Ranges are clipped to nothing where they leave the file. The walk reads at most the
// file's size in IFDs and arrays; an IFD reached twice, more than 1000 IFDs, or more structure
// than the file can hold raise ETIFFError: the file is damaged.
std::vector<TByteRange> ListStructureRanges(const TByteSource& AFile, bool ABigEndian, std::uint32_t AFirstIFD);

} // namespace kvaderon
