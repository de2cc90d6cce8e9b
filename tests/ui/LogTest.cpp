// The coloured log: outcome lines as they land in the document, the colour set that follows the
// theme's darkness and recolours what is written, lines always at the end, and the help display.
#include "Form1Fixture.h"
#include "ThemePalette.h"
#include "platform/StyleManager.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>

namespace {

using kvaderon::TColor;

// One stretch of text with one format, as the document holds it.
struct TFragment {
    QString Text;
    QColor Color;
    bool Bold;

    bool operator==(const TFragment&) const = default;
};

void PrintTo(const TFragment& AFragment, std::ostream* AStream) {
    *AStream << '"' << AFragment.Text.toStdString() << "\" " << AFragment.Color.name().toStdString()
             << (AFragment.Bold ? " bold" : "");
}

std::vector<TFragment> Fragments(const QTextBlock& ABlock) {
    std::vector<TFragment> fragments;
    for (auto it = ABlock.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        fragments.push_back({fragment.text(), fragment.charFormat().foreground().color(),
                             fragment.charFormat().fontWeight() >= QFont::Bold});
    }
    return fragments;
}

QColor Rgb(TColor AColor) {
    return QColor(int(AColor & 0xFF), int((AColor >> 8) & 0xFF), int((AColor >> 16) & 0xFF));
}

// The AFromEnd-th non-empty block from the end, 0 the last.
QTextBlock LastLineBlock(QTextDocument* ALog, int AFromEnd) {
    QTextBlock block = ALog->lastBlock();
    for (int skipped = -1; block.isValid(); block = block.previous()) {
        if (!block.text().isEmpty() && ++skipped == AFromEnd)
            break;
    }
    return block;
}

QString LastLine(QTextDocument* ALog) {
    QTextBlock block = ALog->lastBlock();
    while (block.isValid() && block.text().isEmpty())
        block = block.previous();
    return block.text();
}

TEST_F(Form1Test, OutcomeLinesLandWithTheirColoursAndBoldness) {
    struct TCase {
        bool Error;
        QString Message;
    };
    for (const TCase& test : {TCase{false, QStringLiteral("ОК!")}, TCase{true, QStringLiteral("Файл отклонен")}}) {
        Access().ClearLog();
        Access().ProcessingState().SetCurrentIndex(11);
        if (test.Error)
            Access().LogFileError(QStringLiteral("negative_012.tif"), test.Message);
        else
            Access().LogFileResult(QStringLiteral("negative_012.tif"), test.Message);

        const kvaderon::TOutputColors& colors = Access().OutputColors();
        ASSERT_EQ(Log()->blockCount(), 2) << "one line and its line break";
        const std::vector<TFragment> fragments = Fragments(Log()->firstBlock());
        ASSERT_EQ(fragments.size(), 4u);
        EXPECT_EQ(fragments[0], (TFragment{QStringLiteral("12. "), Rgb(colors.Names), true}));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d $")).match(fragments[1].Text).hasMatch());
        EXPECT_EQ(fragments[1].Color, Rgb(colors.Names));
        EXPECT_FALSE(fragments[1].Bold);
        EXPECT_EQ(fragments[2], (TFragment{QStringLiteral("negative_012.tif: "), Rgb(colors.FileName), false}));
        EXPECT_EQ(fragments[3], (TFragment{test.Message, Rgb(test.Error ? colors.Error : colors.OK), true}));
    }
}

TEST_F(Form1Test, ColourSetFollowsTheThemesDarkness) {
    struct TCase {
        const char* Theme;
        bool Dark;
    };
    const kvaderon::TOutputColorsBW& sets = Access().Settings().OutputColorsBW;
    for (const TCase& test : {TCase{"Windows10 Charcoal", true},
                              {"Windows10", false},
                              {"Windows10 Dark", true},
                              {"Windows11 Modern Light", false}}) {
        ASSERT_TRUE(TStyleManager::Instance().TrySetStyle(QString::fromLatin1(test.Theme))) << test.Theme;
        EXPECT_EQ(IsDarkTheme(), test.Dark) << test.Theme;
        EXPECT_EQ(Access().OutputColors(), test.Dark ? sets.B : sets.W) << test.Theme;
    }
}

// Help, outcome lines and a report written under one theme read well under every other: the
// whole log takes the colour set of the new theme's darkness.
TEST_F(Form1Test, ThemeChangeRecoloursTheWholeLog) {
    const kvaderon::TOutputColorsBW& sets = Access().Settings().OutputColorsBW;
    for (const char* writtenUnder : {"Windows10 Charcoal", "Windows10"}) {
        ASSERT_TRUE(TStyleManager::Instance().TrySetStyle(QString::fromLatin1(writtenUnder)));
        Access().ClearLog(); // the help goes into the log only when the log holds nothing else
        Access().ShowHelp();
        Access().LogFileResult(QStringLiteral("a.tif"), QStringLiteral("ОК!"));
        Access().LogFileError(QStringLiteral("b.tif"), QStringLiteral("Файл повреждён"));
        for (const char* theme :
             {"Windows10", "Windows10 Dark", "Windows11 Modern Light", "Windows10 Charcoal", "Windows"}) {
            SCOPED_TRACE(std::string(writtenUnder) + " -> " + theme);
            ASSERT_TRUE(TStyleManager::Instance().TrySetStyle(QString::fromLatin1(theme)));
            const QColor base = QApplication::palette().color(QPalette::Base);
            for (QTextBlock block = Log()->begin(); block.isValid(); block = block.next()) {
                for (const TFragment& fragment : Fragments(block))
                    EXPECT_GE(ContrastRatio(fragment.Color, base), 3.0) << fragment.Text.left(40).toStdString();
            }
            const TColor ok = IsDarkTheme() ? sets.B.OK : sets.W.OK;
            EXPECT_EQ(Fragments(LastLineBlock(Log(), 1)).back().Color, Rgb(ok)) << "the OK message of a.tif";
        }
    }
}

TEST(RelativeLuminanceTest, FollowsSrgbAndRec709) {
    struct TCase {
        TColor Color;
        double Luminance;
    };
    for (const TCase& test : {TCase{kvaderon::RGBColor(0, 0, 0), 0.0},
                              {kvaderon::RGBColor(255, 255, 255), 1.0},
                              {kvaderon::RGBColor(255, 0, 0), 0.2126},
                              {kvaderon::RGBColor(0, 255, 0), 0.7152},
                              {kvaderon::RGBColor(0, 0, 255), 0.0722},
                              {kvaderon::RGBColor(10, 10, 10), 10 / 255.0 / 12.92},
                              {kvaderon::RGBColor(128, 128, 128), 0.2158605}})
        EXPECT_NEAR(RelativeLuminance(test.Color), test.Luminance, 1e-5) << std::hex << test.Color;
}

TEST_F(Form1Test, LinesGoToTheEndWhereverTheCaretIs) {
    Access().ClearLog();
    Access().ProcessingState().SetCurrentIndex(0);
    Access().LogFileResult(QStringLiteral("first.tif"), QStringLiteral("ОК!"));
    auto* edit = Control<QTextEdit>("RichEdit1");
    QTextCursor caret = edit->textCursor();
    caret.setPosition(3);
    edit->setTextCursor(caret); // the user clicks into the first line
    Access().ProcessingState().SetCurrentIndex(1);
    Access().LogFileResult(QStringLiteral("second.tif"), QStringLiteral("ОК!"));
    EXPECT_TRUE(Log()->firstBlock().text().startsWith(QStringLiteral("1. ")));
    EXPECT_TRUE(LastLine(Log()).startsWith(QStringLiteral("2. ")));

    Access().ProcessingState().SetCurrentIndex(2);
    Access().LogFileResult(QStringLiteral("third.tif"), QStringLiteral("ОК!"));
    EXPECT_TRUE(LastLine(Log()).startsWith(QStringLiteral("3. "))) << LastLine(Log()).toStdString();
}

TEST_F(Form1Test, AddLogLineStartsALineOfItsOwn) {
    Access().ClearLog();
    Access().AddLogLine(QStringLiteral("первая"));
    Access().InsertLogText(QStringLiteral("без конца"));
    Access().AddLogLine(QStringLiteral("вторая"));
    Access().InsertLogText(QStringLiteral("\r\nтретья"));
    EXPECT_EQ(Log()->toPlainText(), QStringLiteral("первая\nбез конца\nвторая\nтретья"));
}

TEST_F(Form1Test, HelpShowsOnceInTheNamesColourFromTheTop) {
    Form->show();
    ASSERT_TRUE(WaitUntil([this] { return Log()->toPlainText().contains(QStringLiteral("--- Предназначение ---")); }))
        << "the first showing displays the help";
    Control<QToolButton>("SpeedButton1")->click();
    Control<QToolButton>("SpeedButton1")->click();
    const QString text = Log()->toPlainText();
    for (const QString& heading :
         {QStringLiteral("--- Предназначение ---"), QStringLiteral("--- Советы по настройке ---"),
          QStringLiteral("--- Термины в результатах анализа ---")})
        EXPECT_EQ(text.count(heading), 1) << heading.toStdString();
    EXPECT_FALSE(text.contains(QLatin1Char('\r')));
    EXPECT_GE(Log()->blockCount(), 45);
    const std::vector<TFragment> first = Fragments(Log()->firstBlock());
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].Color, Rgb(Access().OutputColors().Names));
    EXPECT_FALSE(first[0].Bold);
    auto* edit = Control<QTextEdit>("RichEdit1");
    EXPECT_EQ(edit->textCursor().position(), 0);
    EXPECT_EQ(edit->verticalScrollBar()->value(), 0);
    EXPECT_EQ(Form->findChild<QDialog*>(QStringLiteral("HelpWindow")), nullptr)
        << "a log that holds only the help shows it again";
    Form->hide();
}

// Once the log holds results, the help button leaves them alone and shows the same help in a
// window of its own: not modal, readable in the theme in force, closed by Escape, opened again.
TEST_F(Form1Test, HelpNeverErasesResults) {
    Form->show();
    ASSERT_TRUE(WaitUntil([this] { return Log()->blockCount() > 40; }));
    const QString help = Log()->toPlainText();
    Access().ClearLog();
    Access().LogFileResult(QStringLiteral("a.tif"), QStringLiteral("ОК!"));
    Access().LogFileError(QStringLiteral("b.tif"), QStringLiteral("Файл повреждён"));
    const QString results = Log()->toPlainText();

    for (const char* theme : {"Windows10 Charcoal", "Windows10"}) {
        SCOPED_TRACE(theme);
        ASSERT_TRUE(TStyleManager::Instance().TrySetStyle(QString::fromLatin1(theme)));
        Control<QToolButton>("SpeedButton1")->click();
        EXPECT_EQ(Log()->toPlainText(), results);
        auto* window = Form->findChild<QDialog*>(QStringLiteral("HelpWindow"));
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isModal());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        auto* text = window->findChild<QTextEdit*>(QStringLiteral("HelpText"));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->toPlainText(), help);
        const QPalette palette = text->palette();
        EXPECT_GE(ContrastRatio(palette.color(QPalette::Text), palette.color(QPalette::Base)), 4.5);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(window, &escape);
        EXPECT_FALSE(window->isVisible());
    }
    Form->hide();
}

// However many lines come, the last one is in view.
TEST_F(Form1Test, TheLogScrollsToItsLastLine) {
    Form->show();
    ASSERT_TRUE(WaitUntil([this] { return Form->isVisible(); }));
    Access().ClearLog();
    for (int i = 1; i <= 60; ++i)
        Access().LogFileResult(QStringLiteral("scan%1.tif").arg(i), QStringLiteral("ОК!"));
    auto* edit = Control<QTextEdit>("RichEdit1");
    QScrollBar* bar = edit->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_GT(bar->value(), 0);
    const QRect last = edit->cursorRect(QTextCursor(LastLineBlock(Log(), 0)));
    EXPECT_TRUE(edit->viewport()->rect().contains(last)) << "the end is visible";
    Form->hide();
}

} // namespace
