// What a scheduler needs of a step: file lists (--files-from, --null), exit status 3 for a failure
// a retry may mend, and JSON records that say everything the text says.
#include "CliTestSupport.h"
#include "FileList.h"
#include "FlatJson.h"
#include "PathText.h"
#include "RunStatus.h"

#include <fstream>
#include <sstream>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class SchedulerCli : public TCliTest {
protected:
    static std::string Text(const TJsonObject& AObject, const std::string& AKey) {
        return std::get<std::string>(AObject.at(AKey));
    }
};

TEST(FileList, NamesAreSplitAsTheListWritesThem) {
    const struct {
        const char* Name;
        std::string List;
        bool Null;
        std::vector<std::string> Names;
    } cases[] = {
        {"lines", "a.tif\nb c.tif\n", false, {"a.tif", "b c.tif"}},
        {"CRLF, no last break, empty lines", "a.tif\r\n\r\n\nb.tif", false, {"a.tif", "b.tif"}},
        {"NUL keeps line breaks in names", std::string("a\nb.tif\0c.tif\0", 14), true, {"a\nb.tif", "c.tif"}},
        {"empty", "", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::istringstream input(c.List);
        EXPECT_EQ(cli::ReadFileNames(input, c.Null), c.Names);
    }
}

TEST(RunStatus, ThreeOnlyWhenEveryFailureMayBeRetried) {
    const struct {
        std::vector<bool> Failures; // each: may be retried
        int Code;
    } cases[] = {{{}, 0}, {{true}, 3}, {{true, true}, 3}, {{true, false}, 1}, {{false}, 1}};
    for (const auto& c : cases) {
        cli::TRunStatus status;
        for (const bool retry : c.Failures)
            status.Failed(retry);
        EXPECT_EQ(status.Code(), c.Code);
    }
}

// A list of names given with --files-from is the same as the names given as arguments: the run
// reports the same files, in the same order, after those on the command line.
TEST_F(SchedulerCli, FilesFromAddsTheListedNamesToTheArguments) {
    const fs::path in = Folder("in");
    const std::string a = PathToUtf8(Put(in / "a.tif", BuildImage(Image(1)).Build()));
    const std::string b = PathToUtf8(Put(in / "b b.tif", BuildImage(Image(2)).Build()));
    const std::string c = PathToUtf8(Put(in / "c.tif", BuildImage(Image(3)).Build()));
    const std::string list = PathToUtf8(FTemp.Path() / "list");
    const std::string nulList = PathToUtf8(FTemp.Path() / "list0");
    const std::string lines = b + "\r\n" + c + "\n";
    WriteFile(list, TBytes(lines.begin(), lines.end()));
    const std::string nul = b + '\0' + c + '\0';
    WriteFile(nulList, TBytes(nul.begin(), nul.end()));
    for (const auto& options :
         std::vector<std::vector<std::string>>{{"--files-from", list}, {"--files-from=" + nulList, "--null"}}) {
        SCOPED_TRACE(options.back());
        std::vector<std::string> arguments = {"analyze", "--json", "--depth-only", a};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const TProgramResult run = Cli(arguments);
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
        const auto records = JsonLines(run.Out);
        ASSERT_EQ(records.size(), 3u) << run.Out;
        EXPECT_EQ(Text(records[0], "File"), a);
        EXPECT_EQ(Text(records[1], "File"), b);
        EXPECT_EQ(Text(records[2], "File"), c);
    }
    const fs::path out = Folder("out");
    EXPECT_EQ(Cli({"invert", "--out", PathToUtf8(out), "--files-from", list}).ExitCode, 0);
    EXPECT_EQ(Cli({"verify", "--out", PathToUtf8(out), "--files-from", list}).ExitCode, 0);
    EXPECT_EQ(Cli({"analyze", "--files-from", PathToUtf8(FTemp.Path() / "none")}).ExitCode, 2);
    EXPECT_EQ(Cli({"check", "--files-from", list}).ExitCode, 2);
}

// A refused file is a permanent failure (status 1, "Retry": false); a note about a thumbnail left
// as it was is in the JSON record as in the text.
TEST_F(SchedulerCli, JsonRecordsSayWhetherToRetryAndCarryTheNotes) {
    const fs::path in = Folder("in"), out = Folder("out");
    TTiffBuilder builder = BuildImage(Image(1));
    builder.SecondIFD(ThumbnailEntries(builder, 8, 3, 7)); // a JPEG thumbnail: left as it is
    const fs::path withThumbnail = Put(in / "thumb.tif", builder.Build());
    const fs::path notTiff = Put(in / "text.tif", {'h', 'i'});
    const TProgramResult run = Cli({"invert", "--json", "--invert-previews", "--out", PathToUtf8(out),
                                    PathToUtf8(withThumbnail), PathToUtf8(notTiff)});
    EXPECT_EQ(run.ExitCode, 1) << run.Err;
    const auto records = JsonLines(run.Out);
    ASSERT_EQ(records.size(), 3u) << run.Out;
    const auto& notes = std::get<std::vector<std::string>>(records[0].at("Notes"));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].rfind("миниатюра ", 0), 0u) << notes[0];
    EXPECT_NE(notes[0].find(" не инвертирована: сжата"), std::string::npos) << notes[0];
    EXPECT_EQ(records[0].count("Retry"), 0u) << "written";
    EXPECT_EQ(std::get<bool>(records[1].at("Retry")), false);

    const TProgramResult text =
        Cli({"invert", "--invert-previews", "--overwrite", "--out", PathToUtf8(out), PathToUtf8(withThumbnail)});
    EXPECT_NE(text.Out.find("миниатюра"), std::string::npos) << text.Out;
}

} // namespace
} // namespace kvaderon::test
