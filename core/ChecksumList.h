// The checksum list SHA256SUMS of a folder, in the format sha256sum writes and checks with -c:
// one line per file, "<64 hexadecimal digits>  <name>" ("*" instead of the second space marks a
// binary read); a name holding a backslash or a line break is escaped and its line starts with a
// backslash. Lines starting with "#" are comments.
//
// The list grows by appending under an exclusive lock, so that runs writing into one folder at the
// same time never lose a line; it is read line by line, so that memory does not grow with it.
#pragma once

#include "platform/FileIO.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kvaderon {

inline constexpr const char* checksumListName = "SHA256SUMS";

// The line of AName with AHash, its line break included.
std::string ChecksumLine(std::string_view AName, std::string_view AHash);

enum class TChecksumLineKind { ckEntry, ckComment, ckMalformed };

struct TChecksumEntry {
    TChecksumLineKind Kind = TChecksumLineKind::ckMalformed;
    std::string Hash; // lowercase
    std::string Name; // unescaped
};

// One line of a list without its line feed; a carriage return before it is dropped. Empty lines
// count as comments.
TChecksumEntry ParseChecksumLine(std::string_view ALine);

class TChecksumList {
public:
    TChecksumList(platform::TFileSystem& AFileSystem, std::filesystem::path APath);

    // Calls AVisit with each line and its number (from 1), in order. Raises platform::ESystemError
    // when the list cannot be read (a missing list included).
    void ForEachLine(const std::function<void(std::uint64_t ALineNumber, const TChecksumEntry&)>& AVisit);
    // The hash of the last line naming AName; none when there is none or no list.
    std::optional<std::string> Find(std::string_view AName);
    // Adds the line of AName at the end, the list created when missing.
    void Append(std::string_view AName, std::string_view AHash);
    // The list with every line of AName replaced by one line with AHash (where the first stood, or
    // at the end), replaced whole through a temporary file; every other line stays as it was.
    void Replace(std::string_view AName, std::string_view AHash);

    // Lines read and written by this object so far.
    std::uint64_t LinesRead() const { return FLinesRead; }
    std::uint64_t LinesWritten() const { return FLinesWritten; }

private:
    platform::TFileSystem& FFileSystem;
    std::filesystem::path FPath;
    std::uint64_t FLinesRead = 0;
    std::uint64_t FLinesWritten = 0;
};

// Records AHash for AFile in the SHA256SUMS of AFile's folder: one line appended, or, with
// AReplace (the file was overwritten), its earlier line replaced. Failures raise ESystemFailure
// naming the list.
void RecordChecksum(platform::TFileSystem& AFileSystem, const std::filesystem::path& AFile, std::string_view AHash,
                    bool AReplace);

// The SHA256SUMS of AFile's folder has a line for AFile. Raises ESystemFailure naming the list
// when it exists but cannot be read.
bool HasChecksumLine(platform::TFileSystem& AFileSystem, const std::filesystem::path& AFile);

} // namespace kvaderon
