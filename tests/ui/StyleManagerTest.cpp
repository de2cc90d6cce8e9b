// The theme manager and the carried themes: names, darkness, readability, switching, system
// colours.
#include "platform/StyleManager.h"
#include "DefaultSettings.h"
#include "ThemePalette.h"
#include "ThemeTable.h"

#include <QApplication>
#include <QProxyStyle>
#include <QSet>
#include <QStyle>

#include <gtest/gtest.h>

#include <cmath>

// Colours and texts in failure messages as text rather than bytes.
void PrintTo(const QColor& AColor, std::ostream* AStream) {
    *AStream << AColor.name(QColor::HexArgb).toStdString();
}
void PrintTo(const QString& AText, std::ostream* AStream) {
    *AStream << '"' << AText.toStdString() << '"';
}

namespace {

using kvaderon::TColor;
using namespace Qt::Literals::StringLiterals;

constexpr TColor clWindow = 0xFF000005;
constexpr TColor clWindowText = 0xFF000008;

// sRGB relative luminance and the contrast ratio, written out here rather than taken from the
// code under test.
double TestLuminance(const QColor& AColor) {
    const auto linear = [](int AValue) {
        const double c = AValue / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(AColor.red()) + 0.7152 * linear(AColor.green()) + 0.0722 * linear(AColor.blue());
}

double TestContrast(const QColor& AFirst, const QColor& ASecond) {
    const double first = TestLuminance(AFirst);
    const double second = TestLuminance(ASecond);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// Every pair of the palette that must read, with the contrast it needs; empty for a readable
// palette. Disabled text must still read, but less well than enabled text, so that it looks
// disabled.
std::string ReadabilityFaults(const QPalette& APalette) {
    const struct {
        QPalette::ColorRole Fore, Back;
        double Minimum;
        bool AlsoDisabled;
        const char* Name;
    } pairs[] = {
        {QPalette::WindowText, QPalette::Window, 4.5, true, "window text"},
        {QPalette::ButtonText, QPalette::Button, 4.5, true, "button text"},
        {QPalette::Text, QPalette::Base, 4.5, true, "text"},
        // Fusion draws tab captions on the button face and flat tool buttons on the window.
        {QPalette::WindowText, QPalette::Button, 4.5, true, "window text on a button face"},
        {QPalette::ButtonText, QPalette::Window, 4.5, true, "button text on the window"},
        {QPalette::HighlightedText, QPalette::Highlight, 4.5, false, "selected text"},
        {QPalette::ToolTipText, QPalette::ToolTipBase, 4.5, false, "hint"},
        {QPalette::Link, QPalette::Base, 4.5, false, "link"},
        {QPalette::PlaceholderText, QPalette::Base, 3.5, false, "placeholder"},
        {QPalette::Highlight, QPalette::Base, 2.0, false, "selection against the field"},
    };
    const QString groupNames[] = {u"active"_s, u"disabled"_s, u"inactive"_s};
    QStringList faults;
    for (const auto& pair : pairs) {
        const auto contrast = [&](QPalette::ColorGroup AGroup) {
            return TestContrast(APalette.color(AGroup, pair.Fore), APalette.color(AGroup, pair.Back));
        };
        const auto fault = [&](QPalette::ColorGroup AGroup) {
            faults << u"%1 %2: %3"_s.arg(groupNames[AGroup], QLatin1String(pair.Name)).arg(contrast(AGroup));
        };
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            if (contrast(group) < pair.Minimum)
                fault(group);
        const double disabled = contrast(QPalette::Disabled);
        if (pair.AlsoDisabled && (disabled < 3.0 || disabled >= contrast(QPalette::Active)))
            fault(QPalette::Disabled);
    }
    return faults.join(u"; "_s).toStdString();
}

bool IsDarkPalette(const QPalette& APalette) {
    return TestLuminance(APalette.color(QPalette::WindowText)) > TestLuminance(APalette.color(QPalette::Window));
}

class StyleManagerTest : public ::testing::Test {
protected:
    void SetUp() override { FFormerStyle = Manager.ActiveStyleName(); }
    void TearDown() override { Manager.TrySetStyle(FFormerStyle); }

    TStyleManager& Manager = TStyleManager::Instance();

private:
    QString FFormerStyle;
};

TEST_F(StyleManagerTest, OffersWindowsThenEveryCarriedThemeOnce) {
    const std::vector<TThemeLine> table = CarriedThemes();
    ASSERT_FALSE(table.empty());
    QStringList expected{u"Windows"_s};
    for (const TThemeLine& theme : table)
        expected << theme.Name;
    const QStringList names = Manager.StyleNames();
    EXPECT_EQ(names, expected);

    QSet<QString> seen; // names are chosen without regard to letter case
    for (const QString& name : names) {
        EXPECT_FALSE(seen.contains(name.toLower())) << name.toStdString() << " twice";
        seen.insert(name.toLower());
    }
}

// Darkness comes from the theme table itself: a theme is dark exactly when its text colour is
// lighter than its window colour.
TEST_F(StyleManagerTest, DarkThemesAreThoseOfTheTableWithTextLighterThanWindow) {
    const std::vector<TThemeLine> table = CarriedThemes();
    ASSERT_FALSE(table.empty());
    QStringList dark;
    for (const TThemeLine& theme : table)
        if (TestLuminance(theme.Text) > TestLuminance(theme.Window))
            dark << theme.Name;
    EXPECT_EQ(TStyleManager::DarkThemeNames(), dark);
    EXPECT_FALSE(dark.isEmpty());
    EXPECT_LT(dark.size(), qsizetype(table.size()));
}

TEST_F(StyleManagerTest, EveryCarriedThemeIsDarkExactlyWhenNamedSoAndReadsWell) {
    QSet<QString> distinctLooks;
    for (const TThemeLine& theme : CarriedThemes()) {
        const QString& name = theme.Name;
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(Manager.TrySetStyle(name));
        EXPECT_EQ(Manager.ActiveStyleName(), name);
        const auto* style = qobject_cast<const QProxyStyle*>(QApplication::style());
        ASSERT_NE(style, nullptr);
        EXPECT_EQ(style->baseStyle()->name().toLower(), u"fusion"_s);

        const QPalette palette = QApplication::palette();
        const bool namedDark = TStyleManager::DarkThemeNames().contains(name);
        EXPECT_EQ(IsDarkPalette(palette), namedDark);
        EXPECT_EQ(TestLuminance(Manager.GetSystemColor(clWindowText)) > TestLuminance(Manager.GetSystemColor(clWindow)),
                  namedDark);
        EXPECT_EQ(ReadabilityFaults(palette), "");

        // The log is drawn on Base in the default colour set of the theme's darkness; its amber
        // and red reach about 4 even on white, hence 3 here.
        const kvaderon::TOutputColorsBW defaults = kvaderon::DefaultOutputColors();
        const kvaderon::TOutputColors& log = namedDark ? defaults.B : defaults.W;
        for (const TColor color : {log.FileName, log.Names, log.Values, log.Separators, log.OK, log.Warning, log.Error})
            EXPECT_GE(TestContrast(Manager.GetSystemColor(color), palette.color(QPalette::Base)), 3.0)
                << std::hex << color;

        QString look;
        for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::Highlight})
            look += palette.color(role).name();
        EXPECT_FALSE(distinctLooks.contains(look)) << "looks like an earlier theme";
        distinctLooks.insert(look);
    }
}

TEST(ThemePalette, StaysReadableWhateverTheBaseColours) {
    const QColor grey(0x77, 0x77, 0x77);
    const struct {
        const char* Name;
        TThemeColors Colors;
    } cases[] = {
        {"all one grey", {grey, grey, grey, grey, grey, grey}},
        {"white on white", {Qt::white, Qt::white, Qt::white, Qt::white, Qt::white, Qt::white}},
        {"black on black", {Qt::black, Qt::black, Qt::black, Qt::black, Qt::black, Qt::black}},
        {"dark button, light window",
         {QColor(0xee, 0xee, 0xee), QColor(0x20, 0x20, 0x20), Qt::white, QColor(0x30, 0x30, 0x30),
          QColor(0xf0, 0xf0, 0xff), QColor(0xcc, 0xdd, 0xff)}},
        {"mid-tone selection on dark",
         {QColor(0x20, 0x20, 0x20), QColor(0xe0, 0xe0, 0xe0), QColor(0x18, 0x18, 0x18), QColor(0x33, 0x33, 0x33),
          QColor(0x2e, 0x2e, 0x2e), QColor(0x22, 0x22, 0x44)}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadabilityFaults(MakeThemePalette(c.Colors)), "") << c.Name;
}

TEST(ThemePalette, TableSkipsCommentsAndReportsMalformedLines) {
    const QString table =
        QString::fromUtf8("; comment | #000000\n"
                          "\n"
                          "  Good One | #ffffff | #000000 | #ffffff | #eeeeee | #0055aa | #0000ff  \r\n"
                          "Too Short | #ffffff | #000000 | #ffffff | #eeeeee | #0055aa\n"
                          "Bad Colour | #ffffff | black | #ffffff | #eeeeee | #0055aa | #0000ff\n"
                          " | #ffffff | #000000 | #ffffff | #eeeeee | #0055aa | #0000ff\n");
    QStringList errors;
    const QList<TCarriedTheme> themes = ParseThemeTable(table, &errors);
    ASSERT_EQ(themes.size(), 1);
    EXPECT_EQ(themes[0].Name, u"Good One"_s);
    EXPECT_EQ(themes[0].Colors.Highlight, QColor(0x00, 0x55, 0xaa));
    EXPECT_EQ(themes[0].Colors.Accent, QColor(0x00, 0x00, 0xff));
    EXPECT_EQ(errors.size(), 3);
}

TEST_F(StyleManagerTest, UnknownNameIsRefusedAndChangesNothing) {
    ASSERT_TRUE(Manager.TrySetStyle(u"Jet"_s));
    const QPalette before = QApplication::palette();
    int notifications = 0;
    const auto connection =
        QObject::connect(&Manager, &TStyleManager::StyleChanged, [&notifications] { ++notifications; });
    for (const char* name : {"No such theme", "", " Jet", "Windows10Charcoal"})
        EXPECT_FALSE(Manager.TrySetStyle(QString::fromLatin1(name))) << name;
    QObject::disconnect(connection);
    EXPECT_EQ(Manager.ActiveStyleName(), u"Jet"_s);
    EXPECT_EQ(QApplication::palette(), before);
    EXPECT_EQ(notifications, 0);
}

TEST_F(StyleManagerTest, NotifiesOncePerChangeWithTheThemesOwnName) {
    ASSERT_TRUE(Manager.TrySetStyle(u"Windows"_s));
    QStringList heard;
    const auto connection =
        QObject::connect(&Manager, &TStyleManager::StyleChanged, [&heard](const QString& AName) { heard << AName; });
    for (const char* name : {"Jet", "Jet", "light", "windows", "Windows"})
        EXPECT_TRUE(Manager.TrySetStyle(QString::fromLatin1(name))) << name;
    QObject::disconnect(connection);
    EXPECT_EQ(heard.join(u","_s).toStdString(), "Jet,Light,Windows");
    EXPECT_EQ(Manager.ActiveStyleName(), u"Windows"_s);
}

TEST_F(StyleManagerTest, WindowsPutsBackThePlatformLook) {
    ASSERT_TRUE(Manager.TrySetStyle(u"Windows"_s));
    const QPalette platformPalette = QApplication::palette();
    const QString platformStyle = QApplication::style()->name();

    ASSERT_TRUE(Manager.TrySetStyle(u"Windows10 Charcoal"_s));
    EXPECT_NE(QApplication::palette(), platformPalette);
    ASSERT_TRUE(Manager.TrySetStyle(u"Windows11 Modern Light"_s));
    ASSERT_TRUE(Manager.TrySetStyle(u"Windows"_s));
    EXPECT_EQ(QApplication::palette(), platformPalette);
    EXPECT_EQ(QApplication::style()->name(), platformStyle);
}

TEST_F(StyleManagerTest, SystemColoursFollowTheActiveTheme) {
    const struct {
        TColor Color;
        QPalette::ColorGroup Group;
        QPalette::ColorRole Role;
    } cases[] = {
        {0xFF000005, QPalette::Active, QPalette::Base},      {0xFF000008, QPalette::Active, QPalette::Text},
        {0xFF00000F, QPalette::Active, QPalette::Button},    {0xFF000012, QPalette::Active, QPalette::ButtonText},
        {0xFF00000D, QPalette::Active, QPalette::Highlight}, {0xFF00000E, QPalette::Active, QPalette::HighlightedText},
        {0xFF000011, QPalette::Disabled, QPalette::Text},
    };
    QList<QColor> windowColours;
    for (const char* theme : {"Windows10 Charcoal", "Windows10 Malibu"}) {
        ASSERT_TRUE(Manager.TrySetStyle(QString::fromLatin1(theme)));
        const QPalette palette = QApplication::palette();
        for (const auto& c : cases)
            EXPECT_EQ(Manager.GetSystemColor(c.Color), palette.color(c.Group, c.Role))
                << theme << " " << std::hex << c.Color;
        windowColours << Manager.GetSystemColor(clWindow);
    }
    EXPECT_NE(windowColours[0], windowColours[1]);

    EXPECT_EQ(Manager.GetSystemColor(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(Manager.GetSystemColor(0x00FF8000), QColor(0, 128, 255));
    EXPECT_EQ(Manager.GetSystemColor(0x00111111), QColor(17, 17, 17));
    EXPECT_FALSE(Manager.GetSystemColor(kvaderon::clNone).isValid());
    EXPECT_EQ(Manager.GetSystemColor(kvaderon::clDefault), Manager.GetSystemColor(clWindowText));
}

} // namespace
