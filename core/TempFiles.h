// Temporary files beside their targets, and a record of those still in flight, so that a program
// ended by a signal can remove them before it exits.
#pragma once

#include "CommonTypes.h"
#include "RetryableFailure.h"
#include "platform/FileIO.h"

#include <filesystem>
#include <memory>
#include <string>

namespace kvaderon {

struct TTempFile {
    std::filesystem::path Path;
    std::unique_ptr<platform::TFile> File;
};

// The folder of a target refuses new files (read-only, not permitted, full): no later file of a
// run can be written there either. "Папка назначения недоступна для записи: <folder>: <reason>".
class EDestinationRefused : public ESystemFailure {
public:
    EDestinationRefused(const std::filesystem::path& AFolder, const std::error_code& ACode);
};

// Whether a failure to create a file or folder is one of the folder refusing it (EDestinationRefused).
bool IsWriteRefusal(const std::error_code& ACode);

// Creates a new file in the folder of ATarget under a name of fixed length that no other file has,
// and records it as in flight. A failure names ATarget.
TTempFile CreateTempFileBeside(platform::TFileSystem& AFileSystem, const std::filesystem::path& ATarget,
                               std::uint32_t APermissions);

// CreateTempFileBeside for a positive: a folder refusing new files raises EDestinationRefused.
TTempFile CreateTempFileInDestination(platform::TFileSystem& AFileSystem, const std::filesystem::path& ATarget,
                                      std::uint32_t APermissions);

// The file has been renamed or removed: a signal no longer concerns it.
void ForgetTempFile(const std::filesystem::path& APath);

// After a failure: closes the file quietly, removes it and forgets it. Returns nothing when it is
// gone, else a sentence naming the file that stays and why, for the caller's message.
std::string DiscardTempFile(platform::TFileSystem& AFileSystem, TTempFile& ATemp) noexcept;

// Removes every temporary file still in flight and holds off new ones for good: meant for the
// last moments of a program ended by a signal. Safe from any thread, at any moment until the
// program's end: the record is never destroyed.
void RemoveTempFilesInFlight() noexcept;

// The program ends on its own with no file in flight: holds off RemoveTempFilesInFlight for good,
// so that a signal arriving now waits there and the program's own exit status stands.
void CloseTempFileRecord() noexcept;

} // namespace kvaderon
