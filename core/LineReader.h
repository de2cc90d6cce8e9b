// Lines of a file read block by block, so that memory does not grow with the file.
#pragma once

#include "platform/FileIO.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kvaderon {

class TLineReader {
public:
    // Reads AFile, APath naming it in failures; a line longer than AMaxLine bytes is cut there
    // (the rest of it skipped).
    TLineReader(platform::TFile& AFile, std::filesystem::path APath, std::size_t AMaxLine = 64 * 1024);

    // The next line without its line feed (a carriage return before it stays); false at the end.
    // Raises platform::ESystemError when the file cannot be read.
    bool Next(std::string& ALine);
    std::uint64_t LinesRead() const { return FLinesRead; }

private:
    bool Fill();

    platform::TFile& FFile;
    std::filesystem::path FPath;
    std::size_t FMaxLine;
    std::vector<char> FBlock;
    std::size_t FBlockUsed = 0;
    std::size_t FBlockAt = 0;
    std::uint64_t FFileAt = 0;
    std::uint64_t FLinesRead = 0;
};

} // namespace kvaderon
