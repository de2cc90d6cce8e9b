// An INI profile file read and written by section and key. The whole file is held as its text;
// writing changes only the line of the key written (or adds it), so comments, unknown keys, other
// sections, blank lines and line endings stay byte for byte as they were. Text is UTF-8.
#pragma once

#include "platform/FileIO.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvaderon {

// A value is read up to this many characters.
inline constexpr std::size_t IniValueMaxLength = 2047;

// Section, key and colour names match without regard to the case of Latin letters.
bool EqualIgnoringAsciiCase(std::string_view AFirst, std::string_view ASecond);

// A number of a profile: decimal with an optional minus, or hexadecimal after "$" or "0x";
// nothing for any other text.
std::optional<std::int64_t> ParseIniNumber(std::string_view AText);

class TIniFile {
public:
    // Reads the file at APath; a file that does not exist reads as empty. Failures (an unreadable
    // file, a folder, a file too large for a profile) raise platform::ESystemError whose message
    // is the system's reason.
    explicit TIniFile(std::filesystem::path APath, platform::TFileSystem& AFileSystem = platform::SystemFileSystem());

    const std::filesystem::path& Path() const { return FPath; }

    // The value of AKey in ASection, nothing when the key is absent. Names match without regard
    // to letter case; blanks around the value are dropped and one pair of enclosing double or
    // single quotes is taken off.
    std::optional<std::string> ReadValue(std::string_view ASection, std::string_view AKey) const;
    std::string ReadString(std::string_view ASection, std::string_view AKey, std::string_view ADefault) const;
    // ADefault also when the value is not a number of int's range.
    int ReadInteger(std::string_view ASection, std::string_view AKey, int ADefault) const;

    // Replaces the key's value in place, adds the key at the end of its section, or adds the
    // section at the end of the file. A value stops at a line break, which no INI line can hold.
    void WriteString(std::string_view ASection, std::string_view AKey, std::string_view AValue);
    void WriteInteger(std::string_view ASection, std::string_view AKey, int AValue);

    // The file's text as it would be saved.
    std::string Text() const;

    // Saves the text through a temporary file beside the file and a rename, so that the file is
    // always either the old or the new one. A missing folder is created; a file that may not be
    // written is not replaced. Failures raise platform::ESystemError with the system's reason,
    // followed by the temporary file's name when it could not be removed.
    void UpdateFile() const;

private:
    std::optional<std::size_t> FindSection(std::string_view ASection) const;
    std::size_t SectionEnd(std::size_t AHeader) const;
    std::optional<std::size_t> FindKey(std::size_t AHeader, std::string_view AKey) const;
    void InsertLine(std::size_t AIndex, std::string_view AText);
    std::string_view NewLineEnding() const;

    // The line where each section and each key of a section first appears, by name in lower case.
    struct TIndex {
        std::map<std::string, std::size_t, std::less<>> Sections;
        std::map<std::pair<std::size_t, std::string>, std::size_t> Keys; // by header line and key
    };
    // Made when first needed; every change drops it.
    const TIndex& Index() const;

    // Each line with its own line ending; the last one may have none. Valid until the next change.
    std::string_view Line(std::size_t AIndex) const;
    std::size_t LineCount() const { return FStarts.size(); }
    // Finds the lines of FText after a change.
    void SplitLines();

    std::filesystem::path FPath;
    platform::TFileSystem& FFileSystem;
    std::string FText;
    std::vector<std::size_t> FStarts; // where each line begins in FText
    mutable std::optional<TIndex> FIndex;
};

} // namespace kvaderon
