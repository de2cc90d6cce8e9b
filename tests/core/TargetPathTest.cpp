#include "TargetPath.h"

#include "HostileNames.h"
#include "PathText.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kvaderon {
namespace {

namespace fs = std::filesystem;
using test::TTempDir;
using test::WriteFile;

TEST(TargetPath, NamesFollowThePrefixRuleOnlyInTheSourceFolder) {
    const struct {
        const char* Input;
        bool SameFolder;
        const char* Prefix;
        const char* Postfix;
        const char* Target;
    } cases[] = {
        {"/in/scan01.tif", true, "! ", "", "/out/! scan01.tif"},
        {"/in/scan01.TIFF", true, "! ", "_pos", "/out/! scan01_pos.tif"},
        {"/in/scan01", true, "! ", "_pos", "/out/! scan01_pos.tif"},
        {"/in/a.b.tiff", true, "! ", "", "/out/! a.b.tif"},
        {"/in/scan01.tif", true, "", "", "/out/scan01.tif"},
        {"/in/.hidden", true, "x", " ", "/out/x .tif"},
        {"/in/сканы 01.tif", true, " ", " негатив", "/out/ сканы 01 негатив.tif"},
        {"/in/scan01.TIF", false, "! ", "_pos", "/out/scan01.TIF"},
        {"/in/a.b.tiff", false, "! ", "", "/out/a.b.tiff"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildTargetPath(Utf8ToPath(c.Input), "/out", c.SameFolder, c.Prefix, c.Postfix), Utf8ToPath(c.Target))
            << c.Input;
    EXPECT_EQ(BuildTargetPath("/in/x.tif", "/out/", false, "", ""), fs::path("/out/x.tif"));
}

TEST(TargetPath, PrefixesAndPostfixesStayPartsOfTheName) {
    for (const std::string& part : test::HostileNameParts)
        EXPECT_FALSE(IsNamePart(part)) << part;
    for (const std::string part : {"", "! ", "_pos", ".x", "...", "..a", "a..", " .. "})
        EXPECT_TRUE(IsNamePart(part)) << part;
}

TEST(TargetPath, OneFolderSpelledInOtherWaysIsTheSameFolder) {
    test::TTempDir temp;
    const fs::path folder = temp / "scans";
    fs::create_directories(folder / "sub");
    fs::create_directories(temp / "other");
    // Windows lets only administrators and its developer mode make links (Wine none at all).
    std::error_code linkRefused;
    fs::create_directory_symlink(folder, temp / "link", linkRefused);

    EXPECT_TRUE(IsSameFolder(folder, folder.string() + "/"));
    EXPECT_TRUE(IsSameFolder(folder, folder / "sub" / ".."));
    if (!linkRefused) {
        EXPECT_TRUE(IsSameFolder(folder, temp / "link"));
    }
    EXPECT_TRUE(IsSameFolder(temp / "missing", (temp / "missing").string() + "/"));
    EXPECT_TRUE(IsSameFolder(temp / "missing", folder / ".." / "missing"));
    EXPECT_FALSE(IsSameFolder(folder, temp / "other"));
    EXPECT_FALSE(IsSameFolder(folder, folder / "sub"));
    EXPECT_FALSE(IsSameFolder(temp / "missing", temp / "missing2"));
}

// Whatever a rename onto the target would replace counts as an existing target, so the user is
// asked before it goes; a folder does not count.
TEST(TargetPath, AnythingButAFolderAtTheTargetIsAnExistingTarget) {
    TTempDir dir;
    const fs::path input = dir / "in.tif";
    WriteFile(input, {'n'});
    WriteFile(dir / "file.tif", {'o'});
    fs::create_directory(dir / "folder.tif");
    EXPECT_TRUE(IsOtherExistingFile(input, dir / "file.tif"));
    EXPECT_FALSE(IsOtherExistingFile(input, dir / "folder.tif"));
    EXPECT_FALSE(IsOtherExistingFile(input, dir / "none.tif"));
    EXPECT_FALSE(IsOtherExistingFile(input, input)) << "the input itself is never offered for overwriting";

    const std::string pipe = PathToUtf8(dir / "pipe.tif");
    if (std::system(("mkfifo '" + pipe + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "no mkfifo here";
    EXPECT_TRUE(IsOtherExistingFile(input, dir / "pipe.tif"));
}

TEST(TargetPath, ComparisonKeysIgnoreLetterCaseOnly) {
    const struct {
        const char* First;
        const char* Second;
        bool Same;
    } cases[] = {
        {"/out/Scan.TIF", "/out/scan.tif", true},     {"/out/СКАН Ёлки.tif", "/out/скан ёлки.tif", true},
        {"/out/ÀÉÎ ΣΩ.tif", "/out/àéî σω.tif", true}, {"/out/a/../x.tif", "/out/X.tif", true},
        {"/out/scan1.tif", "/out/scan2.tif", false},  {"/out/скан.tif", "/out/скат.tif", false},
        {"/out/×.tif", "/out/÷.tif", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.First);
        EXPECT_EQ(PathComparisonKey(Utf8ToPath(c.First)) == PathComparisonKey(Utf8ToPath(c.Second)), c.Same);
    }
}

} // namespace
} // namespace kvaderon
