// kvaderon-cli.exe on Windows paths: wildcards that cmd and PowerShell pass on unexpanded, and
// paths longer than the 260 characters of the short form.
#include "CliTestSupport.h"
#include "PathText.h"
#include "platform/FileIO.h"

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class WindowsPathsCli : public TCliTest {
protected:
    // The names of the files under AFolder, in any subfolder.
    static std::vector<std::string> Names(const fs::path& AFolder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(AFolder))
            if (entry.is_regular_file())
                names.push_back(PathToUtf8(entry.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(WindowsPathsCli, WildcardsStandForTheNamesTheyMatch) {
    const fs::path in = Folder("in");
    const std::string inText = PathToUtf8(in);
    std::uint16_t seed = 1;
    for (const char* name : {"a.tif", "ab.tif", "b.tif", "Ж.tif", "sub/d.tif"}) {
        fs::create_directories((in / Utf8ToPath(name)).parent_path());
        Put(in / Utf8ToPath(name), BuildImage(Image(seed++)).Build());
    }
    Put(in / "note.txt", {'x'});
    struct TCase {
        const char* Name;
        std::vector<std::string> Files;
        int ExitCode;
        std::vector<std::string> Positives;
    };
    const std::vector<TCase> cases = {
        {"star", {inText + "\\*.tif"}, 0, {"a.tif", "ab.tif", "b.tif", "Ж.tif"}},
        {"question mark", {inText + "\\?.tif"}, 0, {"a.tif", "b.tif", "Ж.tif"}},
        {"a folder matched", {inText + "\\s*"}, 0, {"d.tif"}},
        {"forward slashes", {PathToUtf8(in.generic_u8string()) + "/a*.tif"}, 0, {"a.tif", "ab.tif"}},
        {"no match beside a file", {inText + "\\*.png", inText + "\\b.tif"}, 1, {"b.tif"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const fs::path out = FTemp / "out";
        fs::remove_all(out);
        std::vector<std::string> arguments{"invert", "--jobs", "1", "--color", "never", "--out", PathToUtf8(out)};
        arguments.insert(arguments.end(), c.Files.begin(), c.Files.end());
        const TProgramResult run = Cli(arguments);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Out << run.Err;
        EXPECT_EQ(Names(out), c.Positives) << run.Out << run.Err;
        if (c.ExitCode != 0) {
            EXPECT_NE((run.Out + run.Err).find("Файл не существует: " + c.Files.front()), std::string::npos)
                << run.Out << run.Err;
        }
    }
    EXPECT_EQ(ReadFile(FTemp / "out" / "b.tif"), Positive(Image(3)));
    // The order of the outcome lines is the order of the names.
    const TProgramResult ordered = Cli({"analyze", "--color", "never", "--depth-only", inText + "\\*.tif"});
    const std::size_t a = ordered.Out.find("a.tif"), ab = ordered.Out.find("ab.tif"), zhe = ordered.Out.find("Ж.tif");
    EXPECT_TRUE(a < ab && ab < zhe && zhe != std::string::npos) << ordered.Out;
}

// Wine has no 260-character limit; on Windows the manifest and the extended form both matter.
TEST_F(WindowsPathsCli, ANegativeInAFolderOf300CyrillicCharactersIsInverted) {
    fs::path in = FTemp.Path();
    fs::path out = FTemp.Path();
    while (PathToUtf8(in).size() < 2 * 300) { // two bytes to a Cyrillic letter
        in /= Utf8ToPath("Очень длинная папка со сканами плёнки");
        out /= Utf8ToPath("Папка для позитивов с длинным именем");
    }
    fs::create_directories(in);
    const fs::path input = Put(in / Utf8ToPath("Негатив кадр 01.tif"), BuildImage(Image(7)).Build());
    ASSERT_GT(input.native().size(), 300u);
    const TProgramResult run =
        Cli({"invert", "--color", "never", "--verify", "--out", PathToUtf8(out), PathToUtf8(input)});
    EXPECT_EQ(run.ExitCode, 0) << run.Out << run.Err;
    EXPECT_EQ(ReadFile(out / Utf8ToPath("Негатив кадр 01.tif")), Positive(Image(7)));
}

TEST(SystemCallPath, LongPathsTakeTheExtendedFormAndShortOnesStay) {
    const std::wstring long200(200, L'д');
    const std::wstring cwd = fs::current_path().native();
    struct TCase {
        std::wstring Path;
        std::wstring Expected;
    };
    const std::vector<TCase> cases = {
        {L"C:\\scans\\a.tif", L"C:\\scans\\a.tif"},
        {L"C:\\" + long200 + L"\\" + long200 + L"\\a.tif", L"\\\\?\\C:\\" + long200 + L"\\" + long200 + L"\\a.tif"},
        {L"C:/" + long200 + L"/../" + long200 + L"/./a.tif", L"\\\\?\\C:\\" + long200 + L"\\a.tif"},
        {L"\\\\server\\share\\" + long200 + L"\\" + long200,
         L"\\\\?\\UNC\\server\\share\\" + long200 + L"\\" + long200},
        {L"\\\\?\\C:\\" + long200 + L"\\" + long200, L"\\\\?\\C:\\" + long200 + L"\\" + long200},
        {long200 + L"\\" + long200, L"\\\\?\\" + cwd + L"\\" + long200 + L"\\" + long200},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::SystemCallPath(c.Path).native(), c.Expected) << PathToUtf8(c.Path);
}

} // namespace
} // namespace kvaderon::test
