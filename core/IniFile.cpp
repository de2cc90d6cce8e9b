#include "IniFile.h"

#include "WholeFile.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

// A settings file is a few hundred bytes; anything this large is not one and is not read.
constexpr std::uint64_t MaxFileSize = 1 << 20;

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// --- Lines and names. ---

bool IsBlank(char AChar) {
    return AChar == ' ' || AChar == '\t';
}

std::string_view TrimBlanks(std::string_view AText) {
    while (!AText.empty() && IsBlank(AText.front()))
        AText.remove_prefix(1);
    while (!AText.empty() && IsBlank(AText.back()))
        AText.remove_suffix(1);
    return AText;
}

// A line without its line ending.
std::string_view Body(std::string_view ALine) {
    if (!ALine.empty() && ALine.back() == '\n')
        ALine.remove_suffix(1);
    if (!ALine.empty() && ALine.back() == '\r')
        ALine.remove_suffix(1);
    return ALine;
}

std::string_view Ending(std::string_view ALine) {
    return ALine.substr(Body(ALine).size());
}

// The section name of a header line "[name]".
std::optional<std::string_view> SectionName(std::string_view ALine) {
    const std::string_view text = TrimBlanks(ALine);
    if (text.size() < 2 || text.front() != '[')
        return std::nullopt;
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return TrimBlanks(text.substr(1, close - 1));
}

struct TKeyLine {
    std::string_view Key;
    // Where the value begins in the line: after the equals sign and the blanks behind it.
    std::size_t ValueStart = 0;
};

std::optional<TKeyLine> KeyLine(std::string_view ALine) {
    const std::string_view text = TrimBlanks(ALine);
    if (text.empty() || text.front() == ';' || text.front() == '#' || text.front() == '[')
        return std::nullopt;
    const std::size_t equals = ALine.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    std::size_t valueStart = equals + 1;
    while (valueStart < ALine.size() && IsBlank(ALine[valueStart]))
        ++valueStart;
    return TKeyLine{TrimBlanks(ALine.substr(0, equals)), valueStart};
}

std::string_view Unquoted(std::string_view AValue) {
    if (AValue.size() >= 2 && (AValue.front() == '"' || AValue.front() == '\'') && AValue.back() == AValue.front())
        return AValue.substr(1, AValue.size() - 2);
    return AValue;
}

// The first AMaxLength characters of UTF-8 text; a character is never cut in two.
std::string_view FirstCharacters(std::string_view AText, std::size_t AMaxLength) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < AText.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(AText[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == AMaxLength)
            return AText.substr(0, i);
    }
    return AText;
}

std::string AsciiLower(std::string_view AText) {
    std::string lower(AText);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}

std::string_view FirstLine(std::string_view AText) {
    return AText.substr(0, AText.find_first_of("\r\n"));
}

} // namespace

bool EqualIgnoringAsciiCase(std::string_view AFirst, std::string_view ASecond) {
    auto lower = [](char AChar) { return AChar >= 'A' && AChar <= 'Z' ? char(AChar - 'A' + 'a') : AChar; };
    return std::equal(AFirst.begin(), AFirst.end(), ASecond.begin(), ASecond.end(),
                      [&lower](char AOne, char AOther) { return lower(AOne) == lower(AOther); });
}

std::optional<std::int64_t> ParseIniNumber(std::string_view AText) {
    int base = 10;
    bool negative = false;
    if (AText.starts_with('$')) {
        base = 16;
        AText.remove_prefix(1);
    } else if (AText.starts_with("0x") || AText.starts_with("0X")) {
        base = 16;
        AText.remove_prefix(2);
    } else if (AText.starts_with('-')) {
        negative = true;
        AText.remove_prefix(1);
    }
    std::uint64_t value = 0;
    const char* end = AText.data() + AText.size();
    const auto [next, error] = std::from_chars(AText.data(), end, value, base);
    if (AText.empty() || error != std::errc() || next != end ||
        value > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    return negative ? -std::int64_t(value) : std::int64_t(value);
}

TIniFile::TIniFile(fs::path APath, platform::TFileSystem& AFileSystem)
    : FPath(std::move(APath)), FFileSystem(AFileSystem) {
    const std::optional<std::string> text = ReadWholeFile(FFileSystem, FPath, MaxFileSize);
    if (!text)
        return;
    FText = *text;
    SplitLines();
}

// Lines are split at line feeds only: a carriage return alone ends no line.
void TIniFile::SplitLines() {
    FIndex.reset();
    FStarts.clear();
    for (std::size_t start = 0; start < FText.size();) {
        FStarts.push_back(start);
        const std::size_t newLine = FText.find('\n', start);
        start = newLine == std::string::npos ? FText.size() : newLine + 1;
    }
}

std::string_view TIniFile::Line(std::size_t AIndex) const {
    const std::size_t end = AIndex + 1 < FStarts.size() ? FStarts[AIndex + 1] : FText.size();
    return std::string_view(FText).substr(FStarts[AIndex], end - FStarts[AIndex]);
}

const TIniFile::TIndex& TIniFile::Index() const {
    if (FIndex)
        return *FIndex;
    TIndex& index = FIndex.emplace();
    std::optional<std::size_t> header;
    for (std::size_t i = 0; i < LineCount(); ++i) {
        std::string_view line = Body(Line(i));
        if (i == 0 && line.starts_with(Utf8Bom))
            line.remove_prefix(Utf8Bom.size());
        if (const std::optional<std::string_view> name = SectionName(line)) {
            index.Sections.emplace(AsciiLower(*name), i);
            header = i;
        } else if (const std::optional<TKeyLine> keyLine = KeyLine(line); keyLine && header) {
            index.Keys.emplace(std::pair(*header, AsciiLower(keyLine->Key)), i);
        }
    }
    return index;
}

std::optional<std::size_t> TIniFile::FindSection(std::string_view ASection) const {
    const auto found = Index().Sections.find(AsciiLower(ASection));
    return found == Index().Sections.end() ? std::nullopt : std::optional(found->second);
}

std::size_t TIniFile::SectionEnd(std::size_t AHeader) const {
    std::size_t end = AHeader + 1;
    while (end < LineCount() && !SectionName(Body(Line(end))))
        ++end;
    return end;
}

std::optional<std::size_t> TIniFile::FindKey(std::size_t AHeader, std::string_view AKey) const {
    const auto found = Index().Keys.find(std::pair(AHeader, AsciiLower(AKey)));
    return found == Index().Keys.end() ? std::nullopt : std::optional(found->second);
}

std::optional<std::string> TIniFile::ReadValue(std::string_view ASection, std::string_view AKey) const {
    const std::optional<std::size_t> header = FindSection(ASection);
    if (!header)
        return std::nullopt;
    const std::optional<std::size_t> index = FindKey(*header, AKey);
    if (!index)
        return std::nullopt;
    const std::string_view line = Body(Line(*index));
    const std::string_view value = Unquoted(TrimBlanks(line.substr(KeyLine(line)->ValueStart)));
    return std::string(FirstCharacters(value, IniValueMaxLength));
}

std::string TIniFile::ReadString(std::string_view ASection, std::string_view AKey, std::string_view ADefault) const {
    return ReadValue(ASection, AKey).value_or(std::string(ADefault));
}

int TIniFile::ReadInteger(std::string_view ASection, std::string_view AKey, int ADefault) const {
    const std::optional<std::string> text = ReadValue(ASection, AKey);
    const std::optional<std::int64_t> value = text ? ParseIniNumber(*text) : std::nullopt;
    if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max())
        return ADefault;
    return int(*value);
}

std::string_view TIniFile::NewLineEnding() const {
    for (std::size_t i = 0; i < LineCount(); ++i)
        if (Line(i).ends_with('\n'))
            return Ending(Line(i));
    return "\n";
}

// Only the last line can lack a line feed: it gets one before a line is added after it.
void TIniFile::InsertLine(std::size_t AIndex, std::string_view AText) {
    const std::string ending(NewLineEnding());
    std::size_t at = AIndex < LineCount() ? FStarts[AIndex] : FText.size();
    if (AIndex > 0 && !Line(AIndex - 1).ends_with('\n')) {
        const std::string added = Ending(Line(AIndex - 1)).empty() ? ending : "\n";
        FText.insert(at, added);
        at += added.size();
    }
    FText.insert(at, std::string(AText) + ending);
    SplitLines();
}

void TIniFile::WriteString(std::string_view ASection, std::string_view AKey, std::string_view AValue) {
    const std::string_view value = FirstLine(AValue);
    const std::string keyLine = std::string(FirstLine(AKey)) + "=" + std::string(value);
    const std::optional<std::size_t> header = FindSection(ASection);
    if (!header) {
        if (LineCount() > 0 && !TrimBlanks(Body(Line(LineCount() - 1))).empty())
            InsertLine(LineCount(), "");
        std::string sectionLine = "[";
        sectionLine += FirstLine(ASection);
        sectionLine += ']';
        InsertLine(LineCount(), sectionLine);
        InsertLine(LineCount(), keyLine);
        return;
    }
    if (const std::optional<std::size_t> index = FindKey(*header, AKey)) {
        const std::string_view line = Body(Line(*index));
        const std::size_t valueStart = FStarts[*index] + KeyLine(line)->ValueStart;
        FText.replace(valueStart, FStarts[*index] + line.size() - valueStart, value);
        SplitLines();
        return;
    }
    std::size_t after = *header;
    const std::size_t end = SectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i)
        if (KeyLine(Body(Line(i))))
            after = i;
    InsertLine(after + 1, keyLine);
}

void TIniFile::WriteInteger(std::string_view ASection, std::string_view AKey, int AValue) {
    WriteString(ASection, AKey, std::to_string(AValue));
}

std::string TIniFile::Text() const {
    return FText;
}

void TIniFile::UpdateFile() const {
    WriteWholeFile(FFileSystem, FPath, Text());
}

} // namespace kvaderon
