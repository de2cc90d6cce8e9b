// The INI file: reading rules, writing in place with every other byte kept, saving.
#include "IniFile.h"
#include "platform/SystemError.h"

#include "TempDir.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

namespace fs = std::filesystem;

TIniFile IniWith(const test::TTempDir& ADir, const std::string& AText) {
    test::WriteTextFile(ADir / "settings.ini", AText);
    return TIniFile(ADir / "settings.ini");
}

TEST(IniFile, ReadingRules) {
    struct TCase {
        const char* Name;
        std::string Text;
        const char* Section;
        const char* Key;
        std::optional<std::string> Value;
    };
    const std::string longValue(2100, 'x');
    const std::string longCyrillic = [] {
        std::string text;
        for (int i = 0; i < 2100; ++i)
            text += "ж";
        return text;
    }();
    const TCase cases[] = {
        {"plain", "[Files]\nPostfix=_inv\n", "Files", "Postfix", "_inv"},
        {"double quotes", "[Files]\nPrefix=\"! \"\n", "Files", "Prefix", "! "},
        {"single quotes", "[Files]\nPrefix='  x '\n", "Files", "Prefix", "  x "},
        {"unpaired quotes stay", "[Files]\nPrefix=\"x'\n", "Files", "Prefix", "\"x'"},
        {"one quote stays", "[Files]\nPrefix=\"\n", "Files", "Prefix", "\""},
        {"blanks dropped", "[Files]\n  Postfix \t=  a b \t\n", "Files", "Postfix", "a b"},
        {"letter case", "[fILES]\nPOSTFIX=v\n", "Files", "Postfix", "v"},
        {"empty value", "[Files]\nPostfix=\n", "Files", "Postfix", ""},
        {"equals in value", "[Files]\nPostfix=a=b\n", "Files", "Postfix", "a=b"},
        {"CRLF", "[Files]\r\nPostfix=v\r\nPrefix=p\r\n", "Files", "Postfix", "v"},
        {"last line without ending", "[Files]\nPostfix=v", "Files", "Postfix", "v"},
        {"UTF-8 mark", "\xEF\xBB\xBF[Files]\nPostfix=v\n", "Files", "Postfix", "v"},
        {"section header with blanks", "  [ Files ]  \nPostfix=v\n", "Files", "Postfix", "v"},
        {"first of two keys", "[Files]\nPostfix=1\nPostfix=2\n", "Files", "Postfix", "1"},
        {"missing key", "[Files]\nPrefix=p\n", "Files", "Postfix", std::nullopt},
        {"key of another section", "[Colors]\nPostfix=v\n[Files]\n", "Files", "Postfix", std::nullopt},
        {"key before any section", "Postfix=v\n[Files]\n", "Files", "Postfix", std::nullopt},
        {"comment is no key", "[Files]\n;Postfix=v\n", "Files", "Postfix", std::nullopt},
        {"missing section", "[Colors]\nOK_B=clRed\n", "Files", "Postfix", std::nullopt},
        {"binary", std::string("\0\xFF[\x01=\n\0", 7), "Files", "Postfix", std::nullopt},
        {"2047 characters", "[Files]\nPostfix=" + longValue + "\n", "Files", "Postfix", longValue.substr(0, 2047)},
        {"2047 Cyrillic characters", "[Files]\nPostfix=" + longCyrillic + "\n", "Files", "Postfix",
         longCyrillic.substr(0, 2047 * 2)},
    };
    test::TTempDir dir;
    for (const TCase& test : cases)
        EXPECT_EQ(IniWith(dir, test.Text).ReadValue(test.Section, test.Key), test.Value) << test.Name;
}

TEST(IniFile, IntegersAreDecimalOrHexadecimal) {
    const std::pair<const char*, int> cases[] = {
        {"800", 800},  {"-5", -5}, {"$320", 800}, {"0x320", 800}, {"0X1f", 31}, {"abc", 480},         {"", 480},
        {"12px", 480}, {"$", 480}, {"0x", 480},   {"+5", 480},    {"$-5", 480}, {"99999999999", 480}, {"\"600\"", 600},
    };
    test::TTempDir dir;
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(IniWith(dir, std::string("[A]\nHeight=") + value + "\n").ReadInteger("A", "Height", 480), expected)
            << value;
    EXPECT_EQ(IniWith(dir, "").ReadInteger("A", "Height", 480), 480);
}

TEST(IniFile, WritingKeepsEveryOtherLineByteForByte) {
    struct TWrite {
        const char* Section;
        const char* Key;
        const char* Value;
    };
    struct TCase {
        const char* Name;
        std::string Before;
        std::vector<TWrite> Writes;
        std::string After;
    };
    const TCase cases[] = {
        {"in place",
         "; my comment\r\n[Application]\r\nUnknown = 1\r\nvclstyle = Old\r\n\r\n[Other]\r\nx=y\r\n",
         {{"Application", "VCLStyle", "New"}},
         "; my comment\r\n[Application]\r\nUnknown = 1\r\nvclstyle = New\r\n\r\n[Other]\r\nx=y\r\n"},
        {"empty value", "[Files]\nPrefix=\"! \"\n", {{"Files", "Prefix", ""}}, "[Files]\nPrefix=\n"},
        {"missing key after the section's last key",
         "[Files]\nPrefix=p\n; about colours\n\n[Colors]\n",
         {{"Files", "Postfix", "\"\""}},
         "[Files]\nPrefix=p\nPostfix=\"\"\n; about colours\n\n[Colors]\n"},
        {"missing key in an empty section",
         "[Files]\n[Colors]\n",
         {{"Files", "Prefix", "p"}},
         "[Files]\nPrefix=p\n[Colors]\n"},
        {"missing section at the end",
         "[Files]\r\nPrefix=p",
         {{"Colors", "OK_B", "clRed"}},
         "[Files]\r\nPrefix=p\r\n\r\n[Colors]\r\nOK_B=clRed\r\n"},
        {"empty file", "", {{"A", "K", "1"}, {"A", "L", "2"}, {"B", "M", "3"}}, "[A]\nK=1\nL=2\n\n[B]\nM=3\n"},
        {"binary bytes kept", std::string("\0\xFF\n", 3), {{"A", "K", "1"}}, std::string("\0\xFF\n\n[A]\nK=1\n", 12)},
        {"line break cut from a value", "[A]\nK=1\n", {{"A", "K", "x\ny"}}, "[A]\nK=x\n"},
        {"last line ended by a carriage return alone", "[A]\r", {{"A", "K", "1"}}, "[A]\r\nK=1\n"},
    };
    test::TTempDir dir;
    for (const TCase& test : cases) {
        TIniFile ini = IniWith(dir, test.Before);
        for (const TWrite& write : test.Writes)
            ini.WriteString(write.Section, write.Key, write.Value);
        EXPECT_EQ(ini.Text(), test.After) << test.Name;
        ini.UpdateFile();
        EXPECT_EQ(test::ReadTextFile(dir / "settings.ini"), test.After) << test.Name;
    }
}

TEST(IniFile, FirstWriteCreatesFileAndFolderAndTextSurvives) {
    test::TTempDir dir;
    const fs::path path = dir.Path() / u8"Настройки" / u8"kvaderon.ini";
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadValue("Files", "LastOpenFolder"), std::nullopt);
    const std::string folder = "/home/фото/негативы 日本/";
    ini.WriteString("Files", "LastOpenFolder", folder);
    ini.UpdateFile();
    EXPECT_EQ(TIniFile(path).ReadValue("Files", "LastOpenFolder"), folder);
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"Настройки"});
    EXPECT_EQ(fs::directory_iterator(path.parent_path())->path().filename(), "kvaderon.ini")
        << "no temporary file remains";
}

TEST(IniFile, FailedSaveLeavesNoTemporaryFileAndRaisesTheReason) {
    test::TTempDir dir;
    TIniFile ini(dir / "settings.ini");
    ini.WriteString("A", "K", "1");
    fs::create_directory(dir / "settings.ini");
    EXPECT_THROW(ini.UpdateFile(), platform::ESystemError);
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"settings.ini"});

    test::WriteTextFile(dir / "file", "x");
    TIniFile underFile(dir / "file" / "settings.ini");
    try {
        underFile.UpdateFile();
        FAIL() << "a folder that is a file cannot hold the settings";
    } catch (const platform::ESystemError& error) {
        EXPECT_STREQ(error.what(), "Часть пути не является папкой");
    }
    EXPECT_EQ(test::ReadTextFile(dir / "file"), "x");
}

TEST(IniFile, UnreadableFileRaisesTheReason) {
    test::TTempDir dir;
    fs::create_directory(dir / "settings.ini");
    EXPECT_THROW(TIniFile(dir / "settings.ini"), platform::ESystemError);
    test::WriteTextFile(dir / "large.ini", std::string((1 << 20) + 1, ' '));
    EXPECT_THROW(TIniFile(dir / "large.ini"), platform::ESystemError);
}

} // namespace
} // namespace kvaderon
