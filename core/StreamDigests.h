// SHA-256 of the bytes a streamed pass reads and of the bytes it writes, computed on a thread of
// its own while the pass goes on: the pass fills a slot with a chunk of input and the output made
// from it, hands it over, and takes the next free slot.
#pragma once

#include "platform/Sha256.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kvaderon {

struct TStreamHashes {
    std::string Input;  // lowercase hexadecimal
    std::string Output;
};

class TStreamDigests {
public:
    struct TSlot {
        std::vector<std::uint8_t> Input;
        std::vector<std::uint8_t> Output;
        std::size_t Length = 0; // of both, set by the caller before Submit
    };

    // Slots of AChunkBytes bytes each. Without a thread to spare, Submit hashes at once.
    explicit TStreamDigests(std::size_t AChunkBytes);
    ~TStreamDigests();
    TStreamDigests(const TStreamDigests&) = delete;
    TStreamDigests& operator=(const TStreamDigests&) = delete;

    // The next slot to fill, once the hashing thread is done with it.
    TSlot& Acquire();
    // Hands the slot Acquire gave over to hashing.
    void Submit();
    // Waits for every slot handed over and returns both digests; raises ESystemError when the
    // library failed.
    TStreamHashes Finish();

private:
    static constexpr std::size_t slotCount = 4;

    void Hash(TSlot& ASlot);
    void Work();

    std::vector<TSlot> FSlots;
    platform::TSha256 FInput;
    platform::TSha256 FOutput;
    std::exception_ptr FFailure;

    std::mutex FLock;
    std::condition_variable FChanged;
    std::size_t FSubmitted = 0; // slots handed over so far
    std::size_t FHashed = 0;    // slots hashed so far
    bool FClosing = false;
    std::thread FThread;
};

} // namespace kvaderon
