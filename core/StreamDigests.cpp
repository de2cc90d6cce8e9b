#include "StreamDigests.h"

#include <system_error>

namespace kvaderon {

TStreamDigests::TStreamDigests(std::size_t AChunkBytes) : FSlots(slotCount) {
    for (auto& slot : FSlots) {
        slot.Input.resize(AChunkBytes);
        slot.Output.resize(AChunkBytes);
    }
    try {
        FThread = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        // Submit hashes on the caller's thread.
    }
}

TStreamDigests::~TStreamDigests() {
    if (!FThread.joinable())
        return;
    {
        const std::lock_guard lock(FLock);
        FClosing = true;
    }
    FChanged.notify_all();
    FThread.join();
}

TStreamDigests::TSlot& TStreamDigests::Acquire() {
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [&] { return FSubmitted - FHashed < slotCount; });
    return FSlots[FSubmitted % slotCount];
}

void TStreamDigests::Submit() {
    if (!FThread.joinable()) {
        Hash(FSlots[FSubmitted % slotCount]);
        ++FSubmitted;
        ++FHashed;
        return;
    }
    {
        const std::lock_guard lock(FLock);
        ++FSubmitted;
    }
    FChanged.notify_all();
}

TStreamHashes TStreamDigests::Finish() {
    {
        std::unique_lock lock(FLock);
        FChanged.wait(lock, [&] { return FHashed == FSubmitted; });
    }
    if (FFailure)
        std::rethrow_exception(FFailure);
    return {FInput.FinishHex(), FOutput.FinishHex()};
}

void TStreamDigests::Hash(TSlot& ASlot) {
    if (FFailure)
        return;
    try {
        FInput.Update(ASlot.Input.data(), ASlot.Length);
        FOutput.Update(ASlot.Output.data(), ASlot.Length);
    } catch (...) {
        FFailure = std::current_exception();
    }
}

// FFailure is written only here while the thread runs, and read by Finish after the last slot.
void TStreamDigests::Work() {
    for (;;) {
        TSlot* slot = nullptr;
        {
            std::unique_lock lock(FLock);
            FChanged.wait(lock, [&] { return FClosing || FHashed < FSubmitted; });
            if (FHashed == FSubmitted)
                return;
            slot = &FSlots[FHashed % slotCount];
        }
        Hash(*slot);
        {
            const std::lock_guard lock(FLock);
            ++FHashed;
        }
        FChanged.notify_all();
    }
}

} // namespace kvaderon
