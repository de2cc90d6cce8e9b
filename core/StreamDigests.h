// SHA-256 of the bytes a streamed pass reads and of the bytes it writes, each computed on a thread
// of its own while the pass goes on: the pass fills a slot with a chunk of input and the output made
// from it, hands it over, and takes the next slot both threads are done with.
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
    std::string Input; // lowercase hexadecimal
    std::string Output;
};

class TStreamDigests {
public:
    struct TSlot {
        std::vector<std::uint8_t> Input;
        std::vector<std::uint8_t> Output;
        std::size_t Length = 0; // of both, set by the caller before Submit
    };

    // Slots of AChunkBytes bytes each; without AHashInput the input digest is not made and the
    // slots hold no input. Without threads to spare, Submit hashes at once.
    TStreamDigests(std::size_t AChunkBytes, bool AHashInput);
    ~TStreamDigests();
    TStreamDigests(const TStreamDigests&) = delete;
    TStreamDigests& operator=(const TStreamDigests&) = delete;

    // The next slot to fill, once both hashing threads are done with it.
    TSlot& Acquire();
    // Hands the slot Acquire gave over to hashing.
    void Submit();
    bool HashesInput() const { return FInput.Wanted; }
    // Waits for every slot handed over and returns the digests (Input empty unless made); raises
    // ESystemError when the library failed.
    TStreamHashes Finish();

private:
    static constexpr std::size_t SlotCount = 4;

    // One stream: the input or the output of the slots, its digest, and how far it is hashed.
    struct TStream {
        std::vector<std::uint8_t> TSlot::*Bytes;
        bool Wanted = true;
        platform::TSha256 Digest;
        std::size_t Hashed = 0; // slots
        std::exception_ptr Failure;
        std::thread Thread;
    };

    void Hash(TStream& AStream, const TSlot& ASlot);
    void Work(TStream& AStream);
    bool Threaded() const { return FInput.Thread.joinable() && FOutput.Thread.joinable(); }

    std::vector<TSlot> FSlots;
    TStream FInput;
    TStream FOutput;

    std::mutex FLock;
    std::condition_variable FChanged;
    std::size_t FSubmitted = 0; // slots handed over so far
    bool FClosing = false;
};

} // namespace kvaderon
