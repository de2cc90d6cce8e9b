// The samples an analysis counts, read ahead on a thread of their own: the whole samples of each
// counted strip, cut into pieces of whole pixels, the pieces gathered into batches of at most
// ReadChunkBytes. The reader thread hands over a batch at a time, not a strip: a file may have a
// million tiny strips. (A second reader thread measured slower: copying out of the system's cache
// is quick, and the threads then compete for the two cores with the counting.)
#pragma once

#include "ByteSource.h"
#include "ChunkReader.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace kvaderon {

class TStripSampleReader {
public:
    // ACounted: per strip, whether its samples are counted. AFile and the three tables must
    // outlive the reader.
    TStripSampleReader(const TByteSource& AFile, const std::vector<std::uint32_t>& AOffsets,
                       const std::vector<std::uint32_t>& ACounts, const std::vector<bool>& ACounted,
                       std::size_t APixelBytes);
    // The walks and the reader thread refer to this object.
    TStripSampleReader(const TStripSampleReader&) = delete;
    TStripSampleReader& operator=(const TStripSampleReader&) = delete;

    // Hands the samples of AStrip to ACount(data, samples) piece by piece. The counted strips are
    // asked for in increasing order, each once.
    template <typename TCount> void ReadStrip(std::size_t AStrip, TCount ACount) {
        while (const std::optional<TPiece> piece = FTaken.Peek()) {
            if (piece->Strip != AStrip)
                return;
            FTaken.Advance();
            ACount(TakeBytes(piece->Length), piece->Length / 2);
        }
    }

private:
    struct TPiece {
        std::size_t Strip;
        std::uint64_t Offset;
        std::size_t Length;
    };

    // The pieces of the counted strips in order.
    class TPieceWalk {
    public:
        explicit TPieceWalk(const TStripSampleReader& AOwner) : FOwner(AOwner) {}
        std::optional<TPiece> Peek();
        void Advance();

    private:
        const TStripSampleReader& FOwner;
        std::size_t FStrip = 0;
        std::uint64_t FDone = 0; // bytes of the strip already walked
    };

    static bool Fits(std::size_t AUsed, std::size_t ALength) { return AUsed == 0 || AUsed + ALength <= ReadChunkBytes; }
    std::uint64_t SampleBytes(std::size_t AStrip) const { return FCounts[AStrip] & ~std::uint32_t(1); }
    void FillBatch(std::size_t ABatch, std::uint8_t* ABuffer) const;
    const std::uint8_t* TakeBytes(std::size_t ALength);

    const TByteSource& FFile;
    const std::vector<std::uint32_t>& FOffsets;
    const std::vector<std::uint32_t>& FCounts;
    const std::vector<bool>& FCounted;
    std::size_t FPieceBytes;
    std::vector<TPieceWalk> FBatchStarts; // where each batch begins
    TPieceWalk FTaken{*this};             // the caller's walk
    std::unique_ptr<TChunkReader> FReader;
    const std::uint8_t* FBatch = nullptr;
    std::size_t FUsed = 0; // bytes of the batch taken
};

} // namespace kvaderon
