// The window's Windows layers with Qt's windows platform: the theme submenu in the real system menu
// of the title bar, and Escape through the low-level keyboard hook during a real batch. Runs on
// Windows and under Wine.
#include "Form1Fixture.h"
#include "platform/StyleManager.h"

#include "TempDir.h"
#include "TiffBuilder.h"

#include <QApplication>
#include <QElapsedTimer>

#include <windows.h>

#include <string>

namespace {

namespace fs = std::filesystem;
using namespace kvaderon::test;

QString MenuText(HMENU AMenu, int APosition) {
    wchar_t text[128] = {};
    GetMenuStringW(AMenu, UINT(APosition), text, int(std::size(text)), MF_BYPOSITION);
    return QString::fromWCharArray(text);
}

int PositionOf(HMENU AMenu, const QString& AText) {
    for (int i = 0; i < GetMenuItemCount(AMenu); ++i)
        if (MenuText(AMenu, i) == AText)
            return i;
    return -1;
}

void ProcessEventsFor(qint64 AMilliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < AMilliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool IsChecked(HMENU AMenu, int APosition) {
    return (GetMenuState(AMenu, UINT(APosition), MF_BYPOSITION) & MF_CHECKED) != 0;
}

TEST(SystemMenu, TheThemeSubmenuShowsTheActiveThemeAndSwitchesIt) {
    TStyleManager& styles = TStyleManager::Instance();
    const QString original = styles.ActiveStyleName();
    auto script = std::make_shared<TScript>();
    TForm1Services services;
    services.DialogManager = std::make_unique<TScriptedDialogManager>(script);
    TForm1 form(std::move(services));
    form.show();
    const HWND window = reinterpret_cast<HWND>(form.winId());
    const HMENU systemMenu = GetSystemMenu(window, FALSE);
    ASSERT_NE(systemMenu, nullptr);
    const int last = GetMenuItemCount(systemMenu) - 1;
    EXPECT_EQ(MenuText(systemMenu, last), QStringLiteral("Темы интерфейса"));
    const HMENU themes = GetSubMenu(systemMenu, last);
    ASSERT_NE(themes, nullptr);
    const QStringList names = styles.StyleNames();
    ASSERT_GE(names.size(), 3);
    EXPECT_EQ(GetMenuItemCount(themes), names.size() + 1) << "the themes and a separator";

    // Two carried themes: the one chosen first is active when the second is chosen.
    const QString first = names[1];
    const QString second = names.last();
    const int firstPosition = PositionOf(themes, first);
    const int secondPosition = PositionOf(themes, second);
    ASSERT_GE(firstPosition, 0) << first.toStdString();
    ASSERT_GE(secondPosition, 0) << second.toStdString();
    // Choosing an item in the system menu posts a system command with the item's identifier.
    const auto choose = [&](int APosition, const QString& AName) {
        ASSERT_TRUE(PostMessageW(window, WM_SYSCOMMAND, GetMenuItemID(themes, APosition), 0));
        EXPECT_TRUE(WaitUntil([&] { return styles.ActiveStyleName() == AName; }))
            << styles.ActiveStyleName().toStdString() << " instead of " << AName.toStdString();
    };
    choose(firstPosition, first);
    choose(secondPosition, second);
    // The check marks are set as the submenu opens.
    SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(themes), MAKELPARAM(last, TRUE));
    EXPECT_FALSE(IsChecked(themes, firstPosition));
    EXPECT_TRUE(IsChecked(themes, secondPosition));
    // The system's own commands still reach the window: minimising is not taken for a theme.
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }));
    EXPECT_EQ(styles.ActiveStyleName(), second);
    styles.TrySetStyle(original);
}

void PressEscape() {
    for (const DWORD flags : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_ESCAPE;
        input.ki.dwFlags = flags;
        ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
    }
}

TEST(KeyboardHook, EscapeDuringARealBatchInterruptsIt) {
    TTempDir dir;
    auto script = std::make_shared<TScript>();
    TForm1Services services;
    services.DialogManager = std::make_unique<TScriptedDialogManager>(script);
    TForm1 form(std::move(services));
    TForm1TestAccess access{form};
    ChooseTwoFilesOneTargetExisting(access, dir.Path());

    script->Answers = {100, 101, 101};
    script->OnQuestion = [&](const TDialogQuestion& AQuestion) {
        if (AQuestion.Caption != QStringLiteral("Файл уже существует"))
            return;
        PressEscape();
        EXPECT_TRUE(WaitUntil([&] { return access.CancelRequested(); }));
    };
    form.findChild<QPushButton*>(QStringLiteral("btnInvert"))->click();

    EXPECT_EQ(script->Captions(),
              (QStringList{QStringLiteral("Файл уже существует"), QStringLiteral("Прерывание процесса"),
                           QStringLiteral("Результаты обработки")}));
    EXPECT_TRUE(fs::exists(dir / "out" / "b.tif")) << "continued with the named file";

    // After the run the hook is gone: Escape changes nothing.
    PressEscape();
    ProcessEventsFor(500);
    EXPECT_FALSE(access.CancelRequested());
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "windows");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
