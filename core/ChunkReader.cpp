#include "ChunkReader.h"

#include <algorithm>
#include <stdexcept>

namespace kvaderon {

namespace {

std::size_t LongestChunk(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& AChunks) {
    std::uint64_t longest = 0;
    for (const auto& [start, end] : AChunks)
        longest = std::max(longest, end - start);
    return std::size_t(longest);
}

} // namespace

TChunkReader::TChunkReader(std::size_t AChunkCount, std::size_t ABufferBytes, TFill AFill)
    : FChunkCount(AChunkCount), FFill(std::move(AFill)),
      FSlots(AChunkCount > 1 ? SlotCount : 1, std::vector<std::uint8_t>(ABufferBytes)) {
    if (FChunkCount > 1)
        FThread = std::thread([this] { Work(); });
}

TChunkReader::TChunkReader(const TByteSource& ASource,
                           const std::vector<std::pair<std::uint64_t, std::uint64_t>>& AChunks)
    : TChunkReader(AChunks.size(), LongestChunk(AChunks),
                   [&ASource, &AChunks](std::size_t AChunk, std::uint8_t* ABuffer) {
                       const auto [start, end] = AChunks[AChunk];
                       ASource.Read(start, ABuffer, std::size_t(end - start));
                   }) {}

TChunkReader::~TChunkReader() {
    if (!FThread.joinable())
        return;
    {
        const std::lock_guard lock(FLock);
        FStopping = true;
    }
    FChanged.notify_all();
    FThread.join();
}

std::uint8_t* TChunkReader::Next() {
    if (FTaken == FChunkCount)
        throw std::logic_error("Чтение после последнего блока файла");
    if (!FThread.joinable()) {
        FFill(FTaken++, FSlots.front().data());
        return FSlots.front().data();
    }
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [&] { return FRead > FTaken; });
    if (FFailure && FRead == FTaken + 1)
        std::rethrow_exception(FFailure);
    return FSlots[FTaken++ % SlotCount].data();
}

void TChunkReader::Exchange(std::vector<std::uint8_t>& ABuffer) {
    FSlots[(FTaken - 1) % FSlots.size()].swap(ABuffer);
}

void TChunkReader::Release() {
    {
        const std::lock_guard lock(FLock);
        ++FReleased;
    }
    FChanged.notify_all();
}

void TChunkReader::Work() {
    for (std::size_t chunk = 0; chunk < FChunkCount; ++chunk) {
        {
            std::unique_lock lock(FLock);
            FChanged.wait(lock, [&] { return FStopping || chunk - FReleased < SlotCount; });
            if (FStopping)
                return;
        }
        std::exception_ptr failure;
        try {
            FFill(chunk, FSlots[chunk % SlotCount].data());
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard lock(FLock);
            FFailure = failure;
            ++FRead;
        }
        FChanged.notify_all();
        if (failure)
            return;
    }
}

} // namespace kvaderon
