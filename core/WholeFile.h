// Small files read and replaced whole: the settings file, the checksum lists.
#pragma once

#include "platform/FileIO.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kvaderon {

// The whole file; nothing when it does not exist. Failures, and a file larger than AMaxSize,
// raise platform::ESystemError with the system's reason alone.
std::optional<std::string> ReadWholeFile(platform::TFileSystem& AFileSystem, const std::filesystem::path& APath,
                                         std::uint64_t AMaxSize);

// Writes AText as the whole file through a temporary file beside it and a rename, so that the
// file is always either the old or the new one. A missing folder is created; a file that may not
// be written is not replaced. Failures raise platform::ESystemError with the system's reason,
// followed by the temporary file's name when it could not be removed.
void WriteWholeFile(platform::TFileSystem& AFileSystem, const std::filesystem::path& APath, std::string_view AText);

} // namespace kvaderon
