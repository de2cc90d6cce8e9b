#include "CliTestSupport.h"

#include "HostileNames.h"
#include "TargetPath.h"
#include "VersionText.h"

namespace kvaderon::test {
namespace {

using UsageCli = TCliTest;

TEST_F(UsageCli, WrongCommandLinesEndWithStatusTwoAndTheReason) {
    const struct {
        std::vector<std::string> Arguments;
        const char* Reason;
    } cases[] = {
        {{}, "Не указана команда"},
        {{"convert", "a.tif"}, "Неизвестная команда: convert"},
        {{"invert", "a.tif"}, "Не указана папка для сохранения (--out)"},
        {{"invert", "--out", "", "a.tif"}, "Не указана папка для сохранения (--out)"},
        {{"invert", "--out", "dir"}, "Сначала выберите файлы"},
        {{"invert", "--out", "dir", "--jobs", "0", "a.tif"}, "Неверное значение параметра --jobs: 0"},
        {{"invert", "--out", "dir", "--jobs=2x", "a.tif"}, "Неверное значение параметра --jobs: 2x"},
        {{"invert", "--out", "dir", "--color", "sometimes", "a.tif"}, "Неверное значение параметра --color: sometimes"},
        {{"invert", "--out", "dir", "--depth-only", "a.tif"}, "Неизвестный параметр: --depth-only"},
        {{"invert", "--out", "dir", "--dry-run=no", "a.tif"}, "Параметр --dry-run не принимает значения"},
        {{"verify", "a.tif"}, "Укажите негатив и его позитив или папку с позитивами (--out)"},
        {{"verify", "a.tif", "b.tif", "c.tif"}, "Укажите негатив и его позитив или папку с позитивами (--out)"},
        {{"verify", "--out=", "a.tif"}, "Не указана папка с позитивами (--out)"},
        {{"verify", "--overwrite", "a.tif", "b.tif"}, "Неизвестный параметр: --overwrite"},
        {{"verify", "--jobs", "2", "a.tif", "b.tif"}, "Неизвестный параметр: --jobs"},
        {{"analyze", "--verify", "a.tif"}, "Неизвестный параметр: --verify"},
        {{"invert", "--out", "dir", "--overwrite=yes", "a.tif"}, "Параметр --overwrite не принимает значения"},
        {{"invert", "a.tif", "--out"}, "Не указано значение параметра --out"},
        {{"analyze", "--out", "dir", "a.tif"}, "Неизвестный параметр: --out"},
        {{"analyze", "-x", "a.tif"}, "Неизвестный параметр: -x"},
        {{"analyze"}, "Сначала выберите файлы"},
    };
    for (const auto& c : cases) {
        const TProgramResult run = Cli(c.Arguments);
        EXPECT_EQ(run.ExitCode, 2) << c.Reason;
        EXPECT_EQ(run.Out, "") << c.Reason;
        EXPECT_EQ(run.Err.rfind(std::string(c.Reason) + "\n", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find("kvaderon-cli invert --out ПАПКА"), std::string::npos) << c.Reason;
    }
}

TEST_F(UsageCli, APrefixOrPostfixThatIsNoNamePartEndsWithStatusTwo) {
    for (const std::string& part : HostileNameParts) {
        if (part.find('\0') != std::string::npos)
            continue; // a command line cannot carry it
        for (const std::string option : {"--prefix", "--postfix"}) {
            SCOPED_TRACE(option + " " + part);
            const auto input = Put(Folder("in") / "scan.tif", BuildImage(Image(1)).Build());
            const TProgramResult run = Cli({"invert", "--out", (FTemp / "in").string(), option, part, input.string()});
            EXPECT_EQ(run.ExitCode, 2);
            EXPECT_EQ(run.Err.rfind("Неверное значение параметра " + option + ": " + NamePartRule + "\n", 0), 0u)
                << run.Err;
            EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(FTemp.Path()),
                                    std::filesystem::recursive_directory_iterator()),
                      2)
                << "nothing written anywhere";
        }
    }
}

TEST_F(UsageCli, HelpAndVersion) {
    for (const auto& arguments : {std::vector<std::string>{"--help"}, {"invert", "--out", "dir", "--help"}}) {
        const TProgramResult help = Cli(arguments);
        EXPECT_EQ(help.ExitCode, 0);
        EXPECT_NE(help.Out.find("kvaderon-cli analyze [--json]"), std::string::npos);
        EXPECT_EQ(help.Err, "");
    }
    const TProgramResult version = Cli({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, "kvaderon-cli v." + FormatVersionText(KVADERON_VERSION) + "\n");
    EXPECT_NE(version.Out.find("(сборка "), std::string::npos);
}

TEST_F(UsageCli, DoubleDashEndsTheOptions) {
    const auto input = Put(Folder("in") / "--odd.tif", BuildImage(Image(1)).Build());
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(FTemp / "in");
    const TProgramResult run = Cli({"invert", "--out", (FTemp / "out").string(), "--", "--odd.tif"});
    std::filesystem::current_path(previous);
    EXPECT_EQ(run.ExitCode, 0) << run.Out << run.Err;
    EXPECT_TRUE(std::filesystem::exists(FTemp / "out" / "--odd.tif"));
}

} // namespace
} // namespace kvaderon::test
