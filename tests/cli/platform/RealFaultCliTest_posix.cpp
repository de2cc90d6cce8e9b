// kvaderon-cli on real faults that need no privileges: inputs that are no TIFF file or vanish
// during the run, a destination that is a file, and a full file system (a small tmpfs in a
// private mount namespace, where the system allows one).
#include "CliTestSupport.h"
#include "PathText.h"
#include "PosixProgram.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class RealFaultCli : public TCliTest {
protected:
    static std::vector<std::string> Names(const fs::path& AFolder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(AFolder))
            names.push_back(PathToUtf8(entry.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string Failure(const std::string& AInput, const std::string& AReason) {
        return "Системная ошибка при обработке " + AInput + ": " + AReason;
    }
};

TEST_F(RealFaultCli, InputsThatAreNoTiffFileEachGetTheirReason) {
    const fs::path in = Folder("in");
    // The strip moved behind the tags, as scanners write it, and cut in its middle.
    TTiffBuilder builder = BuildImage(Image(2, 64));
    const TBytes whole = builder.Build();
    builder.Set(tagStripOffsets, dtLong, {std::uint32_t(whole.size())});
    TBytes truncated = builder.Build();
    truncated.insert(truncated.end(), whole.begin() + 8, whole.begin() + 8 + 256);
    // A folder, whatever its name, stands for the TIFF files in it.
    fs::create_directory(in / "folder.tif");
    Put(in / "folder.tif" / "inner.tif", BuildImage(Image(3)).Build());
    const std::vector<std::string> inputs{
        Put(in / "good.tif", BuildImage(Image(1)).Build()).string(),
        (in / "folder.tif").string(),
        Put(in / "empty.tif", {}).string(),
        Put(in / "truncated.tif", truncated).string(),
    };
    std::vector<std::string> arguments{"invert", "--out", (FTemp / "out").string()};
    arguments.insert(arguments.end(), inputs.begin(), inputs.end());

    const TProgramResult run = Cli(arguments);
    EXPECT_EQ(run.ExitCode, 1);
    const auto lines = Lines(run.Out);
    ASSERT_GE(lines.size(), 4u) << run.Out;
    EXPECT_EQ(Message(lines[0], 1, "good.tif"), "ОК!");
    EXPECT_EQ(Message(lines[1], 2, "inner.tif"), "ОК!");
    EXPECT_EQ(Message(lines[2], 3, "empty.tif"), Failure(inputs[2], "Файл слишком мал для TIFF"));
    EXPECT_EQ(Message(lines[3], 4, "truncated.tif"),
              Failure(inputs[3], "Полоса изображения выходит за конец файла (файл обрезан или повреждён)"));
    EXPECT_EQ(lines.back().rfind("Готово: обработаны 2, пропущено 0, ошибок 2 за ", 0), 0u) << lines.back();
    EXPECT_EQ(Names(FTemp / "out"), (std::vector<std::string>{"folder.tif", "good.tif"}));
    EXPECT_EQ(ReadFile(FTemp / "out" / "folder.tif" / "inner.tif"), Positive(Image(3)));
    EXPECT_EQ(ReadFile(FTemp / "out" / "good.tif"), Positive(Image(1)));
    EXPECT_EQ(ReadFile(inputs[3]), truncated);
}

TEST_F(RealFaultCli, ADestinationThatIsAFileIsRefusedBeforeAnyInput) {
    const fs::path input = Put(Folder("in") / "scan.tif", BuildImage(Image(1)).Build());
    const fs::path destination = Put(FTemp / "destination", {'x'});
    const TProgramResult run = Cli({"invert", "--out", destination.string(), input.string()});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err.rfind("Неверная папка для сохранения\n", 0), 0u) << run.Err;
    EXPECT_EQ(ReadFile(destination), TBytes{'x'});
    EXPECT_EQ(Names(FTemp / "in"), std::vector<std::string>{"scan.tif"});
}

TEST_F(RealFaultCli, AnInputRemovedDuringTheRunIsReportedAndTheOthersGoOn) {
    TImageLayout large = Image(3, 1024);
    large.Width = 1024;
    large.Samples.assign(SampleCount(large), 0x1234);
    const fs::path in = Folder("in");
    const fs::path out = Folder("out");
    std::vector<std::string> arguments{"invert", "--jobs", "1", "--out", out.string()};
    for (int i = 0; i < 6; ++i)
        arguments.push_back(Put(in / ("large" + std::to_string(i) + ".tif"), BuildImage(large).Build()).string());
    const fs::path last = Put(in / "last.tif", BuildImage(Image(1)).Build());
    arguments.push_back(last.string());

    const int output = ::open((FScratch / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t child = StartProgram(KVADERON_CLI_PROGRAM, arguments, output, FScratch / "err");
    ::close(output);
    int status = 0;
    bool ended = false;
    while (fs::is_empty(out) && !(ended = waitpid(child, &status, WNOHANG) == child)) // the first file in work
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_FALSE(ended) << "the run ended before a file was in work";
    fs::remove(last);
    EXPECT_EQ(WaitForProgram(child), 1);

    const TBytes printed = ReadFile(FScratch / "out");
    const auto lines = Lines(std::string(printed.begin(), printed.end()));
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(Message(lines[6], 7, "last.tif"), Failure(last.string(), "Файл не существует: " + last.string()));
    EXPECT_EQ(Names(out).size(), 6u);
    EXPECT_EQ(ReadFile(out / "large5.tif"), Positive(large));
}

// Runs the program in a private mount namespace with a tmpfs of AKilobytes mounted on AFolder, and
// copies what the run left there into ACopy. Exit status 99: no such namespace or mount is allowed
// here, and Err says why.
TProgramResult RunOnSmallFileSystem(const fs::path& AFolder, int AKilobytes, const fs::path& ACopy,
                                    std::vector<std::string> AArguments, const fs::path& AScratch) {
    // A refused unshare(1) ends with status 1, as the program does on a failed file: so it is
    // asked first with nothing to run.
    const TProgramResult probe = RunProgram("/usr/bin/unshare", {"-rm", "true"}, AScratch);
    if (probe.ExitCode != 0)
        return {99, "", "unshare(1) refused, status " + std::to_string(probe.ExitCode) + ": " + probe.Err};
    std::vector<std::string> arguments{
        "-rm",
        "sh",
        "-c",
        "mount -t tmpfs -o size=\"$1\"k tmpfs \"$2\" || exit 99; folder=$2; copy=$3; shift 3; "
        "\"$@\"; status=$?; cp -a \"$folder\"/. \"$copy\"/; exit $status",
        "sh",
        std::to_string(AKilobytes),
        AFolder.string(),
        ACopy.string(),
        KVADERON_CLI_PROGRAM};
    arguments.insert(arguments.end(), AArguments.begin(), AArguments.end());
    return RunProgram("/usr/bin/unshare", arguments, AScratch);
}

TEST_F(RealFaultCli, AFullFileSystemFailsTheFileThatDoesNotFitAndNothingElse) {
    if (!fs::exists("/usr/bin/unshare"))
        GTEST_SKIP() << "no unshare(1): a full file system cannot be made without privileges here";
    TImageLayout large = Image(4, 512);
    large.Width = 512;
    large.Samples.assign(SampleCount(large), 0x4321); // 512 KiB
    const fs::path in = Folder("in");
    const fs::path out = Folder("out");
    const fs::path after = Folder("after");
    const std::vector<std::string> inputs{
        Put(in / "small1.tif", BuildImage(Image(1)).Build()).string(),
        Put(in / "large.tif", BuildImage(large).Build()).string(),
        Put(in / "small2.tif", BuildImage(Image(2)).Build()).string(),
    };
    std::vector<std::string> arguments{"invert", "--jobs", "1", "--out", out.string()};
    arguments.insert(arguments.end(), inputs.begin(), inputs.end());

    const TProgramResult run = RunOnSmallFileSystem(out, 256, after, arguments, FScratch.Path());
    if (run.ExitCode == 99)
        GTEST_SKIP() << "this system allows no private mount namespace with a tmpfs: " << run.Err;
    EXPECT_EQ(run.ExitCode, 3) << "a full disk is the only failure: a retry may mend it\n" << run.Err;
    const auto lines = Lines(run.Out);
    ASSERT_GE(lines.size(), 3u) << run.Out << run.Err;
    EXPECT_EQ(Message(lines[0], 1, "small1.tif"), "ОК!");
    EXPECT_EQ(Message(lines[1], 2, "large.tif"),
              Failure(inputs[1],
                      "Не удалось записать файл " + PathToUtf8(out / "large.tif") + ": Недостаточно места на диске"));
    EXPECT_EQ(Message(lines[2], 3, "small2.tif"), "ОК!") << "the space of the failed file was given back";
    EXPECT_EQ(Names(after), (std::vector<std::string>{"small1.tif", "small2.tif"}));
    EXPECT_EQ(ReadFile(after / "small2.tif"), Positive(Image(2)));
    EXPECT_EQ(ReadFile(inputs[1]), BuildImage(large).Build());
}

} // namespace
} // namespace kvaderon::test
