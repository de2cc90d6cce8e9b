// The window menu on Windows: the system menu of the window's title bar, to which the submenu is
// added as native items that mirror the actions of the Qt menu.
#include "platform/WindowMenu.h"

#include <QAbstractNativeEventFilter>
#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Windows keeps the low four bits of a system command for itself, and the identifiers from
// 0xF000 up are its own commands.
constexpr UINT CommandStep = 16;

class TSystemMenuFilter : public QObject, public QAbstractNativeEventFilter {
public:
    TSystemMenuFilter(QWidget* AWindow, QMenu* ASubmenu) : QObject(AWindow), FWindow(AWindow), FSubmenu(ASubmenu) {
        BuildNativeMenu();
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~TSystemMenuFilter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& AEventType, void* AMessage, qintptr* AResult) override {
        if (AEventType != "windows_generic_MSG" || FWindow.isNull() || FSubmenu.isNull())
            return false;
        const MSG* message = static_cast<const MSG*>(AMessage);
        if (message->hwnd != reinterpret_cast<HWND>(FWindow->winId()))
            return false;
        if (message->message == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(message->wParam) == FPopup) {
            UpdateCheckMarks();
            return false;
        }
        if (message->message == WM_SYSCOMMAND) {
            const UINT command = UINT(message->wParam) & 0xFFF0;
            if (command >= CommandStep && command / CommandStep <= UINT(FActions.size())) {
                if (QAction* action = FActions[command / CommandStep - 1])
                    action->trigger();
                // A posted message (as the menu's choice is) comes from Qt's event dispatcher,
                // which passes no result.
                if (AResult != nullptr)
                    *AResult = 0;
                return true;
            }
        }
        return false;
    }

private:
    void BuildNativeMenu() {
        const HWND window = reinterpret_cast<HWND>(FWindow->winId());
        const HMENU systemMenu = GetSystemMenu(window, FALSE);
        if (systemMenu == nullptr)
            return;
        const int count = GetMenuItemCount(systemMenu);
        if (count > 0 && (GetMenuState(systemMenu, UINT(count - 1), MF_BYPOSITION) & MF_SEPARATOR) == 0)
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        FPopup = CreatePopupMenu();
        for (QAction* action : FSubmenu->actions()) {
            if (action->isSeparator()) {
                AppendMenuW(FPopup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            FActions.push_back(action);
            const std::wstring text = action->text().toStdWString();
            AppendMenuW(FPopup, MF_STRING, UINT_PTR(FActions.size() * CommandStep), text.c_str());
        }
        const std::wstring title = FSubmenu->title().toStdWString();
        AppendMenuW(systemMenu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(FPopup), title.c_str());
        UpdateCheckMarks();
    }

    void UpdateCheckMarks() {
        for (std::size_t i = 0; i < FActions.size(); ++i) {
            const bool checked = !FActions[i].isNull() && FActions[i]->isChecked();
            CheckMenuItem(FPopup, UINT((i + 1) * CommandStep), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
        }
    }

    QPointer<QWidget> FWindow;
    QPointer<QMenu> FSubmenu;
    HMENU FPopup = nullptr;
    std::vector<QPointer<QAction>> FActions;
};

} // namespace

void AttachToWindowMenu(QWidget* AWindow, QMenu* ASubmenu) {
    new TSystemMenuFilter(AWindow, ASubmenu);
}
