// Reads a file's chunks ahead on a thread of its own, so that the caller can work on one chunk
// while the next ones are read. The caller takes the chunks in order; a failed read is raised on
// the caller's thread when it reaches that chunk, and nothing after it is read.
#pragma once

#include "ByteSource.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace kvaderon {

class TChunkReader {
public:
    // Fills ABuffer with chunk AChunk; called on the reader thread for each chunk in order.
    using TFill = std::function<void(std::size_t AChunk, std::uint8_t* ABuffer)>;

    // AChunkCount chunks of at most ABufferBytes each, filled by AFill. A single chunk is read on
    // the caller's thread: a thread would only add its start.
    TChunkReader(std::size_t AChunkCount, std::size_t ABufferBytes, TFill AFill);
    // The [start, end) ranges AChunks of ASource; both must outlive the reader.
    TChunkReader(const TByteSource& ASource, const std::vector<std::pair<std::uint64_t, std::uint64_t>>& AChunks);
    // Stops reading and waits for the thread.
    ~TChunkReader();
    TChunkReader(const TChunkReader&) = delete;
    TChunkReader& operator=(const TChunkReader&) = delete;

    // The bytes of the next chunk, valid until Release; raises what reading them raised.
    std::uint8_t* Next();
    // Hands the buffer Next gave back for reading ahead.
    void Release();
    // Takes the buffer Next gave, with its bytes, into ABuffer and gives the reader ABuffer's in
    // exchange, before Release: a copy saved. ABuffer must be at least as long as any chunk.
    void Exchange(std::vector<std::uint8_t>& ABuffer);

private:
    static constexpr std::size_t SlotCount = 3;

    void Work();

    std::size_t FChunkCount;
    TFill FFill;
    std::vector<std::vector<std::uint8_t>> FSlots;
    std::mutex FLock;
    std::condition_variable FChanged;
    std::size_t FRead = 0;     // chunks read (or failed) so far
    std::size_t FTaken = 0;    // chunks Next gave out
    std::size_t FReleased = 0; // chunks handed back
    std::exception_ptr FFailure;
    bool FStopping = false;
    std::thread FThread;
};

} // namespace kvaderon
