#include "InversionPlan.h"

#include "CommonTypes.h"
#include "FileRange.h"
#include "StripTable.h"
#include "TiffStructureReader.h"

#include <algorithm>

namespace kvaderon {

namespace {

[[noreturn]] void ThrowZeroSamplesPerPixel() {
    throw ETIFFError("Некорректное значение SamplesPerPixel = 0 (деление на ноль)");
}

std::uint16_t MaskOf(const TTIFFStructure& AStructure) {
    return AStructure.SampleFormat == 2 ? 0x7FFF : 0xFFFF;
}

// The checks of a structure that come before the strip table's own rules.
void CheckSamplesPerPixel(const TTIFFStructure& AStructure, std::uint64_t AFileSize) {
    const auto& offsets = AStructure.StripOffsets;
    const auto& counts = AStructure.StripByteCounts;
    if (AStructure.SamplesPerPixel != 0) {
        if (AStructure.PlanarConfiguration == 2 && offsets.size() % AStructure.SamplesPerPixel != 0)
            throw ETIFFError("Некорректная структура planar TIFF: StripCount не кратен SamplesPerPixel");
        return;
    }
    if (AStructure.PlanarConfiguration == 2)
        ThrowZeroSamplesPerPixel();
    for (std::size_t i = 0; i < offsets.size(); ++i)
        if (counts[i] >= 2 && IsRangeInside(offsets[i], counts[i], AFileSize))
            ThrowZeroSamplesPerPixel();
}

} // namespace

TInversionPlan::TInversionPlan(const TTIFFStructure& AStructure, std::uint64_t AFileSize)
    : FChunkyPattern(ChunkyPattern(AStructure.SamplesPerPixel, AStructure.ExtraSamples,
                                   AStructure.PhotometricInterpretation, AStructure.BigEndian, MaskOf(AStructure))),
      FPlanarPattern({0xFFFF}, AStructure.BigEndian), FBigEndian(AStructure.BigEndian) {
    CheckSamplesPerPixel(AStructure, AFileSize);
    const auto& offsets = AStructure.StripOffsets;
    const auto& counts = AStructure.StripByteCounts;
    const std::string damage =
        FindStripTableDamage(offsets, counts, AFileSize, AStructure.IFDOffset, AStructure.IFDEntryCount);
    if (!damage.empty())
        throw ETIFFError(damage);
    const std::vector<bool> handled = FirstStripOfEachBlock(offsets, counts);

    if (AStructure.PlanarConfiguration == 1) {
        for (std::size_t i = 0; i < offsets.size(); ++i)
            if (handled[i])
                AddRegion(offsets[i], counts[i], TKind::rkChunky);
    } else if (AStructure.SampleFormat == 1 || AStructure.SampleFormat == 2) {
        const TKind kind = AStructure.SampleFormat == 1 ? TKind::rkPlanarXor : TKind::rkPlanarSigned;
        const std::uint16_t planes = AStructure.SamplesPerPixel;
        const std::size_t stripsPerPlane = offsets.size() / planes;
        for (std::uint32_t plane = 0; plane < planes; ++plane) {
            if (IsAlphaChannel(plane, planes, AStructure.ExtraSamples, AStructure.PhotometricInterpretation))
                continue;
            for (std::size_t i = plane * stripsPerPlane; i < (plane + 1) * stripsPerPlane; ++i)
                if (handled[i])
                    AddRegion(offsets[i], counts[i], kind);
        }
    }
    std::sort(FRegions.begin(), FRegions.end(),
              [](const TRegion& A, const TRegion& B) { return A.Offset < B.Offset; });
}

void TInversionPlan::AddRegion(std::uint32_t AOffset, std::uint32_t AByteCount, TKind AKind) {
    const std::uint64_t length = AByteCount & ~std::uint32_t(1);
    if (length > 0)
        FRegions.push_back({AOffset, length, AKind});
}

std::uint64_t TInversionPlan::ChunkEnd(std::uint64_t AStart, std::uint64_t AEnd) const {
    auto after = std::upper_bound(FRegions.begin(), FRegions.end(), AEnd,
                                  [](std::uint64_t AAt, const TRegion& ARegion) { return AAt < ARegion.Offset; });
    if (after == FRegions.begin())
        return AEnd;
    const TRegion& region = *(after - 1);
    const bool splits = region.Offset < AEnd && AEnd < region.End() && (AEnd - region.Offset) % 2 != 0;
    return splits && region.Kind == TKind::rkPlanarSigned && AEnd - 1 > AStart ? AEnd - 1 : AEnd;
}

void TInversionPlan::Apply(std::uint8_t* AData, std::size_t ALength, std::uint64_t APosition) {
    const std::uint64_t chunkEnd = APosition + ALength;
    while (FNextRegion < FRegions.size() && FRegions[FNextRegion].End() <= APosition)
        ++FNextRegion;
    for (std::size_t k = FNextRegion; k < FRegions.size() && FRegions[k].Offset < chunkEnd; ++k) {
        const TRegion& region = FRegions[k];
        const std::uint64_t from = std::max(region.Offset, APosition);
        const std::uint64_t to = std::min(region.End(), chunkEnd);
        std::uint8_t* data = AData + (from - APosition);
        const auto length = std::size_t(to - from);
        switch (region.Kind) {
        case TKind::rkChunky: FChunkyPattern.Apply(data, length, from - region.Offset); break;
        case TKind::rkPlanarXor: FPlanarPattern.Apply(data, length, from - region.Offset); break;
        case TKind::rkPlanarSigned: NegateSignedSamples(data, length / 2, FBigEndian, 0x7FFF); break;
        }
    }
}

bool TInversionPlan::Inverts(std::uint64_t AOffset) const {
    auto after = std::upper_bound(FRegions.begin(), FRegions.end(), AOffset,
                                  [](std::uint64_t AAt, const TRegion& ARegion) { return AAt < ARegion.Offset; });
    if (after == FRegions.begin() || AOffset >= (after - 1)->End())
        return false;
    const TRegion& region = *(after - 1);
    return region.Kind != TKind::rkChunky || FChunkyPattern.ByteAt(AOffset - region.Offset) != 0;
}

} // namespace kvaderon
