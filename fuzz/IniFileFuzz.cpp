// libFuzzer harness: raw bytes as a settings file. Reading any key never fails; a file saved
// unchanged keeps every byte; a written value reads back and leaves the other keys' values as
// they were.
#include "IniFile.h"
#include "MemoryFileSystem.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

const char* const sections[] = {"Application", "Files", "Colors"};
const char* const keys[] = {"VCLStyle", "Prefix", "Postfix", "Width", "OK_B"};

std::vector<std::optional<std::string>> AllValues(const kvaderon::TIniFile& AFile) {
    std::vector<std::optional<std::string>> values;
    for (const char* section : sections)
        for (const char* key : keys)
            values.push_back(AFile.ReadValue(section, key));
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    const std::vector<std::uint8_t> bytes(AData, AData + ASize);
    kvaderon::test::TMemoryFileSystem files;
    files.Write("/config/kvaderon.ini", bytes);
    kvaderon::TIniFile file("/config/kvaderon.ini", files);
    if (file.Text() != std::string(bytes.begin(), bytes.end()))
        __builtin_trap();
    const auto before = AllValues(file);
    file.ReadInteger("Application", "Width", 7);

    file.WriteString("Files", "Prefix", "! p");
    file.UpdateFile();
    const kvaderon::TIniFile saved("/config/kvaderon.ini", files);
    if (saved.Text() != file.Text() || saved.ReadValue("Files", "Prefix") != "! p")
        __builtin_trap();
    auto after = AllValues(saved);
    after[1 * std::size(keys) + 1] = before[1 * std::size(keys) + 1];
    if (after != before)
        __builtin_trap(); // writing one key changed another
    return 0;
}
