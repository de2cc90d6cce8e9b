// Temporary files beside their targets, and a record of those still in flight, so that a program
// ended by a signal can remove them before it exits.
#pragma once

#include "platform/FileIO.h"

#include <filesystem>
#include <memory>
#include <string>

namespace kvaderon {

struct TTempFile {
    std::filesystem::path Path;
    std::unique_ptr<platform::TFile> File;
};

// Creates a new file in the folder of ATarget under a name of fixed length that no other file has,
// and records it as in flight. A failure names ATarget.
TTempFile CreateTempFileBeside(platform::TFileSystem& AFileSystem, const std::filesystem::path& ATarget,
                               std::uint32_t APermissions);

// The file has been renamed or removed: a signal no longer concerns it.
void ForgetTempFile(const std::filesystem::path& APath);

// After a failure: closes the file quietly, removes it and forgets it. Returns nothing when it is
// gone, else a sentence naming the file that stays and why, for the caller's message.
std::string DiscardTempFile(platform::TFileSystem& AFileSystem, TTempFile& ATemp) noexcept;

// Removes every temporary file still in flight and holds off new ones for good: meant for the
// last moments of a program ended by a signal. Safe from any thread.
void RemoveTempFilesInFlight() noexcept;

} // namespace kvaderon
