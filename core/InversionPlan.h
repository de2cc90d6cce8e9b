// Which bytes of a file the inversion changes and how, worked out once per file from its
// structure, and applied to the file's bytes chunk by chunk as they stream past.
#pragma once

#include "FileRange.h"
#include "SampleInversion.h"
#include "TiffStructureReader.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kvaderon {

class TByteSource;
struct TTiffImage;

class TInversionPlan {
public:
    // Raises ETIFFError for a structure that cannot be inverted: SamplesPerPixel 0, a planar strip
    // count that is not a multiple of SamplesPerPixel, then the strip table's damage.
    TInversionPlan(const TTiffStructure& AStructure, std::uint64_t AFileSize);

    // The [start, end) chunks a streamed pass cuts the file's AFileSize bytes into, in order, each
    // at most AMaxBytes long.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> Chunks(std::uint64_t AFileSize, std::uint64_t AMaxBytes) const;

    // Adds the reduced-resolution images of the file (its page map, the first image not counted)
    // that hold uncompressed unsigned 8- or 16-bit grey or RGB samples in strips
    // that touch nothing else of the file's structure (header, IFDs, values stored outside them,
    // other images' data) but for strips of the first image; their samples are inverted by the
    // rule of the first image. Returns one Russian note for each reduced image left as it is.
    std::vector<std::string> AddPreviews(std::uint64_t AFileSize);

    // Inverts the strip bytes among AData[0, ALength), the file's bytes from APosition on: one of
    // the Chunks, which may come in any order.
    void Apply(std::uint8_t* AData, std::size_t ALength, std::uint64_t APosition) const;

    // The byte at AOffset of the file is one the inversion changes (a byte of an inverted sample).
    bool Inverts(std::uint64_t AOffset) const;

    // What the file's reader found, the first image's structure and the file's layout.
    const TTiffStructure& Structure() const { return FTiff; }

    // How many planned regions the previews' strips were compared with, in all: a binary search
    // per strip, not a scan of the plan.
    std::uint64_t RegionsVisited() const { return FRegionsVisited; }

private:
    struct TRegion {
        std::uint64_t Offset;
        std::uint64_t Length; // whole samples only: an odd last byte of a strip stays
        std::size_t Pattern;  // of FPatterns
        std::uint64_t End() const { return Offset + Length; }
    };

    void AddRegion(std::uint32_t AOffset, std::uint32_t AByteCount, std::size_t APattern,
                   std::uint32_t ASampleBytes = 2);
    // The reason why APreview stays as it is, or an empty text once its strips are added.
    std::string AddPreview(const TTiffImage& APreview, std::uint64_t AFileSize);
    bool IsMainStrip(std::uint32_t AOffset, std::uint32_t AByteCount) const;
    // [AOffset, AOffset + ALength) shares a byte with a planned region.
    bool OverlapsPlanned(std::uint64_t AOffset, std::uint64_t ALength);
    static bool OffsetBefore(const TRegion& A, const TRegion& B);

    std::vector<TRegion> FRegions;      // in file order, disjoint
    std::vector<TXorPattern> FPatterns; // the first image's chunky and planar patterns first
    TTiffStructure FTiff;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> FMainStrips; // offset and byte count, sorted
    std::uint64_t FRegionsVisited = 0;
};

// Every check the inverter makes before it writes anything: the structure (ParseTIFFStructure),
// then the plan's own; with AInvertPreviews the reduced images are added (AddPreviews) and their
// notes put into APreviewNotes when given. Raises ETIFFError with the reason of the refusal,
// platform::ESystemError when the file cannot be read. The inverter, verify and the preview
// all plan here.
TInversionPlan PlanInversion(const TByteSource& AFile, bool AInvertPreviews = false,
                             std::vector<std::string>* APreviewNotes = nullptr);

} // namespace kvaderon
