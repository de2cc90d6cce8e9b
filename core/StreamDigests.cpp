#include "StreamDigests.h"

#include <algorithm>
#include <system_error>

namespace kvaderon {

TStreamDigests::TStreamDigests(std::size_t AChunkBytes, bool AHashInput) : FSlots(SlotCount) {
    for (auto& slot : FSlots) {
        slot.Input.resize(AHashInput ? AChunkBytes : 0);
        slot.Output.resize(AChunkBytes);
    }
    FInput.Wanted = AHashInput;
    FInput.Bytes = &TSlot::Input;
    FOutput.Bytes = &TSlot::Output;
    try {
        FInput.Thread = std::thread([this] { Work(FInput); });
        FOutput.Thread = std::thread([this] { Work(FOutput); });
    } catch (const std::system_error&) {
        // Submit hashes on the caller's thread.
    }
    if (!Threaded() && FInput.Thread.joinable()) {
        {
            const std::lock_guard lock(FLock);
            FClosing = true;
        }
        FChanged.notify_all();
        FInput.Thread.join();
        FClosing = false;
    }
}

TStreamDigests::~TStreamDigests() {
    if (!Threaded())
        return;
    {
        const std::lock_guard lock(FLock);
        FClosing = true;
    }
    FChanged.notify_all();
    FInput.Thread.join();
    FOutput.Thread.join();
}

TStreamDigests::TSlot& TStreamDigests::Acquire() {
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [&] { return FSubmitted - std::min(FInput.Hashed, FOutput.Hashed) < SlotCount; });
    return FSlots[FSubmitted % SlotCount];
}

void TStreamDigests::Submit() {
    if (!Threaded()) {
        for (TStream* stream : {&FInput, &FOutput}) {
            Hash(*stream, FSlots[FSubmitted % SlotCount]);
            ++stream->Hashed;
        }
        ++FSubmitted;
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
        FChanged.wait(lock, [&] { return FInput.Hashed == FSubmitted && FOutput.Hashed == FSubmitted; });
    }
    for (const TStream* stream : {&FInput, &FOutput})
        if (stream->Failure)
            std::rethrow_exception(stream->Failure);
    return {FInput.Wanted ? FInput.Digest.FinishHex() : std::string(), FOutput.Digest.FinishHex()};
}

void TStreamDigests::Hash(TStream& AStream, const TSlot& ASlot) {
    if (AStream.Failure || !AStream.Wanted)
        return;
    try {
        AStream.Digest.Update((ASlot.*AStream.Bytes).data(), ASlot.Length);
    } catch (...) {
        AStream.Failure = std::current_exception();
    }
}

// A stream's Failure is written only by its thread while it runs, and read by Finish after the
// last slot.
void TStreamDigests::Work(TStream& AStream) {
    for (;;) {
        const TSlot* slot = nullptr;
        {
            std::unique_lock lock(FLock);
            FChanged.wait(lock, [&] { return FClosing || AStream.Hashed < FSubmitted; });
            if (AStream.Hashed == FSubmitted)
                return;
            slot = &FSlots[AStream.Hashed % SlotCount];
        }
        Hash(AStream, *slot);
        {
            const std::lock_guard lock(FLock);
            ++AStream.Hashed;
        }
        FChanged.notify_all();
    }
}

} // namespace kvaderon
