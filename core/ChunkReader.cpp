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

TChunkReader::TChunkReader(std::size_t AChunkCount, std::size_t ABufferBytes, TFill AFill, std::size_t AThreads)
    : FChunkCount(AChunkCount), FFill(std::move(AFill)), FDone(AChunkCount, 0) {
    const std::size_t threads = AChunkCount > 1 ? std::clamp<std::size_t>(AThreads, 1, AChunkCount) : 0;
    // Each thread's chunk in reading, the caller's and one read ahead.
    FSlots.assign(threads == 0 ? 1 : threads + 2, std::vector<std::uint8_t>(ABufferBytes));
    for (std::size_t first = 0; first < threads; ++first)
        FThreads.emplace_back([this, first, threads] { Work(first, threads); });
}

TChunkReader::TChunkReader(const TByteSource& ASource,
                           const std::vector<std::pair<std::uint64_t, std::uint64_t>>& AChunks)
    : TChunkReader(AChunks.size(), LongestChunk(AChunks),
                   [&ASource, &AChunks](std::size_t AChunk, std::uint8_t* ABuffer) {
                       const auto [start, end] = AChunks[AChunk];
                       ASource.Read(start, ABuffer, std::size_t(end - start));
                   }) {}

TChunkReader::~TChunkReader() {
    {
        const std::lock_guard lock(FLock);
        FStopping = true;
    }
    FChanged.notify_all();
    for (std::thread& thread : FThreads)
        thread.join();
}

std::uint8_t* TChunkReader::Next() {
    if (FTaken == FChunkCount)
        throw std::logic_error("Чтение после последнего блока файла");
    if (FThreads.empty()) {
        FFill(FTaken++, FSlots.front().data());
        return FSlots.front().data();
    }
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [&] { return FDone[FTaken] != 0; });
    if (FTaken == FFailedChunk)
        std::rethrow_exception(FFailure);
    return FSlots[FTaken++ % FSlots.size()].data();
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

void TChunkReader::Work(std::size_t AFirstChunk, std::size_t AStep) {
    for (std::size_t chunk = AFirstChunk; chunk < FChunkCount; chunk += AStep) {
        {
            std::unique_lock lock(FLock);
            FChanged.wait(lock, [&] { return FStopping || FFailedChunk < chunk || chunk - FReleased < FSlots.size(); });
            if (FStopping || FFailedChunk < chunk)
                return;
        }
        std::exception_ptr failure;
        try {
            FFill(chunk, FSlots[chunk % FSlots.size()].data());
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard lock(FLock);
            FDone[chunk] = 1;
            if (failure && chunk < FFailedChunk) {
                FFailedChunk = chunk;
                FFailure = failure;
            }
        }
        FChanged.notify_all();
        if (failure)
            return;
    }
}

} // namespace kvaderon
