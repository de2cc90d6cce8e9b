// kvaderon-cli under signals and failing standard output (POSIX signals, /dev/full, pipes).
#include "CliTestSupport.h"
#include "PosixProgram.h"

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

pid_t Start(const std::vector<std::string>& AArguments, int AOutput, const fs::path& AErrFile) {
    return StartProgram(KVADERON_CLI_PROGRAM, AArguments, AOutput, AErrFile);
}

std::vector<std::string> TempFiles(const fs::path& AFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(AFolder, error))
        if (entry.path().filename().string().rfind(".kvaderon-", 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

std::size_t FileCount(const fs::path& AFolder) {
    std::error_code error;
    return std::size_t(std::distance(fs::directory_iterator(AFolder, error), fs::directory_iterator()));
}

class FaultCli : public TCliTest {
protected:
    // AFiles names of one 4 MiB negative, as hard links.
    std::vector<std::string> Inputs(int AFiles) {
        TImageLayout layout;
        layout.Width = 1024;
        layout.Height = 2048;
        layout.Samples.assign(SampleCount(layout), 0x1234);
        const fs::path first = Put(Folder("in") / "scan00.tif", BuildImage(layout).Build());
        std::vector<std::string> inputs{first.string()};
        for (int i = 1; i < AFiles; ++i) {
            const fs::path link = FTemp / "in" / ("scan" + std::to_string(100 + i) + ".tif");
            fs::create_hard_link(first, link);
            inputs.push_back(link.string());
        }
        return inputs;
    }

    std::string ErrText() const { return ReadText(FScratch / "err"); }

    static std::string ReadText(const fs::path& APath) {
        const TBytes bytes = ReadFile(APath);
        return std::string(bytes.begin(), bytes.end());
    }
};

TEST_F(FaultCli, SignalsEndTheRunWithoutTemporaryFiles) {
    const std::vector<std::string> inputs = Inputs(40);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const fs::path out = FTemp / ("out" + std::to_string(signal));
        std::vector<std::string> arguments{"invert", "--jobs", "2", "--out", out.string()};
        arguments.insert(arguments.end(), inputs.begin(), inputs.end());
        const int devNull = ::open("/dev/null", O_WRONLY);
        const pid_t child = Start(arguments, devNull, FScratch / "err");
        ::close(devNull);

        // Waits for a file in the middle of its inversion.
        int status = 0;
        bool ended = false;
        while (TempFiles(out).empty() && !(ended = waitpid(child, &status, WNOHANG) == child))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_FALSE(ended) << "the run ended before a file was in work";
        ASSERT_EQ(::kill(child, signal), 0);
        EXPECT_EQ(WaitForProgram(child), 128 + signal);
        EXPECT_EQ(TempFiles(out), std::vector<std::string>{});
        EXPECT_LT(FileCount(out), inputs.size());
    }
}

TEST_F(FaultCli, AFailedWriteToStandardOutputEndsTheRun) {
    const std::vector<std::string> inputs = Inputs(6);
    const std::string full = "kvaderon-cli: ошибка записи в стандартный вывод: Недостаточно места на диске\n";
    const std::string closed =
        "kvaderon-cli: ошибка записи в стандартный вывод: Обрыв канала: читающая сторона закрыта\n";
    struct TCase {
        const char* Name;
        std::vector<std::string> Arguments;
        bool ClosedPipe;
        std::string Err;
    };
    const fs::path out = FTemp / "out";
    std::vector<std::string> invert{"invert", "--jobs", "1", "--out", out.string()};
    invert.insert(invert.end(), inputs.begin(), inputs.end());
    const std::vector<TCase> cases = {
        {"invert into a full disk", invert, false, full},
        {"invert into a closed pipe", invert, true, closed},
        {"analyze --json into a full disk", {"analyze", "--json", inputs[0], inputs[1]}, false, full},
        {"analyze into a closed pipe", {"analyze", inputs[0], inputs[1]}, true, closed},
        {"help into a full disk", {"--help"}, false, full},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(out);
        int pipeEnds[2] = {-1, -1};
        int output = -1;
        if (c.ClosedPipe) {
            ASSERT_EQ(::pipe(pipeEnds), 0);
            ::close(pipeEnds[0]);
            output = pipeEnds[1];
        } else {
            output = ::open("/dev/full", O_WRONLY);
        }
        const pid_t child = Start(c.Arguments, output, FScratch / "err");
        ::close(output);
        EXPECT_EQ(WaitForProgram(child), 1);
        // An inversion that stopped early tells how many files it never started (a second may
        // have been started before the failed write was seen).
        const std::string stopped =
            c.Arguments[0] == "invert" ? "Обработка прервана: не обработано (4 файла|5 файлов)\n" : "";
        EXPECT_TRUE(std::regex_match(ErrText(), std::regex(c.Err + stopped))) << ErrText();
        EXPECT_EQ(TempFiles(out), std::vector<std::string>{});
        EXPECT_LE(FileCount(out), 2u) << "files were started after the failed write";
    }
}

// With standard input and output closed, the descriptors the positives are written through
// would take their numbers; the null device takes them first, so every positive is exact.
TEST_F(FaultCli, ClosedStandardStreamsNeverReachAPositive) {
    std::vector<std::string> arguments{"invert", "--jobs", "2", "--out", (FTemp / "out").string()};
    std::vector<TBytes> positives;
    for (std::uint16_t seed = 0; seed < 12; ++seed) {
        TImageLayout layout = Image(seed, 64);
        const fs::path input = Put(Folder("in") / ("scan" + std::to_string(seed) + ".tif"), BuildImage(layout).Build());
        arguments.push_back(input.string());
        positives.push_back(Positive(layout));
    }
    EXPECT_EQ(WaitForProgram(Start(arguments, -1, FScratch / "err")), 0) << ErrText();
    EXPECT_EQ(ErrText(), "");
    for (std::size_t i = 0; i < positives.size(); ++i)
        EXPECT_EQ(ReadFile(FTemp / "out" / ("scan" + std::to_string(i) + ".tif")), positives[i]) << i;
}

// Names with terminal controls are shown escaped; JSON escapes them as JSON does and keeps the
// bytes of a name that is not UTF-8.
TEST_F(FaultCli, NamesCannotControlTheTerminal) {
    const std::string retitle = "\x1b]0;pwned\x07";
    const std::string clear = "\x1b[2J";
    const fs::path input = Put(Folder("in") / (retitle + clear + "\x9b.tif"), BuildImage(Image(3)).Build());
    const std::string shown = "\\x1b]0;pwned\\x07\\x1b[2J\\x9b.tif";
    for (const std::string color : {"never", "always"}) {
        SCOPED_TRACE(color);
        const TProgramResult inverted =
            Cli({"invert", "--color", color, "--out", (FTemp / "out").string(), input.string()});
        EXPECT_EQ(inverted.ExitCode, 0) << inverted.Err;
        const TProgramResult analysed = Cli({"analyze", "--color", color, input.string()});
        EXPECT_EQ(analysed.ExitCode, 0) << analysed.Err;
        for (const std::string& text : {inverted.Out, analysed.Out}) {
            EXPECT_NE(text.find(shown), std::string::npos) << text;
            EXPECT_EQ(text.find(retitle), std::string::npos);
            EXPECT_EQ(text.find(clear), std::string::npos);
            EXPECT_EQ(text.find('\x07'), std::string::npos);
        }
        fs::remove_all(FTemp / "out");
    }
    const TProgramResult json = Cli({"analyze", "--json", input.string()});
    EXPECT_EQ(json.ExitCode, 0) << json.Err;
    EXPECT_NE(json.Out.find("\\u001b]0;pwned\\u0007\\u001b[2J\xEF\xBF\xBD.tif\",\"FileBytes\":\""), std::string::npos)
        << json.Out;
    std::string hex;
    for (const char c : input.string()) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", unsigned(static_cast<unsigned char>(c)));
        hex += digits;
    }
    EXPECT_NE(json.Out.find("\"FileBytes\":\"" + hex + "\""), std::string::npos) << json.Out;
}

// An input with setuid, setgid and sticky bits under umask 077 gives a positive of the owner's
// bits only.
TEST_F(FaultCli, PositivesNeverCarrySpecialBitsAndFollowTheUmask) {
    const fs::path input = Put(Folder("in") / "scan.tif", BuildImage(Image(4)).Build());
    ASSERT_EQ(::chmod(input.c_str(), 06777), 0);
    const mode_t previous = ::umask(077);
    const TProgramResult run = Cli({"invert", "--out", (FTemp / "out").string(), input.string()});
    ::umask(previous);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    struct stat info {};
    ASSERT_EQ(::stat((FTemp / "out" / "scan.tif").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
}

} // namespace
} // namespace kvaderon::test
