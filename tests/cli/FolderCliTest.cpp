// Folders on the command line: invert mirrors the TIFF files of the tree under the destination,
// analyze reports each of them; both take the same files of the same trees as the engine's table.
#include "CliTestSupport.h"
#include "FolderTrees.h"
#include "PathText.h"

#include <algorithm>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class FolderCli : public TCliTest {};

// Every regular file under AFolder, relative paths, sorted.
std::vector<std::string> FilesUnder(const fs::path& AFolder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(AFolder))
        if (entry.is_regular_file())
            files.push_back(PathToUtf8(entry.path().lexically_relative(AFolder).generic_string()));
    std::sort(files.begin(), files.end());
    return files;
}

TEST_F(FolderCli, InvertMirrorsTheTreeAndAnalyzeReportsItsFiles) {
    for (const TFolderTree& tree : FolderTrees()) {
        SCOPED_TRACE(tree.Name);
        TTempDir temp;
        const fs::path root = temp / "roll";
        fs::create_directories(root);
        if (!MakeFolderTree(root, tree))
            continue; // no links on this system
        const TProgramResult invert = Cli({"invert", "--out", PathToUtf8(temp / "out"), PathToUtf8(root)});
        // A folder without a TIFF file is an error, and no destination is made for it.
        EXPECT_EQ(invert.ExitCode, tree.Expected.empty() ? 1 : 0) << invert.Out << invert.Err;
        std::vector<std::string> expected = tree.Expected;
        std::sort(expected.begin(), expected.end());
        // The folder keeps its own name under the destination.
        if (expected.empty())
            EXPECT_FALSE(fs::exists(temp / "out"));
        else
            ASSERT_EQ(FilesUnder(temp / "out" / "roll"), expected);
        // Each positive turns back into its negative.
        for (const std::string& file : tree.Expected) {
            const TProgramResult back = Cli(
                {"invert", "--out", PathToUtf8(temp / "back"), PathToUtf8(temp / "out" / "roll" / Utf8ToPath(file))});
            EXPECT_EQ(back.ExitCode, 0) << back.Out;
            EXPECT_EQ(ReadFile(temp / "back" / Utf8ToPath(file).filename()), ReadFile(root / Utf8ToPath(file))) << file;
            fs::remove_all(temp / "back");
        }

        const TProgramResult analyze = Cli({"analyze", "--json", "--depth-only", PathToUtf8(root)});
        EXPECT_EQ(analyze.ExitCode, 0) << analyze.Err;
        const std::vector<std::string> reports = Lines(analyze.Out);
        ASSERT_EQ(reports.size(), tree.Expected.size());
        for (std::size_t i = 0; i < reports.size(); ++i)
            EXPECT_NE(reports[i].find(Utf8ToPath(tree.Expected[i]).filename().string()), std::string::npos)
                << reports[i];
    }
}

// A folder mirrored onto itself keeps every positive beside its negative, prefixed.
TEST_F(FolderCli, FolderInvertedIntoItselfGetsPrefixedNames) {
    const fs::path root = Folder("roll");
    fs::create_directories(root / "sub");
    Put(root / "sub" / "a.tif", BuildImage(Image(3)).Build());
    const TProgramResult run = Cli({"invert", "--out", PathToUtf8(root), PathToUtf8(root)});
    EXPECT_EQ(run.ExitCode, 0) << run.Out;
    EXPECT_EQ(FilesUnder(root), (std::vector<std::string>{"sub/! a.tif", "sub/a.tif"}));
    EXPECT_EQ(ReadFile(root / "sub" / "! a.tif"), Positive(Image(3)));
}

} // namespace
} // namespace kvaderon::test
