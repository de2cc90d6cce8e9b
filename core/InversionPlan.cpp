#include "InversionPlan.h"

#include "AlphaChannel.h"
#include "ByteSource.h"
#include "CommonTypes.h"
#include "CompressionNames.h"
#include "FileRange.h"
#include "StripTable.h"
#include "TiffDirectory.h"
#include "TiffImageMap.h"
#include "TiffStructureReader.h"
#include "TiffTags.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace kvaderon {

namespace {

std::uint16_t MaskOf(const TTiffStructure& AStructure) {
    return AStructure.SampleFormat == 2 ? 0x7FFF : 0xFFFF;
}

// Why a reduced image cannot be inverted as the first image is; empty when it can.
std::string PreviewFormatProblem(const TTiffImage& AImage) {
    if (AImage.Compression != 1) {
        const std::string_view name = CompressionName(AImage.Compression);
        return "сжата (" + (name.empty() ? std::to_string(AImage.Compression) : std::string(name)) + ")";
    }
    const auto& bits = AImage.BitsPerSample;
    const bool uniform = !bits.empty() && std::all_of(bits.begin(), bits.end(), [&](auto b) { return b == bits[0]; });
    const bool photometric = AImage.PhotometricInterpretation <= 2;
    const bool layout = (AImage.PlanarConfiguration == 1 || AImage.PlanarConfiguration == 2) &&
                        AImage.SamplesPerPixel > 0 && !AImage.StripOffsets.empty() &&
                        AImage.StripOffsets.size() == AImage.StripByteCounts.size() &&
                        (AImage.PlanarConfiguration == 1 || AImage.StripOffsets.size() % AImage.SamplesPerPixel == 0);
    if (AImage.IsTiled || !AImage.IsComplete || !uniform || (bits[0] != 8 && bits[0] != 16) || !photometric ||
        AImage.SampleFormat != 1 || !layout)
        return "её формат не поддерживается";
    return {};
}

// AStructure less one range for each of the strips given: what a preview's strips must not touch.
std::vector<TByteRange> StructureBesides(std::vector<TByteRange> AStructure, const std::vector<std::uint32_t>& AOffsets,
                                         const std::vector<std::uint32_t>& AByteCounts) {
    std::vector<TByteRange> own;
    for (std::size_t s = 0; s < AOffsets.size(); ++s)
        own.push_back({AOffsets[s], std::uint64_t(AOffsets[s]) + AByteCounts[s]});
    const auto before = [](const TByteRange& A, const TByteRange& B) {
        return std::pair(A.Begin, A.End) < std::pair(B.Begin, B.End);
    };
    std::sort(AStructure.begin(), AStructure.end(), before);
    std::sort(own.begin(), own.end(), before);
    std::vector<TByteRange> rest;
    std::set_difference(AStructure.begin(), AStructure.end(), own.begin(), own.end(), std::back_inserter(rest), before);
    return rest;
}

// The byte masks of one pixel (chunky) or of one sample of a plane (planar). Every byte of an
// unsigned colour sample is flipped whole, so the byte order does not matter.
std::vector<std::uint8_t> PreviewMasks(const TTiffImage& AImage, std::uint32_t AChannels) {
    const std::uint32_t bytes = AImage.Bits() / 8;
    std::vector<std::uint8_t> masks(std::size_t(AChannels) * bytes, 0xFF);
    if (AChannels > 1 &&
        IsAlphaChannel(AChannels - 1, AImage.SamplesPerPixel, AImage.ExtraSamples, AImage.PhotometricInterpretation))
        std::fill(masks.end() - bytes, masks.end(), 0);
    return masks;
}

constexpr std::size_t ChunkyPatternIndex = 0;
constexpr std::size_t PlanarPatternIndex = 1;

} // namespace

TInversionPlan::TInversionPlan(const TTiffStructure& AStructure, std::uint64_t AFileSize)
    : FPatterns{ChunkyPattern(AStructure.SamplesPerPixel, AStructure.ExtraSamples, AStructure.PhotometricInterpretation,
                              AStructure.BigEndian, MaskOf(AStructure)),
                TXorPattern({MaskOf(AStructure)}, AStructure.BigEndian)},
      FTiff(AStructure) {
    CheckSampleLayout(AStructure.SamplesPerPixel, AStructure.PlanarConfiguration, AStructure.StripOffsets,
                      AStructure.StripByteCounts, AFileSize);
    const auto& offsets = AStructure.StripOffsets;
    const auto& counts = AStructure.StripByteCounts;
    CheckStripTable(offsets, counts, AFileSize, RangesBesideStrips(AStructure.Layout, offsets, counts));
    const std::vector<bool> handled = FirstStripOfEachBlock(offsets, counts);

    if (AStructure.PlanarConfiguration == 1) {
        for (std::size_t i = 0; i < offsets.size(); ++i)
            if (handled[i])
                AddRegion(offsets[i], counts[i], ChunkyPatternIndex);
    } else {
        const std::uint16_t planes = AStructure.SamplesPerPixel;
        const std::size_t stripsPerPlane = offsets.size() / planes;
        for (std::uint32_t plane = 0; plane < planes; ++plane) {
            if (IsAlphaChannel(plane, planes, AStructure.ExtraSamples, AStructure.PhotometricInterpretation))
                continue;
            for (std::size_t i = plane * stripsPerPlane; i < (plane + 1) * stripsPerPlane; ++i)
                if (handled[i])
                    AddRegion(offsets[i], counts[i], PlanarPatternIndex);
        }
    }
    std::sort(FRegions.begin(), FRegions.end(), OffsetBefore);
    for (std::size_t i = 0; i < offsets.size(); ++i)
        FMainStrips.emplace_back(offsets[i], counts[i]);
    std::sort(FMainStrips.begin(), FMainStrips.end());
}

bool TInversionPlan::OffsetBefore(const TRegion& A, const TRegion& B) {
    return A.Offset < B.Offset;
}

void TInversionPlan::AddRegion(std::uint32_t AOffset, std::uint32_t AByteCount, std::size_t APattern,
                               std::uint32_t ASampleBytes) {
    const std::uint64_t length = AByteCount / ASampleBytes * ASampleBytes;
    if (length > 0)
        FRegions.push_back({AOffset, length, APattern});
}

std::vector<std::string> TInversionPlan::AddPreviews(std::uint64_t AFileSize) {
    const std::vector<TTiffImage>& AImages = FTiff.Layout.Images;
    std::vector<std::string> notes;
    for (std::size_t i = 1; i < AImages.size(); ++i) {
        if (AImages[i].Role != TImageRole::irReduced)
            continue;
        const std::string problem = AddPreview(AImages[i], AFileSize);
        if (!problem.empty())
            notes.push_back("миниатюра " + AImages[i].WhereRu + " не инвертирована: " + problem);
    }
    return notes;
}

std::string TInversionPlan::AddPreview(const TTiffImage& APreview, std::uint64_t AFileSize) {
    const std::string problem = PreviewFormatProblem(APreview);
    if (!problem.empty())
        return problem;
    const auto& offsets = APreview.StripOffsets;
    const auto& counts = APreview.StripByteCounts;
    // Its strips may touch nothing else the file holds (its structure, whose image data of later
    // IFDs holds these strips too), and no image already planned; a strip that is one of the first
    // image's strips is inverted with it already.
    std::vector<TByteRange> others = FTiff.Layout.Structure;
    others.insert(others.end(), FTiff.Layout.ImageData.begin(), FTiff.Layout.ImageData.end());
    bool damaged = false;
    try {
        CheckStripTable(offsets, counts, AFileSize, StructureBesides(others, offsets, counts));
    } catch (const ETIFFError&) {
        damaged = true;
    }
    std::vector<bool> handled = FirstStripOfEachBlock(offsets, counts);
    for (std::size_t s = 0; s < offsets.size() && !damaged; ++s) {
        if (!handled[s])
            continue;
        handled[s] = !IsMainStrip(offsets[s], counts[s]);
        damaged = handled[s] && counts[s] != 0 && OverlapsPlanned(offsets[s], counts[s]);
    }
    if (damaged)
        return "её полосы повреждены";

    const std::uint32_t sampleBytes = APreview.Bits() / 8;
    const bool planar = APreview.PlanarConfiguration == 2;
    FPatterns.emplace_back(PreviewMasks(APreview, planar ? 1 : APreview.SamplesPerPixel));
    const std::size_t pattern = FPatterns.size() - 1;
    const std::size_t stripsPerPlane = offsets.size() / APreview.SamplesPerPixel;
    const std::size_t planned = FRegions.size();
    for (std::size_t s = 0; s < offsets.size(); ++s) {
        const bool alphaPlane = planar && IsAlphaChannel(std::uint32_t(s / stripsPerPlane), APreview.SamplesPerPixel,
                                                         APreview.ExtraSamples, APreview.PhotometricInterpretation);
        if (handled[s] && !alphaPlane)
            AddRegion(offsets[s], counts[s], pattern, sampleBytes);
    }
    const auto added = FRegions.begin() + std::ptrdiff_t(planned);
    std::sort(added, FRegions.end(), OffsetBefore);
    std::inplace_merge(FRegions.begin(), added, FRegions.end(), OffsetBefore);
    return {};
}

bool TInversionPlan::IsMainStrip(std::uint32_t AOffset, std::uint32_t AByteCount) const {
    return std::binary_search(FMainStrips.begin(), FMainStrips.end(), std::pair(AOffset, AByteCount));
}

bool TInversionPlan::OverlapsPlanned(std::uint64_t AOffset, std::uint64_t ALength) {
    // The regions are disjoint and in offset order, so their ends rise too: only the first region
    // that ends after AOffset can hold a byte of [AOffset, AOffset + ALength).
    const auto first =
        std::upper_bound(FRegions.begin(), FRegions.end(), AOffset, [this](std::uint64_t AAt, const TRegion& ARegion) {
            ++FRegionsVisited;
            return AAt < ARegion.End();
        });
    return first != FRegions.end() && first->Offset < AOffset + ALength;
}

std::vector<std::pair<std::uint64_t, std::uint64_t>> TInversionPlan::Chunks(std::uint64_t AFileSize,
                                                                            std::uint64_t AMaxBytes) const {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> chunks;
    for (std::uint64_t start = 0; start < AFileSize;) {
        const std::uint64_t end = std::min(AFileSize, start + AMaxBytes);
        chunks.emplace_back(start, end);
        start = end;
    }
    return chunks;
}

void TInversionPlan::Apply(std::uint8_t* AData, std::size_t ALength, std::uint64_t APosition) const {
    const std::uint64_t chunkEnd = APosition + ALength;
    auto first = std::upper_bound(FRegions.begin(), FRegions.end(), APosition,
                                  [](std::uint64_t AAt, const TRegion& ARegion) { return AAt < ARegion.End(); });
    for (auto k = first; k != FRegions.end() && k->Offset < chunkEnd; ++k) {
        const TRegion& region = *k;
        const std::uint64_t from = std::max(region.Offset, APosition);
        const std::uint64_t to = std::min(region.End(), chunkEnd);
        FPatterns[region.Pattern].Apply(AData + (from - APosition), std::size_t(to - from), from - region.Offset);
    }
}

bool TInversionPlan::Inverts(std::uint64_t AOffset) const {
    auto after = std::upper_bound(FRegions.begin(), FRegions.end(), AOffset,
                                  [](std::uint64_t AAt, const TRegion& ARegion) { return AAt < ARegion.Offset; });
    if (after == FRegions.begin() || AOffset >= (after - 1)->End())
        return false;
    const TRegion& region = *(after - 1);
    return FPatterns[region.Pattern].ByteAt(AOffset - region.Offset) != 0;
}

TInversionPlan PlanInversion(const TByteSource& AFile, bool AInvertPreviews, std::vector<std::string>* APreviewNotes) {
    TInversionPlan plan(ParseTIFFStructure(AFile), AFile.Size());
    if (AInvertPreviews) {
        std::vector<std::string> notes = plan.AddPreviews(AFile.Size());
        if (APreviewNotes)
            *APreviewNotes = std::move(notes);
    }
    return plan;
}

} // namespace kvaderon
