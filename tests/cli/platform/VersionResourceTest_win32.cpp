// The version resource of kvaderon-cli.exe carries the version the program shows, as the window's
// resource carries the version of its caption: both come from one CMake function, which also gives
// both programs their maker and their application manifest.
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

// The application manifest (resource 1 of type RT_MANIFEST) as the loader reads it.
std::string Manifest(const std::filesystem::path& AProgram) {
    const HMODULE module =
        ::LoadLibraryExW(AProgram.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr)
        return {};
    std::string text;
    if (const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)))
        if (const HGLOBAL loaded = ::LoadResource(module, resource))
            text.assign(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(module, resource));
    ::FreeLibrary(module);
    return text;
}

std::vector<std::filesystem::path> Programs() {
    std::vector<std::filesystem::path> programs{KVADERON_CLI_PROGRAM};
#ifdef KVADERON_WINDOW_PROGRAM
    programs.emplace_back(KVADERON_WINDOW_PROGRAM);
#endif
    return programs;
}

using VersionResourceCli = TCliTest;

TEST_F(VersionResourceCli, BothProgramsDeclareLongPathsDpiAwarenessUtf8AndCommonControls) {
    const std::vector<std::string> declarations = {
        R"(<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>)",
        R"(<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>)",
        R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>)",
        R"(<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8</activeCodePage>)",
        R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
        R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)",
    };
    for (const auto& program : Programs()) {
        SCOPED_TRACE(program.string());
        std::string manifest = Manifest(program);
        ASSERT_FALSE(manifest.empty()) << "no application manifest";
        // Attributes may be wrapped onto further lines.
        manifest = std::regex_replace(manifest, std::regex("\\s+"), " ");
        for (const auto& declaration : declarations)
            EXPECT_NE(manifest.find(declaration), std::string::npos) << declaration << "\n" << manifest;
    }
}

TEST_F(VersionResourceCli, BothProgramsNameTheirMakerAndCopyright) {
    for (const auto& program : Programs()) {
        SCOPED_TRACE(program.string());
        auto resource = VersionResource(program);
        ASSERT_FALSE(resource.empty()) << "no version resource";
        EXPECT_EQ(StringValue(resource, L"CompanyName"), "Kvaderon developers");
        EXPECT_EQ(StringValue(resource, L"LegalCopyright"), "© 2026 Kvaderon developers");
        EXPECT_EQ(StringValue(resource, L"ProductName"), "Kvaderon");
        EXPECT_EQ(StringValue(resource, L"FileDescription").rfind("Kvaderon TIFF-файлов", 0), 0u);
    }
}

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
