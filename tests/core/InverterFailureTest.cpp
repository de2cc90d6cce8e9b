#include "InverterTestSupport.h"
#include "NonRegularFiles.h"
#include "PathText.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

using namespace test;
namespace fs = std::filesystem;

TBytes GoodFile() {
    TImageLayout layout;
    layout.SamplesPerPixel = 3;
    layout.Photometric = 2;
    return BuildImage(layout).Build();
}

std::string FailureOf(const fs::path& AInput, const fs::path& AOutput) {
    try {
        TTIFFInverterSingle().InvertTIFF16Bit(AInput, AOutput, true);
    } catch (const ETIFFError& error) {
        return error.what();
    }
    return "<succeeded>";
}

std::string Wrapped(const fs::path& AInput, const std::string& AReason) {
    return "Системная ошибка при обработке " + PathToUtf8(AInput) + ": " + AReason;
}

struct TFailureCase {
    const char* Name;
    TBytes Input;
    std::string Reason; // the text after the file name; a prefix when it ends with "*"
};

TEST(InvertTIFF16Bit, FailureLeavesNoOutputAndTheEarlierTargetAndInputIntact) {
    TImageLayout planar;
    planar.SamplesPerPixel = 3;
    planar.Planar = 2;
    planar.StripsPerPlane = 1;
    TTiffBuilder sevenStrips = BuildImage(planar);
    sevenStrips.Set(tagStripOffsets, dtLong, {8, 8, 8, 8, 8, 8, 8});
    sevenStrips.Set(tagStripByteCounts, dtLong, {2, 2, 2, 2, 2, 2, 2});
    TTiffBuilder planarZero = BuildImage(planar);
    planarZero.Set(tagSamplesPerPixel, dtShort, {0});
    TTiffBuilder chunkyZero = BuildImage(TImageLayout{});
    chunkyZero.Set(tagSamplesPerPixel, dtShort, {0});
    TTiffBuilder eightBit = BuildImage(TImageLayout{});
    eightBit.Set(tagBitsPerSample, dtShort, {8});

    const std::vector<TFailureCase> cases = {
        {"refused structure", eightBit.Build(), "Поддерживается только 16-битный TIFF. Получено 8 бит на сэмпл"},
        {"planar strips not a multiple", sevenStrips.Build(),
         "Некорректная структура planar TIFF: StripCount не кратен SamplesPerPixel"},
        {"planar, no samples per pixel", planarZero.Build(),
         "Некорректное значение SamplesPerPixel = 0 (деление на ноль)"},
        {"interleaved, no samples per pixel", chunkyZero.Build(),
         "Некорректное значение SamplesPerPixel = 0 (деление на ноль)"},
        {"empty input", {}, "Файл слишком мал для TIFF"},
        {"too small", {'I', 'I', 42}, "Файл слишком мал для TIFF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TTempDir dir;
        WriteFile(dir / "in.tif", c.Input);
        WriteFile(dir / "out.tif", {'o', 'l', 'd'});
        const std::string message = FailureOf(dir / "in.tif", dir / "out.tif");
        if (c.Reason.back() == '*')
            EXPECT_EQ(message.rfind(Wrapped(dir / "in.tif", c.Reason.substr(0, c.Reason.size() - 1)), 0), 0u)
                << message;
        else
            EXPECT_EQ(message, Wrapped(dir / "in.tif", c.Reason));
        EXPECT_EQ(ReadFile(dir / "in.tif"), c.Input);
        EXPECT_EQ(ReadFile(dir / "out.tif"), (TBytes{'o', 'l', 'd'}));
        EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"in.tif", "out.tif"})) << "a temporary file was left";
    }
}

TEST(InvertTIFF16Bit, MissingInputOrFolderIsReportedWithTheirPaths) {
    TTempDir dir;
    EXPECT_EQ(FailureOf(dir / "none.tif", dir / "out.tif"),
              Wrapped(dir / "none.tif", "Файл не существует: " + PathToUtf8(dir / "none.tif")));
    fs::create_directory(dir / "folder.tif");
    const std::string folder = "Указан путь к папке, а не к файлу: ";
    const std::string special = "Это не обычный файл (канал, устройство или сокет): ";
    std::vector<std::pair<fs::path, std::string>> notFiles{{dir / "folder.tif", folder}, {NullDevice(), special}};
    if (MakeFifo(dir / "fifo.tif"))
        notFiles.push_back({dir / "fifo.tif", special});
    for (const auto& [notAFile, refusal] : notFiles)
        EXPECT_EQ(FailureOf(notAFile, dir / "out.tif"), Wrapped(notAFile, refusal + PathToUtf8(notAFile)));

    WriteFile(dir / "in.tif", GoodFile());
    const fs::path target = dir / "missing" / "out.tif";
    const std::string message = FailureOf(dir / "in.tif", target);
    EXPECT_NE(message.find(PathToUtf8(target)), std::string::npos) << message;
    EXPECT_NE(message.find("Файл или папка не найдены"), std::string::npos) << message;
    std::vector<std::string> names{"folder.tif", "in.tif"};
    if (notFiles.size() > 2)
        names.insert(names.begin(), "fifo.tif");
    EXPECT_EQ(dir.FileNames(), names);
}

TEST(InvertTIFF16Bit, RefusesTheSameFileUnderAnyNameWithoutTouchingIt) {
    TTempDir dir;
    const TBytes input = GoodFile();
    WriteFile(dir / "in.tif", input);
    fs::create_directory(dir / "sub");
    fs::create_hard_link(dir / "in.tif", dir / "hard.tif");
    std::vector<fs::path> sameFiles = {dir / "in.tif", dir / "sub" / ".." / "in.tif", dir / "hard.tif"};
    // Windows lets only administrators and its developer mode make links (Wine none at all).
    std::error_code linkRefused;
    fs::create_symlink(dir / "in.tif", dir / "link.tif", linkRefused);
    if (!linkRefused)
        sameFiles.push_back(dir / "link.tif");
    for (const auto& output : sameFiles) {
        const std::string message = FailureOf(dir / "in.tif", output);
        EXPECT_EQ(message, Wrapped(dir / "in.tif",
                                   "Входной и выходной пути указывают на один и тот же файл: " + PathToUtf8(output)));
        EXPECT_EQ(ReadFile(dir / "in.tif"), input);
    }
    std::vector<std::string> names{"hard.tif", "in.tif", "sub"};
    if (!linkRefused)
        names.insert(names.begin() + 2, "link.tif");
    EXPECT_EQ(dir.FileNames(), names);
}

TEST(InvertTIFF16Bit, ReadOnlyInputGivesWritableOutputWithItsModificationTime) {
    TTempDir dir;
    const TBytes input = GoodFile();
    WriteFile(dir / "in.tif", input);
    const auto past = fs::last_write_time(dir / "in.tif") - std::chrono::hours(240);
    fs::last_write_time(dir / "in.tif", past);
    fs::permissions(dir / "in.tif", fs::perms::owner_read | fs::perms::group_read);
    const fs::perms readOnly = fs::status(dir / "in.tif").permissions(); // Windows: its read-only attribute

    ASSERT_TRUE(TTIFFInverterSingle().InvertTIFF16Bit(dir / "in.tif", dir / "out.tif", true));
    EXPECT_EQ(ReadFile(dir / "in.tif"), input);
    EXPECT_EQ(fs::status(dir / "in.tif").permissions(), readOnly);
    EXPECT_EQ(fs::last_write_time(dir / "in.tif"), past);
    EXPECT_EQ(fs::last_write_time(dir / "out.tif"), past);
    EXPECT_NE(fs::status(dir / "out.tif").permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_NE(ReadFile(dir / "out.tif"), input);
}

TEST(InvertTIFF16Bit, ReplacesAnExistingTargetOnlyWhenOverwritingWasChosen) {
    TTempDir dir;
    WriteFile(dir / "in.tif", GoodFile());
    WriteFile(dir / "out.tif", {'o', 'l', 'd'});
    EXPECT_EQ(
        FailureOf(dir / "in.tif", dir / "out.tif"),
        Wrapped(dir / "in.tif", "Не удалось записать файл " + PathToUtf8(dir / "out.tif") + ": Файл уже существует"));
    EXPECT_EQ(ReadFile(dir / "out.tif"), (TBytes{'o', 'l', 'd'}));
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"in.tif", "out.tif"}));

    ASSERT_TRUE(TTIFFInverterSingle().InvertTIFF16Bit(dir / "in.tif", dir / "out.tif", true, true));
    EXPECT_EQ(ReadFile(dir / "out.tif").size(), GoodFile().size());
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"in.tif", "out.tif"}));
}

TEST(InvertTIFF16Bit, LongCyrillicNamesWork) {
    TTempDir dir;
    std::string name;
    while (name.size() < 236)
        name += "ж";
    const fs::path input = dir.Path() / Utf8ToPath(name + ".tif");
    fs::create_directory(dir / "out");
    const fs::path output = dir.Path() / "out" / Utf8ToPath(name + ".tif");
    WriteFile(input, GoodFile());
    ASSERT_TRUE(TTIFFInverterSingle().InvertTIFF16Bit(input, output, true));
    EXPECT_EQ(ReadFile(output).size(), GoodFile().size());
}

} // namespace
} // namespace kvaderon
