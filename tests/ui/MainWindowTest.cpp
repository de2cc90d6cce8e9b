// The main window: start-up state, buttons, progress bar reset, theme submenu, messages.
#include "Form1Fixture.h"
#include "ResourceIcon.h"
#include "Version.h"
#include "platform/StyleManager.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QActionGroup>
#include <QImage>
#include <QMenu>
#include <QRegularExpression>
#include <QStyle>
#include <QTimer>

namespace {

struct TControlState {
    const char* Name;
    bool Enabled;
};

TEST_F(Form1Test, StartsWithCaptionLabelsAndIdleButtons) {
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Kvaderon v.") + GetVersionText());
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+ \\(сборка \\d+\\)$")).match(GetVersionText()).hasMatch())
        << GetVersionText().toStdString();
    EXPECT_EQ(LabelText("lblFileNames"), QStringLiteral("Файлы не выбраны"));
    EXPECT_EQ(LabelText("lblFolderName"), QStringLiteral("Папка не выбрана"));
    EXPECT_EQ(LabelText("lblStatus"), QStringLiteral("Выберите файлы и целевую папку"));
    EXPECT_EQ(Control<QProgressBar>("ProgressBar2")->value(), 0);
    EXPECT_EQ(TStyleManager::Instance().ActiveStyleName(), QStringLiteral("Windows10 Charcoal"));
    for (const TControlState& state : {TControlState{"BitBtn1", true},
                                       {"BitBtn2", true},
                                       {"btnInvert", false},
                                       {"btnCancel", false},
                                       {"BitBtn5", false},
                                       {"btnTest", false},
                                       {"SpeedButton1", true},
                                       {"SpeedButton2", true}})
        EXPECT_EQ(Control(state.Name)->isEnabled(), state.Enabled) << state.Name;
}

TEST_F(Form1Test, ControlsCarryTheirCaptionsAndHints) {
    EXPECT_EQ(Control<QPushButton>("BitBtn1")->text(), QStringLiteral("Выбрать файлы TIFF"));
    EXPECT_EQ(Control<QPushButton>("BitBtn2")->text(), QStringLiteral("Куда сохранять"));
    EXPECT_EQ(Control<QPushButton>("btnInvert")->text(), QStringLiteral("Инвертировать TIFF"));
    EXPECT_EQ(Control<QPushButton>("btnCancel")->text(), QStringLiteral("Прервать инвертирование"));
    EXPECT_EQ(Control<QPushButton>("BitBtn5")->text(), QStringLiteral("Открыть папку назначения"));
    EXPECT_EQ(Control<QPushButton>("btnTest")->text(), QStringLiteral("Проверить данные на 16-битность"));
    EXPECT_EQ(Control("btnTest")->toolTip(),
              QStringLiteral("Инструмент анализа данных TIFF-файла.\n"
                             "Определяет, действительно ли количество значений в изображении\n"
                             "соответствует 16-битному формату."));
    EXPECT_EQ(Control("SpeedButton2")->toolTip(), QStringLiteral("Настройки"));
    EXPECT_EQ(Control("SpeedButton1")->toolTip(), QStringLiteral("Справка"));
    EXPECT_EQ(Control("btnTest")->toolTipDuration(), 10000);
    // Every icon draws at the buttons' size, not merely set: an SVG icon draws nothing where Qt
    // has no SVG support.
    const auto draws = [](const QIcon& AIcon) {
        const QImage image = AIcon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) != 0)
                    return true;
        return false;
    };
    for (const char* name :
         {"BitBtn1", "BitBtn2", "btnInvert", "btnCancel", "BitBtn5", "btnTest", "SpeedButton1", "SpeedButton2"})
        EXPECT_TRUE(draws(Control<QAbstractButton>(name)->icon())) << name;
    EXPECT_TRUE(draws(ResourceIcon(QStringLiteral("kvaderon")))) << "the window's icon";
}

TEST_F(Form1Test, ResizingKeepsAnchorsAndDockedControls) {
    Form->show();
    Form->resize(824, 542);
    ASSERT_TRUE(WaitUntil([this] { return Control("Panel1")->width() == 824; }));
    const QRect panel = Control("Panel1")->rect();
    EXPECT_EQ(Control("BitBtn1")->geometry(), QRect(5, 5, 153, 25));
    EXPECT_EQ(panel.width() - Control("btnTest")->geometry().right() - 1, 5);
    EXPECT_EQ(panel.width() - Control("SpeedButton1")->geometry().right() - 1, 5);
    EXPECT_EQ(Control("ProgressBar2")->geometry(), QRect(4, panel.height() - 21, panel.width() - 8, 17));
    Form->hide();
}

// The log keeps its place below the buttons and takes every pixel the window grows by, down to
// the progress bar: at the form's size it is the form's 291 pixels high, at a larger size higher.
TEST_F(Form1Test, LogGrowsWithTheWindow) {
    Form->show();
    for (const QSize size : {QSize(624, 442), QSize(1000, 900)}) {
        Form->resize(size);
        ASSERT_TRUE(WaitUntil([this, size] { return Control("Panel1")->size() == size; }));
        const QRect panel = Control("Panel1")->rect();
        EXPECT_EQ(Control("RichEdit1")->geometry(), QRect(4, 130, panel.width() - 8, panel.height() - 21 - 130))
            << size.width() << "x" << size.height();
    }
    Form->hide();
}

// At the smallest size the log gives way: it starts below the buttons and keeps the progress bar
// beneath it.
TEST_F(Form1Test, AtTheSmallestSizeTheLogGivesWay) {
    Form->show();
    Form->resize(Form->minimumSize());
    ASSERT_TRUE(WaitUntil([this] { return Form->size() == Form->minimumSize(); }));
    const QRect log = Control("RichEdit1")->geometry();
    const QRect buttons = Control("btnTest")->geometry().united(Control("btnCancel")->geometry());
    EXPECT_GT(log.top(), buttons.bottom());
    EXPECT_EQ(log.bottom() + 1, Control("ProgressBar2")->geometry().top());
    EXPECT_LE(Control("ProgressBar2")->geometry().bottom(), Control("Panel1")->height());
    Form->hide();
}

// A screen reader speaks a name for every button, the icon-only gear and help buttons included.
TEST_F(Form1Test, EveryButtonHasASpokenName) {
    for (QAbstractButton* button : Form->findChildren<QAbstractButton*>()) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << button->objectName().toStdString();
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Control("SpeedButton2"))->text(QAccessible::Name),
              QStringLiteral("Настройки"));
}

TEST_F(Form1Test, UpdateButtonsFollowsFilesAndDestination) {
    struct TCase {
        bool Files;
        bool Folder;
        bool Open;
        bool Invert;
        bool Test;
    };
    for (const TCase& test : {TCase{false, false, false, false, false},
                              {true, false, false, false, true},
                              {false, true, true, false, false},
                              {true, true, true, true, true}}) {
        Control("BitBtn1")->setEnabled(false);
        Control("BitBtn2")->setEnabled(false);
        Control("btnCancel")->setEnabled(true);
        Access().InputFiles() = test.Files ? QStringList{QStringLiteral("/a/b.tif")} : QStringList{};
        Access().OutputFolder() = test.Folder ? QStringLiteral("/out/") : QString();
        Access().UpdateButtons();
        EXPECT_TRUE(Control("BitBtn1")->isEnabled());
        EXPECT_TRUE(Control("BitBtn2")->isEnabled());
        EXPECT_EQ(Control("BitBtn5")->isEnabled(), test.Open);
        EXPECT_EQ(Control("btnInvert")->isEnabled(), test.Invert);
        EXPECT_EQ(Control("btnTest")->isEnabled(), test.Test);
        EXPECT_TRUE(Control("btnCancel")->isEnabled()) << "UpdateButtons leaves the abort button alone";
    }
}

TEST_F(Form1Test, ProgressBarDropsToZeroAfterAPauseOrAtOnce) {
    auto* bar = Control<QProgressBar>("ProgressBar2");
    bar->setValue(100);
    Access().ResetProgressBars(false);
    EXPECT_EQ(bar->value(), 100) << "the bar stays full for a moment";
    EXPECT_TRUE(WaitUntil([bar] { return bar->value() == 0; }));

    bar->setValue(100);
    Access().ResetProgressBars(false);
    Access().ResetProgressBars(true);
    EXPECT_EQ(bar->value(), 0);
    bar->setValue(40);
    bool probeFired = false;
    QTimer::singleShot(1500, [&probeFired] { probeFired = true; });
    ASSERT_TRUE(WaitUntil([&probeFired] { return probeFired; }));
    EXPECT_EQ(bar->value(), 40) << "an immediate reset cancels the pending one";
}

TEST_F(Form1Test, ThemeSubmenuListsWindowsFirstAndChecksTheActiveTheme) {
    QMenu* menu = Access().StyleMenu();
    EXPECT_EQ(menu->title(), QStringLiteral("Темы интерфейса"));
    const QList<QAction*> actions = menu->actions();
    const QStringList names = TStyleManager::Instance().StyleNames();
    ASSERT_EQ(actions.size(), names.size() + 1);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Windows"));
    EXPECT_TRUE(actions[1]->isSeparator());
    QStringList listed;
    for (QAction* action : actions.mid(2))
        listed.append(action->text());
    EXPECT_EQ(listed, names.mid(1));
    ASSERT_NE(actions[0]->actionGroup(), nullptr);
    EXPECT_TRUE(actions[0]->actionGroup()->isExclusive()) << "radio marks";
    EXPECT_TRUE(menu->style()->styleHint(QStyle::SH_Menu_Scrollable, nullptr, menu))
        << "scrolls rather than covering the screen";

    auto checkedNames = [&menu] {
        QStringList checked;
        for (QAction* action : menu->actions())
            if (action->isChecked())
                checked.append(action->text());
        return checked;
    };
    EXPECT_EQ(checkedNames(), QStringList{QStringLiteral("Windows10 Charcoal")});
    for (QAction* action : actions)
        if (action->text() == QStringLiteral("Windows10"))
            action->trigger();
    EXPECT_EQ(TStyleManager::Instance().ActiveStyleName(), QStringLiteral("Windows10"));
    EXPECT_EQ(checkedNames(), QStringList{QStringLiteral("Windows10")});
    EXPECT_EQ(Access().OutputColors(), Access().Settings().OutputColorsBW.W);
    EXPECT_EQ(Access().Settings().LastStyle, "Windows10 Charcoal") << "a menu choice is not written into the settings";
    EXPECT_EQ(Form->CurrentSettings().App.LastStyle, "Windows10") << "closing stores the active theme";
}

TEST_F(Form1Test, MessageDialogHasOneOkButtonInTheMiddle) {
    Access().ShowMessageDialog(QStringLiteral("Текст"), QStringLiteral("Заголовок"), true);
    Access().ShowMessageDialog(QStringLiteral("Сведения"), QStringLiteral("Итог"), false);
    const std::vector<TDialogQuestion> expected{
        {QStringLiteral("Заголовок"), QStringLiteral("Текст"), {QStringLiteral("OK")}, {1}, 1},
        {QStringLiteral("Итог"), QStringLiteral("Сведения"), {QStringLiteral("OK")}, {1}, 3},
    };
    EXPECT_EQ(Script->Questions, expected);
}

} // namespace
