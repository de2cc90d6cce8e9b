#include "ChecksumList.h"

#include "CommonTypes.h"
#include "LineReader.h"
#include "PathText.h"
#include "RetryableFailure.h"
#include "TempFiles.h"
#include "TextFormat.h"

#include <algorithm>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t HashDigits = 64;

bool NeedsEscape(std::string_view AName) {
    return AName.find_first_of("\\\n\r") != std::string_view::npos;
}

std::string Escaped(std::string_view AName) {
    std::string text;
    for (const char c : AName) {
        if (c == '\\')
            text += "\\\\";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else
            text += c;
    }
    return text;
}

// The name of an escaped line, or nothing for an escape sha256sum does not write.
std::optional<std::string> Unescaped(std::string_view AName) {
    std::string text;
    for (std::size_t i = 0; i < AName.size(); ++i) {
        if (AName[i] != '\\') {
            text += AName[i];
            continue;
        }
        const char next = ++i < AName.size() ? AName[i] : '\0';
        if (next == '\\')
            text += '\\';
        else if (next == 'n')
            text += '\n';
        else if (next == 'r')
            text += '\r';
        else
            return std::nullopt;
    }
    return text;
}

bool IsHexDigit(char AChar) {
    return (AChar >= '0' && AChar <= '9') || (AChar >= 'a' && AChar <= 'f') || (AChar >= 'A' && AChar <= 'F');
}

// Opens the list for reading; nothing when there is none.
std::unique_ptr<platform::TFile> OpenIfPresent(platform::TFileSystem& AFileSystem, const fs::path& APath) {
    try {
        return AFileSystem.OpenRead(APath);
    } catch (const platform::ESystemError& error) {
        if (error.Code() == std::errc::no_such_file_or_directory)
            return nullptr;
        throw;
    }
}

// A failure of the list's rewrite whose temporary file could not be removed either.
class ETempFileLeft : public platform::ESystemError {
public:
    ETempFileLeft(const platform::ESystemError& AError, std::string ALeftOver)
        : platform::ESystemError(AError), LeftOver(std::move(ALeftOver)) {}
    std::string LeftOver;
};

// The system's reason alone: the message names the list already.
[[noreturn]] void ThrowListError(const char* AFormat, const fs::path& AList, const std::exception& AError) {
    const auto* system = dynamic_cast<const platform::ESystemError*>(&AError);
    std::string reason =
        system != nullptr && system->Code() ? platform::SystemErrorText(system->Code()) : AError.what();
    if (const auto* left = dynamic_cast<const ETempFileLeft*>(&AError))
        reason += ". " + left->LeftOver;
    throw ESystemFailure(FormatText(AFormat, {PathToUtf8(AList), reason}), SystemErrorOf(AError));
}

} // namespace

std::string ChecksumLine(std::string_view AName, std::string_view AHash) {
    const bool escape = NeedsEscape(AName);
    std::string line = escape ? "\\" : "";
    line += AHash;
    line += "  ";
    line += escape ? Escaped(AName) : std::string(AName);
    line += '\n';
    return line;
}

TChecksumEntry ParseChecksumLine(std::string_view ALine) {
    if (!ALine.empty() && ALine.back() == '\r')
        ALine.remove_suffix(1);
    TChecksumEntry entry;
    if (ALine.empty() || ALine.front() == '#') {
        entry.Kind = TChecksumLineKind::ckComment;
        return entry;
    }
    const bool escaped = ALine.front() == '\\';
    if (escaped)
        ALine.remove_prefix(1);
    if (ALine.size() < HashDigits + 3 || ALine[HashDigits] != ' ' ||
        (ALine[HashDigits + 1] != ' ' && ALine[HashDigits + 1] != '*') ||
        !std::all_of(ALine.begin(), ALine.begin() + HashDigits, IsHexDigit))
        return entry;
    const std::string_view name = ALine.substr(HashDigits + 2);
    const std::optional<std::string> unescaped = escaped ? Unescaped(name) : std::string(name);
    if (!unescaped)
        return entry;
    entry.Kind = TChecksumLineKind::ckEntry;
    entry.Name = *unescaped;
    entry.Hash = ALine.substr(0, HashDigits);
    std::transform(entry.Hash.begin(), entry.Hash.end(), entry.Hash.begin(),
                   [](char c) { return c >= 'A' && c <= 'F' ? char(c - 'A' + 'a') : c; });
    return entry;
}

TChecksumList::TChecksumList(platform::TFileSystem& AFileSystem, fs::path APath)
    : FFileSystem(AFileSystem), FPath(std::move(APath)) {}

void TChecksumList::ForEachLine(const std::function<void(std::uint64_t, const TChecksumEntry&)>& AVisit) {
    const std::unique_ptr<platform::TFile> file = FFileSystem.OpenRead(FPath);
    TLineReader reader(*file, FPath);
    std::string line;
    while (reader.Next(line)) {
        ++FLinesRead;
        AVisit(reader.LinesRead(), ParseChecksumLine(line));
    }
}

std::optional<std::string> TChecksumList::Find(std::string_view AName) {
    const std::unique_ptr<platform::TFile> file = OpenIfPresent(FFileSystem, FPath);
    if (!file)
        return std::nullopt;
    TLineReader reader(*file, FPath);
    std::optional<std::string> hash;
    std::string line;
    while (reader.Next(line)) {
        ++FLinesRead;
        TChecksumEntry entry = ParseChecksumLine(line);
        if (entry.Kind == TChecksumLineKind::ckEntry && entry.Name == AName)
            hash = std::move(entry.Hash);
    }
    return hash;
}

void TChecksumList::Append(std::string_view AName, std::string_view AHash) {
    const std::unique_ptr<platform::TFile> file = FFileSystem.OpenLocked(FPath);
    const std::uint64_t size = file->Info().Size;
    std::string text;
    // A line cut short by a crash stays a line of its own instead of swallowing this one.
    char last = '\n';
    if (size > 0)
        platform::ReadExactly(*file, size - 1, &last, 1, FPath);
    if (last != '\n')
        text += '\n';
    text += ChecksumLine(AName, AHash);
    file->WriteAt(size, text.data(), text.size());
    file->Close();
    ++FLinesWritten;
}

void TChecksumList::Replace(std::string_view AName, std::string_view AHash) {
    // Held until the new list has replaced the old: appenders waiting meanwhile then lock the new one.
    const std::unique_ptr<platform::TFile> locked = FFileSystem.OpenLocked(FPath);
    const std::uint32_t permissions = locked->Info().Permissions;
    TTempFile temp = CreateTempFileBeside(FFileSystem, FPath, permissions == 0 ? 0644 : permissions);
    try {
        TLineReader reader(*locked, FPath);
        std::uint64_t at = 0;
        const auto put = [&](const std::string& AText) {
            temp.File->WriteAt(at, AText.data(), AText.size());
            at += AText.size();
            ++FLinesWritten;
        };
        bool replaced = false;
        std::string line;
        while (reader.Next(line)) {
            ++FLinesRead;
            const TChecksumEntry entry = ParseChecksumLine(line);
            if (entry.Kind != TChecksumLineKind::ckEntry || entry.Name != AName)
                put(line + '\n');
            else if (!replaced)
                put(ChecksumLine(AName, AHash));
            replaced = replaced || (entry.Kind == TChecksumLineKind::ckEntry && entry.Name == AName);
        }
        if (!replaced)
            put(ChecksumLine(AName, AHash));
        temp.File->Close();
        FFileSystem.Rename(temp.Path, FPath, platform::TRenameMode::rmReplace);
    } catch (const platform::ESystemError& error) {
        std::string leftOver = DiscardTempFile(FFileSystem, temp);
        if (leftOver.empty())
            throw;
        throw ETempFileLeft(error, std::move(leftOver));
    }
    ForgetTempFile(temp.Path);
    // The old list, only read, is let go (and its lock with it) when dropped.
}

void RecordChecksum(platform::TFileSystem& AFileSystem, const fs::path& AFile, std::string_view AHash, bool AReplace) {
    const fs::path list = AFile.parent_path() / checksumListName;
    try {
        TChecksumList checksums(AFileSystem, list);
        if (AReplace)
            checksums.Replace(PathToUtf8(AFile.filename()), AHash);
        else
            checksums.Append(PathToUtf8(AFile.filename()), AHash);
    } catch (const std::exception& error) {
        ThrowListError("Не удалось записать список контрольных сумм %s: %s", list, error);
    }
}

bool HasChecksumLine(platform::TFileSystem& AFileSystem, const fs::path& AFile) {
    const fs::path list = AFile.parent_path() / checksumListName;
    try {
        return TChecksumList(AFileSystem, list).Find(PathToUtf8(AFile.filename())).has_value();
    } catch (const platform::ESystemError& error) {
        ThrowListError("Не удалось прочитать список контрольных сумм %s: %s", list, error);
    }
}

} // namespace kvaderon
