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

bool Intersects(std::uint64_t AOffset, std::uint64_t ALength, std::uint64_t ABegin, std::uint64_t AEnd) {
    return AOffset < AEnd && ABegin < AOffset + ALength;
}

} // namespace

std::string FindStripTableDamage(const std::vector<std::uint32_t>& AOffsets,
                                 const std::vector<std::uint32_t>& AByteCounts, std::uint64_t AFileSize,
                                 std::uint32_t AIFDOffset, std::uint16_t AIFDEntryCount) {
    const std::size_t count = std::min(AOffsets.size(), AByteCounts.size());
    for (std::size_t i = 0; i < count; ++i)
        if (AByteCounts[i] != 0 && !IsRangeInside(AOffsets[i], AByteCounts[i], AFileSize))
            return "Полоса изображения выходит за конец файла (файл обрезан или повреждён)";

    const std::uint64_t ifdEnd = std::uint64_t(AIFDOffset) + 2 + 12 * std::uint64_t(AIFDEntryCount) + 4;
    for (std::size_t i = 0; i < count; ++i)
        if (AByteCounts[i] != 0 && (Intersects(AOffsets[i], AByteCounts[i], 0, 8) ||
                                    Intersects(AOffsets[i], AByteCounts[i], AIFDOffset, ifdEnd)))
            return "Полоса изображения заходит на заголовок или каталог тегов (файл повреждён)";

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
                return "Полосы изображения перекрываются (файл повреждён)";
        }
        furthestEnd = std::max(furthestEnd, std::uint64_t(AOffsets[strip]) + AByteCounts[strip]);
    }
    return {};
}

std::vector<bool> FirstStripOfEachBlock(const std::vector<std::uint32_t>& AOffsets,
                                        const std::vector<std::uint32_t>& AByteCounts) {
    std::vector<bool> first(AOffsets.size(), false);
    const std::vector<std::size_t> order = SortedStrips(AOffsets, AByteCounts);
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::size_t strip = order[k];
        const bool repeat = k > 0 && AOffsets[strip] == AOffsets[order[k - 1]] &&
                            AByteCounts[strip] == AByteCounts[order[k - 1]];
        first[strip] = !repeat;
    }
    return first;
}

} // namespace kvaderon
