#include "ChunkReader.h"

#include <algorithm>

namespace kvaderon {

namespace {

std::size_t LongestChunk(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& AChunks) {
    std::uint64_t longest = 0;
    for (const auto& [start, end] : AChunks)
        longest = std::max(longest, end - start);
    return std::size_t(longest);
}

} // namespace

TChunkReader::TChunkReader(platform::TFile& AFile, const std::filesystem::path& APath,
                           std::vector<std::pair<std::uint64_t, std::uint64_t>> AChunks)
    : FFile(AFile), FPath(APath), FChunks(std::move(AChunks)),
      FSlots(SlotCount, std::vector<std::uint8_t>(LongestChunk(FChunks))) {
    FThread = std::thread([this] { Work(); });
}

TChunkReader::~TChunkReader() {
    {
        const std::lock_guard lock(FLock);
        FStopping = true;
    }
    FChanged.notify_all();
    FThread.join();
}

std::uint8_t* TChunkReader::Next() {
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [&] { return FRead > FTaken; });
    if (FFailure && FRead == FTaken + 1)
        std::rethrow_exception(FFailure);
    return FSlots[FTaken++ % SlotCount].data();
}

void TChunkReader::Release() {
    {
        const std::lock_guard lock(FLock);
        ++FReleased;
    }
    FChanged.notify_all();
}

void TChunkReader::Work() {
    for (std::size_t chunk = 0; chunk < FChunks.size(); ++chunk) {
        {
            std::unique_lock lock(FLock);
            FChanged.wait(lock, [&] { return FStopping || chunk - FReleased < SlotCount; });
            if (FStopping)
                return;
        }
        const auto [start, end] = FChunks[chunk];
        std::exception_ptr failure;
        try {
            platform::ReadExactly(FFile, start, FSlots[chunk % SlotCount].data(), std::size_t(end - start), FPath);
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
