#include "StripTable.h"

#include "FileRange.h"

#include <algorithm>

namespace kvaderon {

namespace {

// The indices of the strips of nonzero byte count, ordered by offset, then byte count, then index.
std::vector<std::size_t> SortedStrips(const std::vector<std::uint32_t>& AOffsets,
                                      const std::vector<std::uint32_t>& AByteCounts) {
    std::vector<std::size_t> order;
    order.reserve(AOffsets.size());
    for (std::size_t i = 0; i < AOffsets.size(); ++i)
        if (AByteCounts[i] != 0)
            order.push_back(i);
    std::sort(order.begin(), order.end(), [&](std::size_t A, std::size_t B) {
        if (AOffsets[A] != AOffsets[B])
            return AOffsets[A] < AOffsets[B];
        if (AByteCounts[A] != AByteCounts[B])
            return AByteCounts[A] < AByteCounts[B];
        return A < B;
    });
    return order;
}

// The ranges sorted and joined where they touch or overlap, so that their ends rise with their starts.
std::vector<TByteRange> Merged(std::vector<TByteRange> ARanges) {
    std::sort(ARanges.begin(), ARanges.end(),
              [](const TByteRange& A, const TByteRange& B) { return A.Begin < B.Begin; });
    std::vector<TByteRange> merged;
    for (const TByteRange& range : ARanges) {
        if (!merged.empty() && range.Begin <= merged.back().End)
            merged.back().End = std::max(merged.back().End, range.End);
        else
            merged.push_back(range);
    }
    return merged;
}

bool CoversAny(const std::vector<TByteRange>& AMerged, std::uint64_t AOffset, std::uint64_t ALength) {
    const auto first = std::upper_bound(AMerged.begin(), AMerged.end(), AOffset,
                                        [](std::uint64_t AAt, const TByteRange& ARange) { return AAt < ARange.End; });
    return first != AMerged.end() && first->Begin < AOffset + ALength;
}

} // namespace

void CheckSampleLayout(std::uint16_t ASamplesPerPixel, std::uint16_t APlanarConfiguration,
                       const std::vector<std::uint32_t>& AOffsets, const std::vector<std::uint32_t>& AByteCounts,
                       std::uint64_t AFileSize) {
    if (APlanarConfiguration == 2) {
        if (ASamplesPerPixel == 0)
            throw EZeroSamplesPerPixel();
        if (AOffsets.size() % ASamplesPerPixel != 0)
            throw ETIFFError("Некорректная структура planar TIFF: StripCount не кратен SamplesPerPixel");
        return;
    }
    const std::size_t count = std::min(AOffsets.size(), AByteCounts.size());
    for (std::size_t i = 0; i < count && ASamplesPerPixel == 0; ++i)
        if (AByteCounts[i] >= 2 && IsRangeInside(AOffsets[i], AByteCounts[i], AFileSize))
            throw EZeroSamplesPerPixel();
}

void CheckStripTable(const std::vector<std::uint32_t>& AOffsets, const std::vector<std::uint32_t>& AByteCounts,
                     std::uint64_t AFileSize, std::vector<TByteRange> AStructure) {
    const std::size_t count = std::min(AOffsets.size(), AByteCounts.size());
    for (std::size_t i = 0; i < count; ++i)
        if (AByteCounts[i] != 0 && !IsRangeInside(AOffsets[i], AByteCounts[i], AFileSize))
            throw ETIFFError("Полоса изображения выходит за конец файла (файл обрезан или повреждён)");

    const std::vector<TByteRange> structure = Merged(std::move(AStructure));
    for (std::size_t i = 0; i < count; ++i)
        if (AByteCounts[i] != 0 && CoversAny(structure, AOffsets[i], AByteCounts[i]))
            throw ETIFFError("Полоса изображения заходит на заголовок или каталог тегов (файл повреждён)");

    // In offset order a strip overlaps an earlier one exactly when it starts before the furthest
    // end seen so far; an identical repeat of the strip before it is one block, not an overlap.
    const std::vector<std::size_t> order = SortedStrips(AOffsets, AByteCounts);
    std::uint64_t furthestEnd = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::size_t strip = order[k];
        if (k > 0) {
            const std::size_t previous = order[k - 1];
            const bool repeat = AOffsets[strip] == AOffsets[previous] && AByteCounts[strip] == AByteCounts[previous];
            if (!repeat && AOffsets[strip] < furthestEnd)
                throw ETIFFError("Полосы изображения перекрываются (файл повреждён)");
        }
        furthestEnd = std::max(furthestEnd, std::uint64_t(AOffsets[strip]) + AByteCounts[strip]);
    }
}

std::vector<bool> FirstStripOfEachBlock(const std::vector<std::uint32_t>& AOffsets,
                                        const std::vector<std::uint32_t>& AByteCounts) {
    std::vector<bool> first(AOffsets.size(), false);
    const std::vector<std::size_t> order = SortedStrips(AOffsets, AByteCounts);
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::size_t strip = order[k];
        const bool repeat =
            k > 0 && AOffsets[strip] == AOffsets[order[k - 1]] && AByteCounts[strip] == AByteCounts[order[k - 1]];
        first[strip] = !repeat;
    }
    return first;
}

} // namespace kvaderon
