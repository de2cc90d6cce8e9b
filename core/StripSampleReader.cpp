#include "StripSampleReader.h"

#include <algorithm>

namespace kvaderon {

std::optional<TStripSampleReader::TPiece> TStripSampleReader::TPieceWalk::Peek() {
    for (; FStrip < FOwner.FCounted.size(); ++FStrip, FDone = 0) {
        const std::uint64_t bytes = FOwner.SampleBytes(FStrip);
        if (FOwner.FCounted[FStrip] && FDone < bytes)
            return TPiece{FStrip, FOwner.FOffsets[FStrip] + FDone,
                          std::size_t(std::min<std::uint64_t>(FOwner.FPieceBytes, bytes - FDone))};
    }
    return std::nullopt;
}

void TStripSampleReader::TPieceWalk::Advance() {
    if (const std::optional<TPiece> piece = Peek())
        FDone += piece->Length;
}

TStripSampleReader::TStripSampleReader(const TByteSource& AFile, const std::vector<std::uint32_t>& AOffsets,
                                       const std::vector<std::uint32_t>& ACounts, const std::vector<bool>& ACounted,
                                       std::size_t APixelBytes)
    : FFile(AFile), FOffsets(AOffsets), FCounts(ACounts), FCounted(ACounted),
      FPieceBytes(std::max(APixelBytes, ReadChunkBytes / APixelBytes * APixelBytes)) {
    std::size_t used = 0, longest = 0;
    for (TPieceWalk walk(*this); const std::optional<TPiece> piece = walk.Peek(); walk.Advance()) {
        if (!Fits(used, piece->Length) || FBatchStarts.empty()) {
            FBatchStarts.push_back(walk);
            used = 0;
        }
        used += piece->Length;
        longest = std::max(longest, used);
    }
    FReader =
        std::make_unique<TChunkReader>(FBatchStarts.size(), longest, [this](std::size_t ABatch, std::uint8_t* ABuffer) {
            FillBatch(ABatch, ABuffer);
        });
}

// Pieces that follow each other in the file are read at once: a strip may be two bytes long.
void TStripSampleReader::FillBatch(std::size_t ABatch, std::uint8_t* ABuffer) const {
    std::size_t used = 0;
    std::size_t runStart = 0; // the bytes [runStart, used) of the buffer are still to be read, from runOffset on
    std::uint64_t runOffset = 0;
    const auto readRun = [&] {
        if (used > runStart)
            FFile.Read(runOffset, ABuffer + runStart, used - runStart);
        runStart = used;
    };
    for (TPieceWalk walk = FBatchStarts[ABatch]; const std::optional<TPiece> piece = walk.Peek(); walk.Advance()) {
        if (!Fits(used, piece->Length))
            break;
        if (piece->Offset != runOffset + (used - runStart)) {
            readRun();
            runOffset = piece->Offset;
        }
        used += piece->Length;
    }
    readRun();
}

const std::uint8_t* TStripSampleReader::TakeBytes(std::size_t ALength) {
    if (FBatch == nullptr || !Fits(FUsed, ALength)) {
        if (FBatch != nullptr)
            FReader->Release();
        FBatch = FReader->Next();
        FUsed = 0;
    }
    const std::uint8_t* bytes = FBatch + FUsed;
    FUsed += ALength;
    return bytes;
}

} // namespace kvaderon
