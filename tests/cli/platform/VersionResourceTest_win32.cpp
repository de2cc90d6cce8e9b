// The version resource of kvaderon-cli.exe carries the version the program shows, as the window's
// resource carries the version of its caption: both come from one CMake function.
#include "CliTestSupport.h"
#include "TextFormat.h"
#include "VersionText.h"

#include <windows.h>

namespace kvaderon::test {
namespace {

std::vector<BYTE> VersionResource(const std::filesystem::path& AProgram) {
    const DWORD size = ::GetFileVersionInfoSizeW(AProgram.c_str(), nullptr);
    std::vector<BYTE> data(size);
    if (size == 0 || !::GetFileVersionInfoW(AProgram.c_str(), 0, size, data.data()))
        data.clear();
    return data;
}

std::string StringValue(std::vector<BYTE>& AResource, const wchar_t* AName) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041904B0\\") + AName;
    if (!::VerQueryValueW(AResource.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) || length == 0)
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, int(length - 1), nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, int(length - 1), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

using VersionResourceCli = TCliTest;

TEST_F(VersionResourceCli, FileVersionIsTheVersionTheProgramShows) {
    auto resource = VersionResource(KVADERON_CLI_PROGRAM);
    ASSERT_FALSE(resource.empty()) << "no version resource in " << KVADERON_CLI_PROGRAM;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(resource.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const std::string fileVersion =
        FormatText("%d.%d.%d.%d", {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                   HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)});

    const TProgramResult shown = Cli({"--version"});
    EXPECT_EQ(shown.Out, "kvaderon-cli v." + FormatVersionText(fileVersion) + "\n");
    EXPECT_EQ(StringValue(resource, L"FileVersion"), fileVersion);
    EXPECT_EQ(StringValue(resource, L"OriginalFilename"), "kvaderon-cli.exe");
    EXPECT_EQ(StringValue(resource, L"FileDescription"), "Kvaderon TIFF-файлов, командная строка");
}

} // namespace
} // namespace kvaderon::test
