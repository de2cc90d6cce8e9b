// The settings file: the default file, what survives a save and a load, recovery from bad values.
#include "SettingsFile.h"

#include "ColorNames.h"
#include "DefaultSettings.h"

#include "HostileNames.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

namespace fs = std::filesystem;

TIniFile IniWith(const test::TTempDir& ADir, const std::string& AText) {
    test::WriteTextFile(ADir / "kvaderon.ini", AText);
    return TIniFile(ADir / "kvaderon.ini");
}

TEST(SettingsFile, DefaultFileHoldsEveryKeyInOrder) {
    test::TTempDir dir;
    TIniFile ini(dir / "kvaderon.ini");
    WriteStoredSettings(ini, DefaultStoredSettings());
    EXPECT_EQ(ini.Text(), "[Application]\n"
                          "VCLStyle=Windows10 Charcoal\n"
                          "Height=480\n"
                          "Width=640\n"
                          "\n"
                          "[Files]\n"
                          "LastOpenFolder=\n"
                          "LastSaveFolder=\n"
                          "Prefix=\"! \"\n"
                          "Postfix=\"\"\n"
                          "VerifyAfterWrite=0\n"
                          "InvertPreviews=0\n"
                          "\n"
                          "[Colors]\n"
                          "FileName_B=clWhite\n"
                          "FileName_W=clBlack\n"
                          "Names_B=clLightgray\n"
                          "Names_W=$00111111\n"
                          "Values_B=clYellow\n"
                          "Values_W=clNavy\n"
                          "Separators_B=clWhite\n"
                          "Separators_W=clBlack\n"
                          "OK_B=clLimegreen\n"
                          "OK_W=clGreen\n"
                          "Warning_B=clGoldenrod\n"
                          "Warning_W=$000074B9\n"
                          "Error_B=$008080FF\n"
                          "Error_W=clRed\n");
    EXPECT_EQ(ReadStoredSettings(ini), DefaultStoredSettings());
}

TEST(SettingsFile, EmptyOrBinaryFileReadsAsDefaults) {
    test::TTempDir dir;
    EXPECT_EQ(ReadStoredSettings(TIniFile(dir / "missing.ini")), DefaultStoredSettings());
    for (const std::string& text : {std::string(), std::string("\0\x01\xFE[Colors\n=\n", 12)})
        EXPECT_EQ(ReadStoredSettings(IniWith(dir, text)), DefaultStoredSettings());
}

TEST(SettingsFile, ChangedSettingsSurviveSaveAndLoad) {
    test::TTempDir dir;
    TStoredSettings settings = DefaultStoredSettings();
    settings.App.Prefix = "! ";
    settings.App.Postfix = "  _инв";
    settings.App.LastStyle = "Windows10";
    settings.App.InvertPreviews = true;
    settings.Width = 1024;
    settings.Height = 700;
    settings.LastOpenFolder = "/home/фото/Плёнка 1975/";
    settings.LastSaveFolder = "/home/фото/позитивы/";
    settings.App.OutputColorsBW.B.OK = 0x00123456;
    settings.App.OutputColorsBW.W.Error = 0xFF000008;
    settings.App.VerifyAfterWrite = true;
    {
        TIniFile ini(dir / "kvaderon.ini");
        WriteStoredSettings(ini, settings);
        ini.UpdateFile();
    }
    const TIniFile ini(dir / "kvaderon.ini");
    EXPECT_EQ(ReadStoredSettings(ini), settings);
    EXPECT_EQ(ini.ReadValue("Colors", "OK_B"), "$00123456");
    EXPECT_EQ(ini.ReadValue("Colors", "Error_W"), "clWindowText");
    EXPECT_EQ(ini.ReadValue("Files", "VerifyAfterWrite"), "1");
}

TEST(SettingsFile, HandWrittenValuesAreReadOrFallBackToTheKeysDefault) {
    test::TTempDir dir;
    const TStoredSettings read = ReadStoredSettings(IniWith(dir, "[application]\n"
                                                                 "vclstyle = Nonexistent Theme\n"
                                                                 "Height=tall\n"
                                                                 "Width=$400\n"
                                                                 "[FILES]\n"
                                                                 "Postfix=_inv\n"
                                                                 "[Colors]\n"
                                                                 "FileName_B=clLIMEGREEN\n"
                                                                 "FileName_W=#32CD32\n"
                                                                 "Names_B=$0032CD32\n"
                                                                 "Names_W=3329330\n"
                                                                 "Values_B=#3C3\n"
                                                                 "Values_W=strawberry\n"
                                                                 "OK_B=\n"));
    EXPECT_EQ(read.App.LastStyle, "Nonexistent Theme") << "the window decides about themes";
    EXPECT_EQ(read.Height, 480);
    EXPECT_EQ(read.Width, 1024);
    EXPECT_EQ(read.App.Prefix, "! ");
    EXPECT_EQ(read.App.Postfix, "_inv");
    const TOutputColorsBW defaults = DefaultOutputColors();
    const TOutputColorsBW& colors = read.App.OutputColorsBW;
    for (TColor color : {colors.B.FileName, colors.W.FileName, colors.B.Names, colors.W.Names})
        EXPECT_EQ(color, RGBColor(50, 205, 50));
    EXPECT_EQ(colors.B.Values, RGBColor(51, 204, 51));
    EXPECT_EQ(colors.W.Values, defaults.W.Values);
    EXPECT_EQ(colors.B.OK, defaults.B.OK);
    EXPECT_EQ(colors.B.Error, defaults.B.Error);
}

TEST(SettingsFile, APrefixOrPostfixThatIsNoNamePartCountsAsAbsent) {
    test::TTempDir dir;
    for (const std::string& part : test::HostileNameParts) {
        SCOPED_TRACE(part);
        const TStoredSettings read =
            ReadStoredSettings(IniWith(dir, "[Files]\nPrefix=\"" + part + "\"\nPostfix=\"" + part + "\"\n"));
        EXPECT_EQ(read.App.Prefix, "! ");
        EXPECT_EQ(read.App.Postfix, "");
    }
}

TEST(SettingsFile, CommentsAndUnknownKeysSurviveASave) {
    test::TTempDir dir;
    TIniFile ini = IniWith(dir, "; written by hand\r\n[Files]\r\nMyKey=1\r\nPrefix=x\r\n");
    WriteStoredSettings(ini, DefaultStoredSettings());
    const std::string text = ini.Text();
    EXPECT_TRUE(text.starts_with("; written by hand\r\n[Files]\r\nMyKey=1\r\nPrefix=\"! \"\r\n")) << text;
    EXPECT_NE(text.find("\r\n[Application]\r\nVCLStyle=Windows10 Charcoal\r\n"), std::string::npos) << text;
}

} // namespace
} // namespace kvaderon
