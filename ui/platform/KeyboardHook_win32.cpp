// The keyboard hook on Windows: a low-level keyboard hook for every thread of the desktop. The
// system calls it on the thread that installed it, the user-interface thread, whenever that
// thread processes messages. No Qt here: this source builds on its own.
#include "KeyboardHook.h"

#include <windows.h>

namespace {

class TWin32KeyboardHook;

// The system calls the hook procedure without a context: this is the hook that is installed.
TWin32KeyboardHook* GInstalledHook = nullptr;

LRESULT CALLBACK KeyboardHookCallback(int nCode, WPARAM wParam, LPARAM lParam);

class TWin32KeyboardHook final : public TKeyboardHook {
public:
    ~TWin32KeyboardHook() override { RemoveKeyboardHook(); }

    bool InstallKeyboardHook(TEscapeAction AOnEscape) override {
        if (FHook != nullptr)
            return true;
        FOnEscape = std::move(AOnEscape);
        FHook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookCallback, GetModuleHandleW(nullptr), 0);
        if (FHook != nullptr)
            GInstalledHook = this;
        return FHook != nullptr;
    }

    void RemoveKeyboardHook() override {
        if (FHook == nullptr)
            return;
        UnhookWindowsHookEx(FHook);
        FHook = nullptr;
        if (GInstalledHook == this)
            GInstalledHook = nullptr;
    }

    bool IsInstalled() const override { return FHook != nullptr; }

    // Escape going down is taken away from every other receiver; everything else passes.
    LRESULT KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (nCode == HC_ACTION && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN) && key->vkCode == VK_ESCAPE) {
            if (FOnEscape)
                FOnEscape();
            return 1;
        }
        return CallNextHookEx(FHook, nCode, wParam, lParam);
    }

private:
    HHOOK FHook = nullptr;
    TEscapeAction FOnEscape;
};

LRESULT CALLBACK KeyboardHookCallback(int nCode, WPARAM wParam, LPARAM lParam) {
    if (GInstalledHook != nullptr)
        return GInstalledHook->KeyboardHookProc(nCode, wParam, lParam);
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

} // namespace

std::unique_ptr<TKeyboardHook> CreateKeyboardHook() {
    return std::make_unique<TWin32KeyboardHook>();
}
