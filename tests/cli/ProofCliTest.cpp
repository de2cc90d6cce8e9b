// The proof commands of kvaderon-cli: verify, invert --verify, --checksums, --json and --dry-run.
#include "CliTestSupport.h"
#include "FlatJson.h"
#include "PathText.h"

#include <cstdlib>
#include <map>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

// Every file under AFolder with its bytes.
std::map<std::string, TBytes> Snapshot(const fs::path& AFolder) {
    std::map<std::string, TBytes> files;
    for (const auto& entry : fs::recursive_directory_iterator(AFolder))
        files[PathToUtf8(entry.path())] = entry.is_regular_file() ? ReadFile(entry.path()) : TBytes{};
    return files;
}

class ProofCli : public TCliTest {};

TEST_F(ProofCli, VerifyAcceptsWhatInvertWroteAndNamesTheFirstDifference) {
    const fs::path in = Folder("in"), out = Folder("out");
    const fs::path a = Put(in / "a.tif", BuildImage(Image(1)).Build());
    const fs::path b = Put(in / "b.tif", BuildImage(Image(2)).Build());
    ASSERT_EQ(Cli({"invert", "--out", PathToUtf8(out), "--prefix", "p ", PathToUtf8(a), PathToUtf8(b)}).ExitCode, 0);

    const TProgramResult pair = Cli({"verify", PathToUtf8(a), PathToUtf8(out / "a.tif")});
    EXPECT_EQ(pair.ExitCode, 0) << pair.Err;
    EXPECT_EQ(Message(Lines(pair.Out).at(0), 1, "a.tif"), "ОК! (проверено)");

    TBytes tampered = ReadFile(out / "b.tif");
    tampered[9] ^= 0x10; // the high byte of the first sample
    WriteFile(out / "b.tif", tampered);
    const TProgramResult folder = Cli({"verify", "--out", PathToUtf8(out), PathToUtf8(a), PathToUtf8(b)});
    EXPECT_EQ(folder.ExitCode, 1);
    const auto lines = Lines(folder.Out);
    ASSERT_EQ(lines.size(), 2u) << folder.Out;
    EXPECT_EQ(Message(lines[0], 1, "a.tif"), "ОК! (проверено)");
    EXPECT_EQ(Message(lines[1], 2, "b.tif"), "Первое отличие на смещении 9: сэмпл не инвертирован");

    const auto json = JsonLines(
        Cli({"verify", "--json", "--out", PathToUtf8(out), PathToUtf8(a), PathToUtf8(b), PathToUtf8(in / "none.tif")})
            .Out);
    ASSERT_EQ(json.size(), 4u);
    EXPECT_EQ(std::get<std::string>(json[0].at("Outcome")), "holds");
    EXPECT_EQ(std::get<std::string>(json[1].at("Outcome")), "differs");
    EXPECT_EQ(std::get<std::int64_t>(json[1].at("Offset")), 9);
    EXPECT_EQ(std::get<std::string>(json[1].at("Difference")), "сэмпл не инвертирован");
    EXPECT_EQ(std::get<std::string>(json[2].at("Outcome")), "failed");
    EXPECT_NE(std::get<std::string>(json[2].at("Reason")).find("none.tif"), std::string::npos);
    EXPECT_EQ(std::get<std::int64_t>(json[3].at("Hold")), 1);
    EXPECT_EQ(std::get<std::int64_t>(json[3].at("Differ")), 1);
    EXPECT_EQ(std::get<std::int64_t>(json[3].at("Failed")), 1);

    // With the prefix invert was given, the targets of files in the destination itself.
    const fs::path inOut = Put(out / "c.tif", BuildImage(Image(3)).Build());
    ASSERT_EQ(Cli({"invert", "--out", PathToUtf8(out), "--prefix", "p ", PathToUtf8(inOut)}).ExitCode, 0);
    EXPECT_EQ(Cli({"verify", "--out", PathToUtf8(out), "--prefix", "p ", PathToUtf8(inOut)}).ExitCode, 0);
    EXPECT_EQ(Cli({"verify", "--out", PathToUtf8(out), PathToUtf8(inOut)}).ExitCode, 1) << "no such positive";
}

TEST_F(ProofCli, ChecksumsPassSha256sumAndAnOverwrittenFileGetsItsLineReplaced) {
    if (std::filesystem::path::preferred_separator == '\\')
        GTEST_SKIP() << "known fault: on Windows the checksum list of an overwritten file cannot yet be renamed over "
                        "while its lock is held";
    const fs::path in = Folder("in"), out = Folder("out");
    const fs::path a = Put(in / "a.tif", BuildImage(Image(1)).Build());
    const fs::path b = Put(in / "b b.tif", BuildImage(Image(2)).Build());
    // Lines are appended as files are done: one job keeps them in list order.
    const TProgramResult first = Cli(
        {"invert", "--verify", "--checksums", "--jobs", "1", "--out", PathToUtf8(out), PathToUtf8(a), PathToUtf8(b)});
    ASSERT_EQ(first.ExitCode, 0) << first.Err;
    EXPECT_EQ(Message(Lines(first.Out).at(0), 1, "a.tif"), "ОК! (проверено)");
    const std::string lineA = Sha256Of(out / "a.tif") + "  a.tif\n";
    const std::string lineB = Sha256Of(out / "b b.tif") + "  b b.tif\n";
    EXPECT_EQ(ReadTextFile(out / "SHA256SUMS"), lineA + lineB);

    Put(a, BuildImage(Image(5)).Build());
    const TProgramResult again =
        Cli({"invert", "--verify", "--checksums", "--overwrite", "--out", PathToUtf8(out), PathToUtf8(a)});
    ASSERT_EQ(again.ExitCode, 0) << again.Err;
    // An overwritten file's line says it was overwritten, and a second line that it was checked.
    const auto againLines = Lines(again.Out);
    ASSERT_GE(againLines.size(), 2u) << again.Out;
    EXPECT_EQ(Message(againLines[0], 1, "a.tif"), "OK! (режим «перезаписать все»)");
    EXPECT_EQ(Message(againLines[1], 1, "a.tif"), "ОК! (проверено)");
    const std::string newLineA = Sha256Of(out / "a.tif") + "  a.tif\n";
    ASSERT_NE(newLineA, lineA);
    EXPECT_EQ(ReadTextFile(out / "SHA256SUMS"), newLineA + lineB);

    if (std::system("sha256sum --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no sha256sum here";
    const std::string check = "cd \"" + PathToUtf8(out) + "\" && sha256sum --quiet -c SHA256SUMS";
    EXPECT_EQ(std::system(check.c_str()), 0);
    TBytes changed = ReadFile(out / "b b.tif");
    changed.back() ^= 1;
    WriteFile(out / "b b.tif", changed);
    EXPECT_NE(std::system((check + " 2>/dev/null >&2").c_str()), 0) << "sha256sum passes anything";
}

TEST_F(ProofCli, JsonHasOneObjectPerFileInListOrderAndASummary) {
    if (std::filesystem::path::preferred_separator == '\\')
        GTEST_SKIP() << "known fault: on Windows the checksum list of an overwritten file cannot yet be renamed over "
                        "while its lock is held";
    const fs::path in = Folder("in"), out = Folder("out");
    const fs::path fresh = Put(in / "fresh.tif", BuildImage(Image(1)).Build());
    const fs::path existing = Put(in / "existing.tif", BuildImage(Image(2)).Build());
    const fs::path broken = Put(in / "broken.tif", TBytes{'I', 'I', 42, 0});
    const fs::path blocked = Put(in / "blocked.tif", BuildImage(Image(3)).Build());
    Put(out / "existing.tif", {'o', 'l', 'd'});
    fs::create_directories(out / "blocked.tif"); // a folder where the positive would go
    const std::vector<std::string> files{PathToUtf8(fresh), PathToUtf8(existing), PathToUtf8(broken),
                                         PathToUtf8(blocked)};

    struct TExpected {
        const char* Outcome;
        bool Hashed;
    };
    const struct {
        std::vector<std::string> Options;
        std::vector<TExpected> Files;
    } runs[] = {
        {{"--jobs", "3"}, {{"written", false}, {"skipped", false}, {"refused", false}, {"failed", false}}},
        {{"--overwrite", "--verify", "--checksums"},
         {{"overwritten", true}, {"overwritten", true}, {"refused", false}, {"failed", false}}},
    };
    for (const auto& run : runs) {
        std::vector<std::string> arguments{"invert", "--json", "--out", PathToUtf8(out)};
        arguments.insert(arguments.end(), run.Options.begin(), run.Options.end());
        arguments.insert(arguments.end(), files.begin(), files.end());
        const TProgramResult result = Cli(arguments);
        EXPECT_EQ(result.ExitCode, 1);
        const auto json = JsonLines(result.Out);
        ASSERT_EQ(json.size(), files.size() + 1) << result.Out;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string outcome = run.Files[i].Outcome;
            SCOPED_TRACE(outcome);
            const auto& object = json[i];
            EXPECT_EQ(std::get<std::string>(object.at("Input")), files[i]);
            EXPECT_EQ(std::get<std::string>(object.at("Outcome")), outcome);
            EXPECT_EQ(std::get<std::string>(object.at("Reason")).empty(), outcome != "refused" && outcome != "failed");
            EXPECT_EQ(object.count("OutputSize"), outcome.find("written") != std::string::npos ? 1u : 0u);
            EXPECT_EQ(std::get<bool>(object.at("Verified")), run.Files[i].Hashed);
            ASSERT_EQ(object.count("OutputSha256"), run.Files[i].Hashed ? 1u : 0u);
            if (run.Files[i].Hashed) {
                const fs::path target = Utf8ToPath(std::get<std::string>(object.at("Target")));
                EXPECT_EQ(std::get<std::string>(object.at("OutputSha256")), Sha256Of(target));
                EXPECT_EQ(std::get<std::string>(object.at("InputSha256")), Sha256Of(Utf8ToPath(files[i])));
                EXPECT_EQ(std::get<std::int64_t>(object.at("OutputSize")), std::int64_t(fs::file_size(target)));
            }
        }
        const auto& summary = json.back();
        EXPECT_TRUE(std::get<bool>(summary.at("Summary")));
        EXPECT_EQ(std::get<std::int64_t>(summary.at("Files")), 4);
        EXPECT_EQ(std::get<std::int64_t>(summary.at("Refused")), 1);
        EXPECT_EQ(std::get<std::int64_t>(summary.at("Failed")), 1);
    }
}

TEST_F(ProofCli, ADryRunSaysWhatWouldHappenAndChangesNothing) {
    const fs::path in = Folder("in"), out = Folder("out");
    const fs::path fresh = Put(in / "fresh.tif", BuildImage(Image(1)).Build());
    const fs::path existing = Put(in / "existing.tif", BuildImage(Image(2)).Build());
    const fs::path broken = Put(in / "broken.tif", TBytes{'I', 'I', 42, 0});
    Put(out / "existing.tif", {'o', 'l', 'd'});
    Put(out / "SHA256SUMS", {'x'});
    const std::vector<std::string> files{PathToUtf8(fresh), PathToUtf8(existing), PathToUtf8(broken),
                                         PathToUtf8(fresh)};
    const auto before = Snapshot(FTemp.Path());

    const struct {
        std::vector<std::string> Options;
        std::vector<const char*> Outcomes;
    } runs[] = {
        // The file named twice is one entry of the run.
        {{}, {"written", "skipped", "refused"}},
        {{"--overwrite", "--verify", "--checksums"}, {"written", "overwritten", "refused"}},
    };
    for (const auto& run : runs) {
        for (const bool json : {false, true}) {
            std::vector<std::string> arguments{"invert", "--dry-run", "--out", PathToUtf8(out)};
            if (json)
                arguments.push_back("--json");
            arguments.insert(arguments.end(), run.Options.begin(), run.Options.end());
            arguments.insert(arguments.end(), files.begin(), files.end());
            const TProgramResult result = Cli(arguments);
            EXPECT_EQ(result.ExitCode, 1) << "a file would be refused";
            EXPECT_EQ(Snapshot(FTemp.Path()), before) << result.Out;
            if (!json) {
                const auto lines = Lines(result.Out);
                ASSERT_GE(lines.size(), 3u);
                EXPECT_EQ(Message(lines[0], 1, "fresh.tif"), "будет записан: " + PathToUtf8(out / "fresh.tif"));
                EXPECT_NE(Message(lines[2], 3, "broken.tif").find("Файл слишком мал для TIFF"), std::string::npos);
                continue;
            }
            const auto objects = JsonLines(result.Out);
            ASSERT_EQ(objects.size(), run.Outcomes.size() + 1);
            for (std::size_t i = 0; i < run.Outcomes.size(); ++i) {
                EXPECT_EQ(std::get<std::string>(objects[i].at("Outcome")), run.Outcomes[i]) << i;
                EXPECT_TRUE(std::get<bool>(objects[i].at("DryRun")));
            }
        }
    }
    const fs::path missing = FTemp / "not yet";
    EXPECT_EQ(Cli({"invert", "--dry-run", "--out", PathToUtf8(missing), PathToUtf8(fresh)}).ExitCode, 0);
    EXPECT_FALSE(fs::exists(missing));
}

} // namespace
} // namespace kvaderon::test
