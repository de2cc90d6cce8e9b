// Colour names and the colour text of the settings file.
#include "ColorNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace kvaderon {
namespace {

TEST(ColorNames, TableHasItsNamesInOrder) {
    const auto names = ColorNames();
    ASSERT_EQ(names.size(), 185u);
    EXPECT_STREQ(names[0].Name, "clBlack");
    EXPECT_STREQ(names[15].Name, "clWhite");
    EXPECT_STREQ(names[19].Name, "clMedGray");
    EXPECT_STREQ(names[20].Name, "clActiveBorder");
    EXPECT_STREQ(names[51].Name, "clWindowText");
    EXPECT_STREQ(names[52].Name, "clAliceblue");
    EXPECT_STREQ(names[184].Name, "clYellowgreen");
    std::set<std::string> distinct;
    std::vector<std::string> webNames;
    std::size_t afterLightyellow = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string name = names[i].Name;
        distinct.insert(name);
        if (name == "clLightyellow")
            afterLightyellow = i + 1;
        if (i >= 52 && name != "clLtGray" && name != "clDkGray" && name != "clLegacySkyBlue")
            webNames.push_back(name);
    }
    EXPECT_TRUE(std::is_sorted(webNames.begin(), webNames.end()));
    EXPECT_EQ(distinct.size(), 185u);
    ASSERT_GT(afterLightyellow, 0u);
    EXPECT_STREQ(names[afterLightyellow].Name, "clLtGray");
    EXPECT_STREQ(names[afterLightyellow + 1].Name, "clDkGray");
    EXPECT_STREQ(names[afterLightyellow + 2].Name, "clLegacySkyBlue");
}

TEST(ColorNames, ColourTextWritesTheFirstNameElseEightHexDigits) {
    const std::pair<TColor, const char*> cases[] = {
        {RGBColor(255, 255, 255), "clWhite"},
        {RGBColor(211, 211, 211), "clLightgray"},
        {RGBColor(17, 17, 17), "$00111111"},
        {RGBColor(185, 116, 0), "$000074B9"},
        {RGBColor(255, 128, 128), "$008080FF"},
        {RGBColor(50, 205, 50), "clLimegreen"},
        {RGBColor(0, 255, 255), "clAqua"},
        {RGBColor(255, 0, 255), "clFuchsia"},
        {RGBColor(128, 128, 128), "clGray"},
        {RGBColor(192, 192, 192), "clSilver"},
        {0xF0CAA6, "clSkyBlue"},
        {RGBColor(169, 169, 169), "clDarkgray"},
        {0xFF00000F, "clBtnFace"},
        {0xFF0000FF, "$FF0000FF"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
    };
    for (const auto& [color, text] : cases)
        EXPECT_EQ(ColorToString(color), text) << text;
}

TEST(ColorNames, ColourTextReadsNamesNumbersAndWebNotation) {
    const std::pair<const char*, TColor> cases[] = {
        {"clLIMEGREEN", RGBColor(50, 205, 50)},
        {"#32CD32", RGBColor(50, 205, 50)},
        {"#32cd32", RGBColor(50, 205, 50)},
        {"$0032CD32", RGBColor(50, 205, 50)},
        {"0x32CD32", RGBColor(50, 205, 50)},
        {"3329330", RGBColor(50, 205, 50)},
        {"#3C3", RGBColor(51, 204, 51)},
        {"$111111", RGBColor(17, 17, 17)},
        {"clcyan", RGBColor(0, 255, 255)},
        {"clLegacySkyBlue", 0xF0CAA6},
        {"clBtnFace", 0xFF00000F},
        {"-16777201", 0xFF00000F},
        {"$FFFFFFFF", 0xFFFFFFFF},
    };
    for (const auto& [text, color] : cases)
        EXPECT_EQ(StringToColor(text), color) << text;
}

TEST(ColorNames, AnythingElseIsAnError) {
    for (const char* text : {"", "Lime", "clLime green", "#32CD3", "#32CD32FF", "#GGG", "$", "$100000000",
                             "-2147483649", "rgb(1,2,3)", "0x"})
        EXPECT_THROW(StringToColor(text), std::invalid_argument) << text;
    try {
        StringToColor("клубничный");
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "Неверное значение цвета: \"клубничный\"");
    }
}

TEST(ColorNames, EveryUnnamedValueRoundTrips) {
    for (TColor color : {TColor(0x00123456), TColor(0x00FEFEFE), TColor(0xFF000063)})
        EXPECT_EQ(StringToColor(ColorToString(color)), color);
    for (const TColorName& name : ColorNames())
        EXPECT_EQ(StringToColor(ColorToString(name.Color)), name.Color) << name.Name;
}

} // namespace
} // namespace kvaderon
