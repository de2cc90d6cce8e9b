// The checksum list SHA256SUMS of a folder, in the format sha256sum writes and checks with -c:
// one line per file, "<64 hexadecimal digits>  <name>"; a name holding a backslash or a line break
// is escaped and its line starts with a backslash.
#pragma once

#include "platform/FileIO.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kvaderon {

inline constexpr const char* checksumListName = "SHA256SUMS";

// The line of AName with AHash, its line break included.
std::string ChecksumLine(std::string_view AName, std::string_view AHash);

// AList with the line of AName replaced by one with AHash, or with that line added at the end;
// every other line stays as it was.
std::string WithChecksum(std::string_view AList, std::string_view AName, std::string_view AHash);

// Records AHash for AFile in the SHA256SUMS of AFile's folder, replaced whole through a temporary
// file. Failures raise ETIFFError naming the list.
void RecordChecksum(platform::TFileSystem& AFileSystem, const std::filesystem::path& AFile, std::string_view AHash);

} // namespace kvaderon
