// The choice dialog: where captions land, which is the default button, what comes back, icons.
// The dialog is prepared and its buttons pressed without ever showing it.
#include "MyDialog.h"
#include "ElidedLabel.h"
#include "WindowFonts.h"

#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <array>

namespace {

struct TMappingCase {
    const char* Name;
    QStringList Captions;
    QList<int> Indices;
    std::array<const char*, 6> Shown; // caption per physical button, nullptr when hidden
    int DefaultButton;                // physical index, -1 for none
    std::array<int, 6> Results;       // answer when the physical button is pressed
};

const std::vector<TMappingCase>& MappingCases() {
    static const std::vector<TMappingCase> cases{
        {"two captions on the outer upper buttons",
         {QStringLiteral("A"), QStringLiteral("B")},
         {0, 2},
         {"A", nullptr, "B", nullptr, nullptr, nullptr},
         0,
         {100, 0, 101, 0, 0, 0}},
        {"invalid index left out and not counted",
         {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")},
         {5, -1, 0},
         {"C", nullptr, nullptr, nullptr, nullptr, "A"},
         5,
         {101, 0, 0, 0, 0, 100}},
        {"file exists: five captions",
         {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")},
         {0, 1, 3, 4, 5},
         {"1", "2", nullptr, "3", "4", "5"},
         0,
         {100, 101, 0, 102, 103, 104}},
        {"surplus captions and indices ignored",
         {QStringLiteral("A"), QStringLiteral("B")},
         {1, 6, 2},
         {nullptr, "A", nullptr, nullptr, nullptr, nullptr},
         1,
         {0, 100, 0, 0, 0, 0}},
        {"no valid caption: no button", {QStringLiteral("A")}, {}, {}, -1, {}},
    };
    return cases;
}

void ExpectButtons(TForm2& ADialog, const TMappingCase& ACase) {
    for (int i = 0; i < TForm2::ButtonCount; ++i) {
        QPushButton* button = ADialog.PhysicalButton(i);
        const bool shown = ACase.Shown[i] != nullptr;
        EXPECT_EQ(!button->isHidden(), shown) << ACase.Name << ", button " << i;
        if (shown) {
            EXPECT_EQ(button->text(), QString::fromUtf8(ACase.Shown[i])) << ACase.Name << ", button " << i;
        }
        EXPECT_EQ(button->isDefault(), i == ACase.DefaultButton) << ACase.Name << ", button " << i;
    }
}

TEST(MyDialogTest, MappingPlacesCaptionsAndAnswersWithTheirOrdinal) {
    for (const TMappingCase& test : MappingCases()) {
        TForm2 dialog;
        for (int pressed = 0; pressed < TForm2::ButtonCount; ++pressed) {
            dialog.PrepareWithButtonMapping(QStringLiteral("Вопрос"), QStringLiteral("Текст"), test.Captions,
                                            test.Indices, 4);
            ExpectButtons(dialog, test);
            if (test.Shown[pressed] == nullptr)
                continue;
            dialog.PhysicalButton(pressed)->click();
            EXPECT_EQ(dialog.ResultCode(), test.Results[pressed]) << test.Name << ", button " << pressed;
        }
        dialog.PrepareWithButtonMapping(QStringLiteral("Вопрос"), QStringLiteral("Текст"), test.Captions, test.Indices,
                                        4);
        dialog.reject();
        EXPECT_EQ(dialog.ResultCode(), TForm2::ClosedResult) << test.Name << ": closed without a button";
    }
}

TEST(MyDialogTest, PlainVariantPutsCaptionIOnButtonI) {
    TForm2 dialog;
    dialog.Prepare(QStringLiteral("Итог"), QStringLiteral("Готово"),
                   {QStringLiteral("OK"), QStringLiteral("Открыть"), QStringLiteral("Ещё")}, 3);
    const TMappingCase expected{"plain", {}, {}, {"OK", "Открыть", "Ещё", nullptr, nullptr, nullptr}, 0, {}};
    ExpectButtons(dialog, expected);
    dialog.PhysicalButton(2)->click();
    EXPECT_EQ(dialog.ResultCode(), 102);
}

// Each row of three buttons is one line: the same top and height, wherever a caption goes.
TEST(MyDialogTest, ButtonsOfARowLineUp) {
    TForm2 dialog;
    for (const int first : {0, 3}) {
        const QRect left = dialog.PhysicalButton(first)->geometry();
        for (int i = first + 1; i < first + 3; ++i) {
            EXPECT_EQ(dialog.PhysicalButton(i)->y(), left.y()) << i;
            EXPECT_EQ(dialog.PhysicalButton(i)->height(), left.height()) << i;
        }
    }
}

TEST(MyDialogTest, CaptionTextAndIcon) {
    struct TCase {
        int Code;
        std::optional<QStyle::StandardPixmap> Kind;
    };
    for (const TCase& test : {TCase{0, std::nullopt},
                              {1, QStyle::SP_MessageBoxWarning},
                              {2, QStyle::SP_MessageBoxCritical},
                              {3, QStyle::SP_MessageBoxInformation},
                              {4, QStyle::SP_MessageBoxQuestion},
                              {5, QStyle::SP_VistaShield},
                              {7, QStyle::SP_MessageBoxInformation},
                              {-1, QStyle::SP_MessageBoxInformation}})
        EXPECT_EQ(TForm2::MainIconKind(test.Code), test.Kind) << test.Code;

    TForm2 dialog;
    dialog.PrepareWithButtonMapping(QStringLiteral("Файл уже существует"), QStringLiteral("строка 1\nстрока 2"),
                                    {QStringLiteral("OK")}, {1}, 7);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Файл уже существует"));
    auto* text = dialog.findChild<QLabel*>(QStringLiteral("sLabel1"));
    auto* image = dialog.findChild<QLabel*>(QStringLiteral("sImage1"));
    ASSERT_TRUE(text && image);
    EXPECT_EQ(text->text(), QStringLiteral("строка 1\nстрока 2"));
    EXPECT_FALSE(image->pixmap().isNull()) << "code 7 shows the information icon";
    dialog.PrepareWithButtonMapping(QStringLiteral("Без значка"), QString(), {QStringLiteral("OK")}, {1}, 0);
    EXPECT_TRUE(image->pixmap().isNull()) << "code 0 shows none";
    EXPECT_EQ(dialog.size(), QSize(530, 217));
}

// A path too long for the dialog keeps both ends on screen; the text itself stays whole.
TEST(TForm2Test, ALongPathIsShortenedInItsMiddleOnlyWhenDrawn) {
    const QString path = QStringLiteral("/home/фотограф/сканы/") + QStringLiteral("плёнка-").repeated(20) +
                         QStringLiteral("кадр-36.tif");
    const QString text = QStringLiteral("Папка не существует: ") + path;
    TForm2 dialog;
    dialog.Prepare(QStringLiteral("Ошибка"), text, {QStringLiteral("OK")}, 1);
    const auto* label = dialog.findChild<TElidedLabel*>(QStringLiteral("sLabel1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), text);
    if (!WindowFontFamilies().contains(QFontInfo(label->font()).family()))
        GTEST_SKIP() << "none of the window's fonts is installed; the dialog draws in "
                     << QFontInfo(label->font()).family().toStdString();
    const QString shown = label->DisplayedText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Папка не существует: /home/"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("кадр-36.tif"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width());
}

TEST(TForm2Test, EscapeNeitherClosesNorAnswers) {
    TForm2 dialog;
    dialog.Prepare(QStringLiteral("Вопрос"), QStringLiteral("Текст"), {QStringLiteral("Да"), QStringLiteral("Нет")}, 4);
    dialog.open();
    ASSERT_TRUE(dialog.isVisible());
    QWidget* receiver = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(receiver, &press);
    EXPECT_TRUE(dialog.isVisible());
    dialog.PhysicalButton(1)->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.ResultCode(), 101);
}

} // namespace
