#include "CliTestSupport.h"
#include "PathText.h"

#include <algorithm>

namespace kvaderon::test {
namespace {

namespace fs = std::filesystem;

class InvertCli : public TCliTest {
protected:
    // "f<N>.tif", built without "literal" + string, which GCC 12 warns about (-Wrestrict) in vain.
    static std::string NumberedName(int ANumber) {
        std::string name = "f";
        name += std::to_string(ANumber);
        name += ".tif";
        return name;
    }
};

TEST_F(InvertCli, TargetNamesFollowTheFolderOfEachSource) {
    const TImageLayout layout = Image(1);
    const struct {
        std::vector<std::string> Options;
        bool InOutputFolder;
        const char* Input;
        const char* Target;
    } cases[] = {
        {{}, false, "scan01.tif", "scan01.tif"},
        {{}, false, "scan01.TIFF", "scan01.TIFF"},
        {{}, true, "scan01.tif", "! scan01.tif"},
        {{}, true, "a.b.tiff", "! a.b.tif"},
        {{"--postfix", "_pos"}, true, "scan01.TIFF", "! scan01_pos.tif"},
        {{"--prefix=", "--postfix=_pos"}, true, "scan01", "scan01_pos.tif"},
        {{"--prefix", "позитив "}, true, "скан.tif", "позитив скан.tif"},
    };
    for (const auto& c : cases) {
        TTempDir temp;
        const fs::path output = temp / "out";
        fs::create_directories(output);
        fs::create_directories(temp / "in");
        const fs::path input =
            Put((c.InOutputFolder ? output : temp / "in") / Utf8ToPath(c.Input), BuildImage(layout).Build());
        std::vector<std::string> arguments{"invert", "--out", PathToUtf8(temp / "in" / ".." / "out") + "/"};
        arguments.insert(arguments.end(), c.Options.begin(), c.Options.end());
        arguments.push_back(PathToUtf8(input));

        const TProgramResult run = Cli(arguments);
        EXPECT_EQ(run.ExitCode, 0) << c.Input << run.Err;
        const auto lines = Lines(run.Out);
        ASSERT_FALSE(lines.empty()) << c.Input;
        EXPECT_EQ(Message(lines[0], 1, c.Target), "ОК!");
        EXPECT_EQ(ReadFile(output / Utf8ToPath(c.Target)), Positive(layout)) << c.Target;
        EXPECT_EQ(ReadFile(input), BuildImage(layout).Build()) << c.Input;
    }
}

TEST_F(InvertCli, ExistingTargetIsSkippedOrWithOverwriteReplaced) {
    const fs::path input = Put(Folder("in") / "scan.tif", BuildImage(Image(1)).Build());
    const fs::path target = Put(Folder("out") / "scan.tif", TBytes{'o', 'l', 'd'});

    TProgramResult run = Cli({"invert", "--out", (FTemp / "out").string(), input.string()});
    EXPECT_EQ(run.ExitCode, 0);
    auto lines = Lines(run.Out);
    EXPECT_EQ(Message(lines.at(0), 1, "scan.tif"), "Пропущен: файл назначения уже существует");
    EXPECT_EQ(lines.back().rfind("Готово: обработано 0, пропущен 1 за ", 0), 0u) << lines.back();
    EXPECT_EQ(ReadFile(target), (TBytes{'o', 'l', 'd'}));

    run = Cli({"invert", "--overwrite", "--out", (FTemp / "out").string(), input.string()});
    EXPECT_EQ(run.ExitCode, 0);
    lines = Lines(run.Out);
    EXPECT_EQ(Message(lines.at(0), 1, "scan.tif"), "OK! (режим «перезаписать все»)");
    EXPECT_EQ(lines.at(1), "");
    EXPECT_EQ(ReadFile(target), Positive(Image(1)));
    EXPECT_EQ(lines.at(2), "ОБРАБОТКА УСПЕШНО ЗАВЕРШЕНА!");
    EXPECT_EQ(lines.at(5), "✓ Обработано:     1 файл");
}

// Strips that share bytes without being one block.
TBytes OverlappingStrips() {
    TTiffBuilder builder = BuildImage(TImageLayout{});
    builder.Set(tagStripOffsets, dtLong, {8, 10});
    builder.Set(tagStripByteCounts, dtLong, {8, 8});
    return builder.Build();
}

TEST_F(InvertCli, RefusedFilesAmongGoodOnesFailAloneAndLeaveNoOutput) {
    const fs::path in = Folder("in");
    const TBytes broken = {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0};
    std::string longName; // 236 bytes and ".tif": a valid name that a longer temporary name would not be
    while (longName.size() < 236)
        longName += "ё";
    longName += ".tif";
    const std::vector<std::string> inputs{
        Put(in / "first.tif", BuildImage(Image(1)).Build()).string(),
        Put(in / "broken.tif", broken).string(),
        (in / "missing.tif").string(),
        Put(in / "overlap.tif", OverlappingStrips()).string(),
        Put(in / Utf8ToPath(longName), BuildImage(Image(3)).Build()).string(),
    };
    std::vector<std::string> arguments{"invert", "--jobs", "3", "--out", (FTemp / "new" / "out").string()};
    arguments.insert(arguments.end(), inputs.begin(), inputs.end());

    const TProgramResult run = Cli(arguments);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, "");
    const auto lines = Lines(run.Out);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(Message(lines[0], 1, "first.tif"), "ОК!");
    EXPECT_EQ(Message(lines[1], 2, "broken.tif").rfind("Системная ошибка при обработке " + inputs[1] + ": ", 0), 0u)
        << lines[1];
    EXPECT_EQ(Message(lines[2], 3, "missing.tif"),
              "Системная ошибка при обработке " + inputs[2] + ": Файл не существует: " + inputs[2]);
    EXPECT_EQ(Message(lines[3], 4, "overlap.tif"),
              "Системная ошибка при обработке " + inputs[3] + ": Полосы изображения перекрываются (файл повреждён)");
    EXPECT_EQ(Message(lines[4], 5, longName), "ОК!");
    EXPECT_EQ(lines.at(6), "ОБРАБОТКА ЗАВЕРШЕНА С ОШИБКАМИ");
    EXPECT_EQ(lines.at(11), "✗ С ошибками:     3 файла");
    EXPECT_EQ(lines.back().rfind("Готово: обработаны 2, пропущено 0, ошибок 3 за ", 0), 0u) << lines.back();

    std::vector<std::string> names; // the two good copies and nothing else
    for (const auto& entry : fs::directory_iterator(FTemp / "new" / "out"))
        names.push_back(PathToUtf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"first.tif", longName}));
    EXPECT_EQ(ReadFile(inputs[1]), broken);
}

TEST_F(InvertCli, LinesKeepListOrderWithSeveralJobs) {
    // Larger files first, so that later files tend to finish earlier.
    const fs::path in = Folder("in");
    std::vector<std::string> arguments{"invert", "--jobs", "4", "--out", Folder("out").string()};
    const int count = 16;
    for (int i = 0; i < count; ++i)
        arguments.push_back(
            Put(in / NumberedName(i), BuildImage(Image(std::uint16_t(i), 4000 - 240 * i)).Build()).string());

    const TProgramResult run = Cli(arguments);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const auto lines = Lines(run.Out);
    ASSERT_GT(lines.size(), std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const std::string name = NumberedName(i);
        EXPECT_EQ(Message(lines[std::size_t(i)], i + 1, name), "ОК!");
        EXPECT_EQ(ReadFile(FTemp / "out" / name), Positive(Image(std::uint16_t(i), 4000 - 240 * i))) << name;
    }
}

// Two inputs with one target: neither is written, skipped or overwritten; each is refused naming
// the other, whatever the number of threads and with or without --overwrite.
TEST_F(InvertCli, FilesSharingATargetAreBothRefused) {
    const fs::path first = Put(Folder("a") / "x.tif", BuildImage(Image(1)).Build());
    const fs::path second = Put(Folder("b") / "x.tif", BuildImage(Image(2)).Build());
    const std::string output = (FTemp / "out").string();

    for (const bool overwrite : {false, true}) {
        std::vector<std::string> arguments{"invert", "--jobs", "2", "--out", output, first.string(), second.string()};
        if (overwrite)
            arguments.push_back("--overwrite");
        const TProgramResult run = Cli(arguments);
        EXPECT_EQ(run.ExitCode, 1);
        const auto lines = Lines(run.Out);
        EXPECT_EQ(Message(lines.at(0), 1, "x.tif"), "Цель совпадает с другим файлом этого запуска: " + second.string());
        EXPECT_EQ(Message(lines.at(1), 2, "x.tif"), "Цель совпадает с другим файлом этого запуска: " + first.string());
        EXPECT_FALSE(fs::exists(FTemp / "out" / "x.tif"));
    }
}

// A target that is the input itself (its own name with an empty prefix, or a hard link to it in
// the destination) is never taken for an existing target: no skip, no overwrite line, only the
// refusal, with or without --overwrite.
TEST_F(InvertCli, FileNeverOverwritesItself) {
    const fs::path output = Folder("out");
    const TBytes original = BuildImage(Image(1)).Build();
    const fs::path own = Put(output / "x.tif", original);
    const fs::path linked = Put(Folder("in") / "y.tif", original);
    fs::create_hard_link(linked, output / "y.tif");

    for (const bool overwrite : {false, true}) {
        SCOPED_TRACE(overwrite);
        std::vector<std::string> arguments{"invert", "--prefix", "", "--out", output.string()};
        if (overwrite)
            arguments.push_back("--overwrite");
        arguments.insert(arguments.end(), {own.string(), linked.string()});
        const TProgramResult run = Cli(arguments);
        EXPECT_EQ(run.ExitCode, 1);
        const auto lines = Lines(run.Out);
        ASSERT_GE(lines.size(), 2u) << run.Out;
        const std::pair<int, const char*> refused[] = {{1, "x.tif"}, {2, "y.tif"}};
        for (const auto& [number, name] : refused)
            EXPECT_NE(Message(lines.at(std::size_t(number - 1)), number, name)
                          .find("Входной и выходной пути указывают на один и тот же файл"),
                      std::string::npos)
                << lines.at(std::size_t(number - 1));
        EXPECT_EQ(lines.at(2), "") << "one line per file";
        EXPECT_EQ(ReadFile(own), original);
        EXPECT_EQ(ReadFile(linked), original);
        EXPECT_EQ(std::distance(fs::directory_iterator(output), fs::directory_iterator()), 2);
    }
}

TEST_F(InvertCli, UnusableDestinationEndsTheRunBeforeAnyFile) {
    const fs::path input = Put(Folder("in") / "x.tif", BuildImage(Image(1)).Build());
    const fs::path notAFolder = Put(FTemp / "file", TBytes{1});
    const TProgramResult run = Cli({"invert", "--out", (notAFolder / "sub").string(), input.string()});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err.rfind("Неверная папка для сохранения\n", 0), 0u) << run.Err;
}

TEST_F(InvertCli, ColoursOnlyWhenAsked) {
    const fs::path input = Put(Folder("in") / "x.tif", BuildImage(Image(1)).Build());
    const std::string output = (FTemp / "out").string();
    const TProgramResult plain = Cli({"invert", "--out", output, input.string()});
    const TProgramResult colored = Cli({"invert", "--overwrite", "--color", "always", "--out", output, input.string()});
    const TProgramResult never = Cli({"invert", "--overwrite", "--color=never", "--out", output, input.string()});
    EXPECT_EQ(plain.Out.find('\x1b'), std::string::npos);
    EXPECT_EQ(never.Out.find('\x1b'), std::string::npos);
    const std::string firstColored = Lines(colored.Out).at(0);
    EXPECT_NE(firstColored.find("\x1b[1;32mOK! (режим «перезаписать все»)\x1b[0m"), std::string::npos) << firstColored;
    const auto withoutTime = [](const std::string& ALine) {
        return std::regex_replace(ALine, std::regex("\\d\\d:\\d\\d:\\d\\d"), "");
    };
    EXPECT_EQ(withoutTime(std::regex_replace(firstColored, std::regex("\x1b\\[[0-9;]*m"), "")),
              withoutTime(Lines(never.Out).at(0)));
}

// The option inverts the thumbnail in IFD 1 and nothing else beyond the default output; a JPEG
// thumbnail stays, and the outcome line says so.
TEST_F(InvertCli, InvertPreviewsTurnsTheThumbnailPositive) {
    const fs::path in = Folder("in");
    TTiffBuilder plain = BuildImage(Image(1));
    const auto thumbnail = ThumbnailEntries(plain, 8, 3);
    plain.SecondIFD(thumbnail);
    TTiffBuilder jpeg = BuildImage(Image(2));
    jpeg.SecondIFD(ThumbnailEntries(jpeg, 8, 3, 7));
    const fs::path withThumbnail = Put(in / "thumb.tif", plain.Build());
    const fs::path withJpeg = Put(in / "jpeg.tif", jpeg.Build());

    const TProgramResult standard = Cli({"invert", "--out", PathToUtf8(Folder("standard")), PathToUtf8(withThumbnail)});
    ASSERT_EQ(standard.ExitCode, 0) << standard.Err;
    const TProgramResult run = Cli({"invert", "--invert-previews", "--out", PathToUtf8(Folder("previews")),
                                    PathToUtf8(withThumbnail), PathToUtf8(withJpeg)});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;

    TBytes expected = ReadFile(Folder("standard") / "thumb.tif");
    const std::uint32_t at = thumbnail[6].Values.front();
    for (std::uint32_t i = 0; i < thumbnail[8].Values.front(); ++i)
        expected[at + i] ^= 0xFF;
    EXPECT_EQ(ReadFile(Folder("previews") / "thumb.tif"), expected);
    const auto lines = Lines(run.Out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(Message(lines[0], 1, "thumb.tif"), "ОК!");
    EXPECT_EQ(Message(lines[1], 2, "jpeg.tif"), "ОК! (миниатюра IFD 1 не инвертирована: сжата (JPEG))");
}

} // namespace
} // namespace kvaderon::test
