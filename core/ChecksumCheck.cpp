#include "ChecksumCheck.h"

#include "ChecksumList.h"
#include "PathText.h"
#include "platform/Sha256.h"

#include <vector>

namespace kvaderon {

namespace fs = std::filesystem;

std::string FileSha256(platform::TFileSystem& AFileSystem, const fs::path& APath) {
    const std::unique_ptr<platform::TFile> file = AFileSystem.OpenRead(APath);
    platform::TSha256 digest;
    std::vector<char> block(std::size_t(1) << 20);
    for (std::uint64_t at = 0;;) {
        const std::size_t got = file->ReadAt(at, block.data(), block.size());
        if (got == 0)
            break;
        digest.Update(block.data(), got);
        at += got;
    }
    return digest.FinishHex();
}

void CheckChecksumList(platform::TFileSystem& AFileSystem, const fs::path& AList,
                       const std::function<void(const TChecksumCheck&)>& AReport) {
    TChecksumList list(AFileSystem, AList);
    list.ForEachLine([&](std::uint64_t ALineNumber, const TChecksumEntry& AEntry) {
        if (AEntry.Kind == TChecksumLineKind::ckComment)
            return;
        TChecksumCheck check;
        check.LineNumber = ALineNumber;
        if (AEntry.Kind == TChecksumLineKind::ckMalformed) {
            AReport(check);
            return;
        }
        check.Name = AEntry.Name;
        check.File = AList.parent_path() / Utf8ToPath(AEntry.Name);
        check.Expected = AEntry.Hash;
        try {
            check.Actual = FileSha256(AFileSystem, check.File);
            check.Verdict = check.Actual == check.Expected ? TChecksumVerdict::cvMatches : TChecksumVerdict::cvDiffers;
        } catch (const platform::ESystemError& error) {
            const bool missing = error.Code() == std::errc::no_such_file_or_directory;
            check.Verdict = missing ? TChecksumVerdict::cvMissing : TChecksumVerdict::cvUnreadable;
            if (!missing)
                check.Error = error.what();
        }
        AReport(check);
    });
}

} // namespace kvaderon
