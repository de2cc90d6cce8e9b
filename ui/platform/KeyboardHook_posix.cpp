// The keyboard hook outside Windows. On X11 (but XWayland) Escape is grabbed on the root window
// for every combination of the lock keys, so that a press in any application comes to us and not
// to it. Where that is impossible (Wayland, XWayland, another client holding the grab) an
// application-wide event filter takes Escape while a window of the program has the focus.
#include "KeyboardHook.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QKeyEvent>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <array>
#include <cstdlib>

// Xlib's event names are macros that hide Qt's event types of the same names.
#undef KeyPress
#undef KeyRelease

namespace {

bool IsX11Session() {
    return QGuiApplication::platformName() == QLatin1String("xcb") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The modifier bit the Num Lock key sets, 0 when the keyboard has none.
unsigned NumLockMask(Display* ADisplay) {
    const KeyCode numLock = XKeysymToKeycode(ADisplay, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(ADisplay);
    unsigned mask = 0;
    for (int modifier = 0; map != nullptr && numLock != 0 && modifier < 8; ++modifier) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            if (map->modifiermap[modifier * map->max_keypermod + i] == numLock)
                mask = 1u << modifier;
        }
    }
    if (map != nullptr)
        XFreeModifiermap(map);
    return mask;
}

// A passive grab of Escape on the root window. The events it brings are reported to the root
// window (owner events off), even when a window of ours has the focus, and never reach the
// focused client.
class TX11EscapeGrab final : public QAbstractNativeEventFilter {
public:
    bool Grab(TKeyboardHook::TEscapeAction* AOnEscape) {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 == nullptr || x11->display() == nullptr || x11->connection() == nullptr)
            return false;
        FConnection = x11->connection();
        FRoot = DefaultRootWindow(x11->display());
        FKeyCode = XKeysymToKeycode(x11->display(), XK_Escape);
        if (FKeyCode == 0)
            return false;
        const unsigned numLock = NumLockMask(x11->display());
        FModifiers = {0u, unsigned(XCB_MOD_MASK_LOCK), numLock, XCB_MOD_MASK_LOCK | numLock};
        bool grabbed = true;
        for (const unsigned modifiers : FModifiers) {
            const xcb_void_cookie_t cookie = xcb_grab_key_checked(FConnection, 0, FRoot, std::uint16_t(modifiers),
                                                                  FKeyCode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            if (xcb_generic_error_t* error = xcb_request_check(FConnection, cookie)) {
                std::free(error);
                grabbed = false;
            }
        }
        if (!grabbed) {
            Ungrab();
            return false;
        }
        FOnEscape = AOnEscape;
        QCoreApplication::instance()->installNativeEventFilter(this);
        return true;
    }

    void Ungrab() {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        for (const unsigned modifiers : FModifiers)
            xcb_ungrab_key(FConnection, FKeyCode, FRoot, std::uint16_t(modifiers));
        xcb_flush(FConnection);
        FOnEscape = nullptr;
    }

    bool nativeEventFilter(const QByteArray& AEventType, void* AMessage, qintptr*) override {
        if (AEventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(AMessage);
        const std::uint8_t type = event->response_type & 0x7F;
        if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
            return false;
        const auto* key = static_cast<const xcb_key_press_event_t*>(AMessage);
        if (key->detail != FKeyCode || key->event != FRoot)
            return false;
        if (type == XCB_KEY_PRESS && FOnEscape != nullptr && *FOnEscape)
            (*FOnEscape)();
        return true;
    }

private:
    xcb_connection_t* FConnection = nullptr;
    xcb_window_t FRoot = 0;
    xcb_keycode_t FKeyCode = 0;
    std::array<unsigned, 4> FModifiers{};
    TKeyboardHook::TEscapeAction* FOnEscape = nullptr;
};

// Escape pressed in any window of the program, taken before the window sees it.
class TApplicationEscapeFilter final : public QObject {
public:
    explicit TApplicationEscapeFilter(TKeyboardHook::TEscapeAction* AOnEscape) : FOnEscape(AOnEscape) {}

protected:
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override {
        if (AEvent->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(AEvent)->key() == Qt::Key_Escape) {
            if (!static_cast<QKeyEvent*>(AEvent)->isAutoRepeat() && *FOnEscape)
                (*FOnEscape)();
            return true;
        }
        return QObject::eventFilter(AWatched, AEvent);
    }

private:
    TKeyboardHook::TEscapeAction* FOnEscape;
};

class TPosixKeyboardHook final : public TKeyboardHook {
public:
    ~TPosixKeyboardHook() override { RemoveKeyboardHook(); }

    bool InstallKeyboardHook(TEscapeAction AOnEscape) override {
        if (IsInstalled())
            return true;
        FOnEscape = std::move(AOnEscape);
        if (IsX11Session() && FGrab.Grab(&FOnEscape)) {
            FGrabbed = true;
            return true;
        }
        if (QCoreApplication::instance() == nullptr)
            return false;
        FFilter = std::make_unique<TApplicationEscapeFilter>(&FOnEscape);
        QCoreApplication::instance()->installEventFilter(FFilter.get());
        return true;
    }

    void RemoveKeyboardHook() override {
        if (FGrabbed)
            FGrab.Ungrab();
        FGrabbed = false;
        FFilter.reset();
    }

    bool IsInstalled() const override { return FGrabbed || FFilter != nullptr; }

private:
    TEscapeAction FOnEscape;
    TX11EscapeGrab FGrab;
    bool FGrabbed = false;
    std::unique_ptr<TApplicationEscapeFilter> FFilter;
};

} // namespace

std::unique_ptr<TKeyboardHook> CreateKeyboardHook() {
    return std::make_unique<TPosixKeyboardHook>();
}
