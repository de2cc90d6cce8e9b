// kvaderon-cli check over SHA256SUMS lists, and the list that two runs into one folder write at once.
#include "CliTestSupport.h"
#include "FlatJson.h"
#include "PathText.h"

#include <thread>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class ChecksumCli : public TCliTest {};

// One row per kind of line: what check says of it on its own line, and in JSON.
TEST_F(ChecksumCli, CheckSaysOfEachLineWhatSha256sumSays) {
    const fs::path folder = Folder("sums");
    const std::string ok = Sha256Of(Put(folder / "ok.tif", {1, 2, 3}));
    const std::string binary = Sha256Of(Put(folder / "bin.tif", {4}));
    const std::string before = Sha256Of(Put(folder / "changed.tif", {5}));
    Put(folder / "changed.tif", {6});
    struct TRow {
        std::string Line;
        std::string Output; // empty: the line gives no output
        std::string Result;
    };
    std::vector<TRow> rows = {
        {ok + "  ok.tif\n", "ok.tif: ОК", "ok"},
        {"# written by hand\n", "", ""},
        {binary + " *bin.tif\r\n", "bin.tif: ОК", "ok"},
        {before + "  changed.tif\n", "changed.tif: НЕ СОВПАДАЕТ", "differs"},
        {ok + "  gone.tif\n", "gone.tif: нет файла", "missing"},
        {ok + " ok.tif\n", PathToUtf8(folder / "SHA256SUMS") + ", строка 6: строка не в формате sha256sum",
         "malformed"},
    };
    std::error_code unsupported;
    try {
        WriteFile(folder / "a\\b\nc.tif", {7}); // not a name Windows allows
    } catch (const std::exception&) {
    }
    if (fs::exists(folder / "a\\b\nc.tif", unsupported))
        rows.push_back({std::string("\\").append(Sha256Of(folder / "a\\b\nc.tif")).append("  a\\\\b\\nc.tif\n"),
                        "a\\b\\x0ac.tif: ОК", "ok"});
    std::string list;
    for (const TRow& row : rows)
        list += row.Line;
    WriteFile(folder / "SHA256SUMS", TBytes(list.begin(), list.end()));

    const TProgramResult text = Cli({"check", PathToUtf8(folder / "SHA256SUMS")});
    EXPECT_EQ(text.ExitCode, 1) << text.Err;
    const TProgramResult json = Cli({"check", "--json", PathToUtf8(folder / "SHA256SUMS")});
    EXPECT_EQ(json.ExitCode, 1) << json.Err;
    const auto textLines = Lines(text.Out);
    const auto jsonLines = Lines(json.Out);
    std::size_t at = 0;
    for (const TRow& row : rows) {
        if (row.Output.empty())
            continue;
        SCOPED_TRACE(row.Line);
        ASSERT_LT(at, textLines.size());
        ASSERT_LT(at, jsonLines.size());
        EXPECT_EQ(textLines[at], row.Output);
        std::vector<std::string> keys;
        const TJsonObject record = TFlatJson::Parse(jsonLines[at], keys);
        EXPECT_EQ(std::get<std::string>(record.at("Result")), row.Result);
        ++at;
    }
    std::vector<std::string> keys;
    const TJsonObject summary = TFlatJson::Parse(jsonLines.at(at), keys);
    EXPECT_EQ(std::get<std::int64_t>(summary.at("Files")), std::int64_t(at));
    EXPECT_EQ(std::get<std::int64_t>(summary.at("Ok")), std::int64_t(at) - 3);

    const std::string good = ok + "  ok.tif\n" + binary + " *bin.tif\r\n";
    WriteFile(folder / "GOOD", TBytes(good.begin(), good.end()));
    EXPECT_EQ(Cli({"check", PathToUtf8(folder / "GOOD")}).ExitCode, 0);
    WriteFile(folder / "EMPTY", TBytes{'#', '\n'});
    EXPECT_EQ(Cli({"check", PathToUtf8(folder / "GOOD"), PathToUtf8(folder / "EMPTY")}).ExitCode, 1)
        << "a list without a checksum";
    EXPECT_EQ(Cli({"check", PathToUtf8(folder / "NONE")}).ExitCode, 1) << "no list";
}

// Two runs of 300 files each into one folder at the same time: 600 lines, every one of them holds.
TEST_F(ChecksumCli, TwoRunsAtOnceIntoOneFolderLoseNoLine) {
    if (std::filesystem::path::preferred_separator == '\\')
        GTEST_SKIP() << "the Windows test harness cannot yet start two programs at once: each inherits the "
                        "other's output file";
    const fs::path out = Folder("out");
    std::vector<std::string> runs[2];
    for (int run = 0; run < 2; ++run) {
        const fs::path in = Folder(std::string("in").append(std::to_string(run)));
        runs[run] = {"invert", "--checksums", "--jobs", "2", "--out", PathToUtf8(out)};
        for (int i = 0; i < 300; ++i) {
            const std::string name = std::string("r").append(std::to_string(run)).append("-").append(std::to_string(i));
            runs[run].push_back(
                PathToUtf8(Put(in / (name + ".tif"), BuildImage(Image(std::uint16_t(run * 300 + i))).Build())));
        }
    }
    TTempDir scratch[2];
    TProgramResult results[2];
    std::thread first([&] { results[0] = RunProgram(KVADERON_CLI_PROGRAM, runs[0], scratch[0].Path()); });
    results[1] = RunProgram(KVADERON_CLI_PROGRAM, runs[1], scratch[1].Path());
    first.join();
    EXPECT_EQ(results[0].ExitCode, 0) << results[0].Err;
    EXPECT_EQ(results[1].ExitCode, 0) << results[1].Err;

    EXPECT_EQ(Lines(ReadTextFile(out / "SHA256SUMS")).size(), 600u);
    const TProgramResult check = Cli({"check", "--json", PathToUtf8(out / "SHA256SUMS")});
    EXPECT_EQ(check.ExitCode, 0) << check.Out;
    std::vector<std::string> keys;
    const TJsonObject summary = TFlatJson::Parse(Lines(check.Out).back(), keys);
    EXPECT_EQ(std::get<std::int64_t>(summary.at("Ok")), 600);
}

} // namespace
} // namespace kvaderon::test
