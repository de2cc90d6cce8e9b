#include "Wildcards.h"

#include "PathText.h"

#include <windows.h>

#include <algorithm>

namespace kvaderon::cli::platform {

namespace {

bool HasWildcard(const std::wstring& AName) {
    return AName.find_first_of(L"*?") != std::wstring::npos;
}

bool ExistsAsWritten(const std::filesystem::path& APath) {
    return ::GetFileAttributesW(APath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names in the pattern's folder that its last part matches, "." and ".." left out, in the
// order Windows' own listings show them (letter case ignored).
std::vector<std::wstring> MatchingNames(const std::filesystem::path& APattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW(APattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                             FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end(), [](const std::wstring& AFirst, const std::wstring& ASecond) {
        return ::CompareStringOrdinal(AFirst.c_str(), int(AFirst.size()), ASecond.c_str(), int(ASecond.size()), TRUE) ==
               CSTR_LESS_THAN;
    });
    return names;
}

} // namespace

std::vector<std::string> ExpandWildcards(const std::vector<std::string>& AArguments) {
    std::vector<std::string> expanded;
    for (const std::string& argument : AArguments) {
        const std::filesystem::path path = Utf8ToPath(argument);
        const std::wstring last = path.filename().native();
        const std::vector<std::wstring> names =
            HasWildcard(last) && !ExistsAsWritten(path) ? MatchingNames(path) : std::vector<std::wstring>();
        if (names.empty()) {
            expanded.push_back(argument);
            continue;
        }
        // The folder part as written: "D:\Сканы\*.tif" gives "D:\Сканы\a.tif", "*.tif" gives "a.tif".
        const std::string folder = argument.substr(0, argument.size() - PathToUtf8(path.filename()).size());
        for (const std::wstring& name : names)
            expanded.push_back(folder + PathToUtf8(std::filesystem::path(name)));
    }
    return expanded;
}

} // namespace kvaderon::cli::platform
