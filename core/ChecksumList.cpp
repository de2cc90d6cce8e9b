#include "ChecksumList.h"

#include "CommonTypes.h"
#include "PathText.h"
#include "TextFormat.h"
#include "WholeFile.h"

#include <algorithm>
#include <optional>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

// A list of millions of files is a few hundred MB; anything larger is not a checksum list.
constexpr std::uint64_t MaxListBytes = std::uint64_t(1) << 30;

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

std::string Unescaped(std::string_view AName) {
    std::string text;
    for (std::size_t i = 0; i < AName.size(); ++i) {
        if (AName[i] != '\\' || i + 1 == AName.size()) {
            text += AName[i];
            continue;
        }
        const char next = AName[++i];
        text += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return text;
}

// The file name of a line (without its line break), or nothing for a line of another form.
std::optional<std::string> NameOfLine(std::string_view ALine) {
    const bool escaped = !ALine.empty() && ALine.front() == '\\';
    if (escaped)
        ALine.remove_prefix(1);
    if (ALine.size() < HashDigits + 2 || ALine[HashDigits] != ' ' ||
        (ALine[HashDigits + 1] != ' ' && ALine[HashDigits + 1] != '*'))
        return std::nullopt;
    const std::string_view name = ALine.substr(HashDigits + 2);
    return escaped ? Unescaped(name) : std::string(name);
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

std::string WithChecksum(std::string_view AList, std::string_view AName, std::string_view AHash) {
    std::string result;
    bool replaced = false;
    while (!AList.empty()) {
        const std::size_t end = std::min(AList.find('\n'), AList.size());
        const std::string_view line = AList.substr(0, end);
        const std::size_t taken = std::min(end + 1, AList.size());
        std::string_view body = line;
        if (!body.empty() && body.back() == '\r')
            body.remove_suffix(1);
        if (NameOfLine(body) == AName) {
            if (!replaced)
                result += ChecksumLine(AName, AHash);
            replaced = true;
        } else {
            result.append(AList.substr(0, taken));
            if (end == AList.size())
                result += '\n';
        }
        AList.remove_prefix(taken);
    }
    if (!replaced)
        result += ChecksumLine(AName, AHash);
    return result;
}

void RecordChecksum(platform::TFileSystem& AFileSystem, const fs::path& AFile, std::string_view AHash) {
    const fs::path list = AFile.parent_path() / checksumListName;
    try {
        const std::optional<std::string> text = ReadWholeFile(AFileSystem, list, MaxListBytes);
        WriteWholeFile(AFileSystem, list, WithChecksum(text.value_or(""), PathToUtf8(AFile.filename()), AHash));
    } catch (const std::exception& error) {
        throw ETIFFError(
            FormatText("Не удалось записать список контрольных сумм %s: %s", {PathToUtf8(list), error.what()}));
    }
}

} // namespace kvaderon
