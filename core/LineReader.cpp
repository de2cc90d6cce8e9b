#include "LineReader.h"

#include <algorithm>

namespace kvaderon {

namespace {

constexpr std::size_t BlockBytes = 64 * 1024;

} // namespace

TLineReader::TLineReader(platform::TFile& AFile, std::filesystem::path APath, std::size_t AMaxLine)
    : FFile(AFile), FPath(std::move(APath)), FMaxLine(AMaxLine), FBlock(BlockBytes) {}

bool TLineReader::Fill() {
    FBlockUsed = FFile.ReadAt(FFileAt, FBlock.data(), FBlock.size());
    FFileAt += FBlockUsed;
    FBlockAt = 0;
    return FBlockUsed > 0;
}

bool TLineReader::Next(std::string& ALine) {
    ALine.clear();
    bool any = false;
    for (;;) {
        if (FBlockAt == FBlockUsed && !Fill())
            break;
        any = true;
        const auto begin = FBlock.begin() + std::ptrdiff_t(FBlockAt);
        const auto end = FBlock.begin() + std::ptrdiff_t(FBlockUsed);
        const auto feed = std::find(begin, end, '\n');
        const std::size_t room = FMaxLine - std::min(FMaxLine, ALine.size());
        ALine.append(begin, begin + std::min<std::ptrdiff_t>(feed - begin, std::ptrdiff_t(room)));
        FBlockAt = std::size_t(feed - FBlock.begin());
        if (feed != end) {
            ++FBlockAt;
            break;
        }
    }
    if (any)
        ++FLinesRead;
    return any;
}

} // namespace kvaderon
