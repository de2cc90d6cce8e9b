// The low-level keyboard hook with keys injected by SendInput: Escape going down reaches the
// program once, other keys and Escape going up do not, and a removed hook hears nothing.
#include "KeyboardHook.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <initializer_list>

namespace {

struct TKey {
    WORD VirtualKey;
    bool Up;
};

void SendKeys(std::initializer_list<TKey> AKeys) {
    for (const TKey& key : AKeys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.VirtualKey;
        input.ki.dwFlags = key.Up ? KEYEVENTF_KEYUP : 0;
        ASSERT_EQ(::SendInput(1, &input, sizeof input), 1u);
    }
}

// The system calls the hook while this thread processes messages.
bool ProcessMessagesUntil(const std::function<bool()>& ACondition) {
    const ULONGLONG deadline = ::GetTickCount64() + 10000;
    while (!ACondition()) {
        if (::GetTickCount64() > deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&message);
    }
    return true;
}

TEST(KeyboardHook, EscapeGoingDownIsReportedOnceOtherKeysPass) {
    const auto hook = CreateKeyboardHook();
    int escapes = 0;
    ASSERT_TRUE(hook->InstallKeyboardHook([&] { ++escapes; }));
    EXPECT_TRUE(hook->IsInstalled());
    EXPECT_TRUE(hook->InstallKeyboardHook([] { FAIL() << "a second installation replaced the action"; }));

    // Keys are hooked in the order they were sent: once the last Escape is in, all of them are.
    SendKeys({{VK_SPACE, false},
              {VK_SPACE, true},
              {VK_ESCAPE, false},
              {VK_ESCAPE, true},
              {'A', false},
              {'A', true},
              {VK_ESCAPE, false},
              {VK_ESCAPE, true}});
    ASSERT_TRUE(ProcessMessagesUntil([&] { return escapes == 2; })) << escapes;
    SendKeys({{VK_ESCAPE, false}});
    ASSERT_TRUE(ProcessMessagesUntil([&] { return escapes == 3; })) << escapes;
    SendKeys({{VK_ESCAPE, true}});
}

TEST(KeyboardHook, RemovedHookHearsNothing) {
    const auto removed = CreateKeyboardHook();
    int heardByRemoved = 0;
    ASSERT_TRUE(removed->InstallKeyboardHook([&] { ++heardByRemoved; }));
    removed->RemoveKeyboardHook();
    EXPECT_FALSE(removed->IsInstalled());
    removed->RemoveKeyboardHook();

    const auto later = CreateKeyboardHook();
    int heardByLater = 0;
    ASSERT_TRUE(later->InstallKeyboardHook([&] { ++heardByLater; }));
    SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    ASSERT_TRUE(ProcessMessagesUntil([&] { return heardByLater == 1; }));
    EXPECT_EQ(heardByRemoved, 0);
}

} // namespace
