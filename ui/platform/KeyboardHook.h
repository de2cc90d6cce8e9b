// TKeyboardHook: while installed, every Escape press is taken away from whatever would receive it
// and reported to the program instead. On Windows it watches the whole desktop (a low-level
// keyboard hook); on X11 a grab of Escape on the root window does the same; elsewhere (Wayland,
// XWayland, a grab refused) it sees Escape only while a window of the program has the focus.
// Free of Qt in this header so that the Windows source builds on its own.
#pragma once

#include <functional>
#include <memory>

class TKeyboardHook {
public:
    // Runs on the user-interface thread, once for every Escape press.
    using TEscapeAction = std::function<void()>;

    virtual ~TKeyboardHook() = default;

    // Nothing happens when the hook is already installed. False when it could not be installed:
    // then Escape has no effect.
    virtual bool InstallKeyboardHook(TEscapeAction AOnEscape) = 0;
    // Nothing happens when the hook is not installed.
    virtual void RemoveKeyboardHook() = 0;
    virtual bool IsInstalled() const = 0;
};

// The hook of the platform the program runs on.
std::unique_ptr<TKeyboardHook> CreateKeyboardHook();
