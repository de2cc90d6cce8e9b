// Checks the files a checksum list names against their lines, as sha256sum -c does.
#pragma once

#include "platform/FileIO.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace kvaderon {

enum class TChecksumVerdict { cvMatches, cvDiffers, cvMissing, cvUnreadable, cvMalformed };

struct TChecksumCheck {
    std::uint64_t LineNumber = 0;
    TChecksumVerdict Verdict = TChecksumVerdict::cvMalformed;
    std::string Name;           // as the line gives it (UTF-8 or raw bytes); empty for a malformed line
    std::filesystem::path File; // the name in the list's folder
    std::string Expected;       // the line's hash
    std::string Actual;         // the file's hash, when it was read
    std::string Error;          // why a file that is there could not be read
};

// The SHA-256 of a whole file as 64 lowercase hexadecimal digits; raises platform::ESystemError.
std::string FileSha256(platform::TFileSystem& AFileSystem, const std::filesystem::path& APath);

// Checks each line of the list AList (comments left out) in order, names taken relative to the
// list's folder, and calls AReport once per line. Raises platform::ESystemError when the list
// itself cannot be read.
void CheckChecksumList(platform::TFileSystem& AFileSystem, const std::filesystem::path& AList,
                       const std::function<void(const TChecksumCheck&)>& AReport);

} // namespace kvaderon
