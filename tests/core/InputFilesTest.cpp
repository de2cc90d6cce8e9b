// Folders standing for the TIFF files under them, and where each file's positive goes.
#include "InputFiles.h"

#include "FolderTrees.h"
#include "MemoryFileSystem.h"
#include "PathText.h"
#include "RunPlan.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "platform/SystemError.h"

#include <gtest/gtest.h>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

TEST(InputFilesTest, FolderStandsForTheTiffFilesUnderIt) {
    for (const TFolderTree& tree : FolderTrees()) {
        SCOPED_TRACE(tree.Name);
        TTempDir temp;
        const fs::path root = temp / "roll";
        fs::create_directories(root);
        if (!MakeFolderTree(root, tree))
            continue; // no links on this system
        std::vector<TInputFile> expected;
        for (const std::string& file : tree.Expected) {
            const fs::path path = root / Utf8ToPath(file);
            const fs::path subfolder = Utf8ToPath(file).parent_path();
            expected.push_back({path, subfolder, root, {}});
        }
        EXPECT_EQ(ExpandInputPaths({root}), expected);
    }
}

// Files named by themselves stay in their place in the list, whatever their names; a folder named
// with a trailing separator is the same folder.
TEST(InputFilesTest, NamedFilesStayAmongFolders) {
    TTempDir temp;
    fs::create_directories(temp / "roll" / "sub");
    const TBytes bytes{'x'};
    WriteFile(temp / "roll" / "sub" / "b.tif", bytes);
    WriteFile(temp / "first.txt", bytes);
    const std::vector<TInputFile> files =
        ExpandInputPaths({temp / "first.txt", temp.Path() / "roll" / "", temp / "missing.tif"});
    const std::vector<TInputFile> expected{
        {temp / "first.txt", {}, {}, {}},
        {temp.Path() / "roll" / "" / "sub" / "b.tif", "sub", temp.Path() / "roll" / "", {}},
        {temp / "missing.tif", {}, {}, {}}};
    EXPECT_EQ(files, expected);
    EXPECT_EQ(CountFolders(files), 2u);
}

TEST(InputFilesTest, UnreadableSubfolderIsNamed) {
    TMemoryFileSystem files;
    files.Write("/roll/sub/a.tif", {1});
    files.Write("/roll/b.tif", {1});
    files.FailCall(2, std::errc::permission_denied); // the listing of /roll/sub
    try {
        ExpandInputPaths({"/roll"}, files);
        FAIL() << "no error";
    } catch (const platform::ESystemError& error) {
        EXPECT_EQ(error.Code(), std::errc::permission_denied);
        EXPECT_NE(std::string(error.what()).find(PathToUtf8(std::filesystem::path("/roll") / "sub")), std::string::npos)
            << error.what();
    }
}

TEST(InputFilesTest, PositiveKeepsTheFolderAndSubfolder) {
    TTempDir temp;
    fs::create_directories(temp / "in" / "a" / "b");
    struct TCase {
        const char* Name;
        TInputFile Input;
        fs::path OutputFolder;
        fs::path Target;
    };
    for (const TCase& test : {
             TCase{"chosen by itself", {temp / "in" / "x.tif", {}, {}, {}}, temp / "out", temp / "out" / "x.tif"},
             TCase{"in a subfolder of a chosen folder",
                   {temp / "in" / "a" / "b" / "x.tif", "a/b", temp / "in", {}},
                   temp / "out",
                   temp / "out" / "in" / "a" / "b" / "x.tif"},
             TCase{"mirrored onto itself: prefix and postfix",
                   {temp / "in" / "a" / "x.tiff", "a", temp / "in", {}},
                   temp / "in",
                   temp / "in" / "a" / "! x_p.tif"},
         }) {
        SCOPED_TRACE(test.Name);
        const std::vector<TRunEntry> plan = PlanFoundFiles({test.Input}, test.OutputFolder, "! ", "_p");
        ASSERT_EQ(plan.size(), 1u);
        EXPECT_EQ(plan[0].Target, test.Target);
    }
}

} // namespace
} // namespace kvaderon::test
