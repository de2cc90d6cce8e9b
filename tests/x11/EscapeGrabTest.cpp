// The real keyboard hook on an X server: during a run, Escape pressed while another X client has
// the focus reaches the window and not that client; after the run it reaches the client again.
// The presses are made with XTest, which goes through the server's grab logic as a keyboard does.
#include "Form1Fixture.h"

#include "TempDir.h"
#include "TiffBuilder.h"

#include <QApplication>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

namespace fs = std::filesystem;
using namespace kvaderon::test;

// Another client with a window of its own that has the keyboard focus.
class TOtherClient {
public:
    TOtherClient() {
        FDisplay = XOpenDisplay(nullptr);
        if (FDisplay == nullptr)
            return;
        FWindow = XCreateSimpleWindow(FDisplay, DefaultRootWindow(FDisplay), 0, 0, 100, 100, 0, 0, 0);
        XSelectInput(FDisplay, FWindow, KeyPressMask | StructureNotifyMask);
        XMapWindow(FDisplay, FWindow);
        XEvent event;
        do
            XWindowEvent(FDisplay, FWindow, StructureNotifyMask, &event);
        while (event.type != MapNotify);
        XSetInputFocus(FDisplay, FWindow, RevertToPointerRoot, CurrentTime);
        XSync(FDisplay, False);
    }
    ~TOtherClient() {
        if (FDisplay != nullptr)
            XCloseDisplay(FDisplay);
    }

    bool IsOpen() const { return FDisplay != nullptr; }

    void PressEscape() {
        const KeyCode escape = XKeysymToKeycode(FDisplay, XK_Escape);
        XTestFakeKeyEvent(FDisplay, escape, True, 0);
        XTestFakeKeyEvent(FDisplay, escape, False, 0);
        XSync(FDisplay, False);
    }

    // The key presses that reached the client's window so far.
    int KeyPresses() {
        XSync(FDisplay, False);
        XEvent event;
        while (XCheckWindowEvent(FDisplay, FWindow, KeyPressMask, &event))
            ++FKeyPresses;
        return FKeyPresses;
    }

private:
    Display* FDisplay = nullptr;
    Window FWindow = 0;
    int FKeyPresses = 0;
};

TEST(EscapeGrabTest, EscapeInAnotherClientInterruptsTheRunAndOnlyDuringIt) {
    TOtherClient other;
    ASSERT_TRUE(other.IsOpen()) << "no X server";

    TTempDir dir;
    auto script = std::make_shared<TScript>();
    TForm1Services services;
    services.DialogManager = std::make_unique<TScriptedDialogManager>(script);
    TForm1 form(std::move(services));
    TForm1TestAccess access{form};
    ChooseTwoFilesOneTargetExisting(access, dir.Path());

    other.PressEscape();
    ASSERT_TRUE(WaitUntil([&] { return other.KeyPresses() == 1; })) << "the client has the focus";

    int keyPressesDuringRun = -1;
    script->Answers = {100, 101, 101};
    script->OnQuestion = [&](const TDialogQuestion& AQuestion) {
        if (AQuestion.Caption != QStringLiteral("Файл уже существует"))
            return;
        other.PressEscape();
        EXPECT_TRUE(WaitUntil([&] { return access.CancelRequested(); }));
        keyPressesDuringRun = other.KeyPresses() - 1;
    };
    form.findChild<QPushButton*>(QStringLiteral("btnInvert"))->click();

    EXPECT_EQ(script->Captions(),
              (QStringList{QStringLiteral("Файл уже существует"), QStringLiteral("Прерывание процесса"),
                           QStringLiteral("Результаты обработки")}));
    EXPECT_EQ(keyPressesDuringRun, 0);
    EXPECT_TRUE(fs::exists(dir / "out" / "b.tif")) << "continued with the named file";

    other.PressEscape();
    EXPECT_TRUE(WaitUntil([&] { return other.KeyPresses() == 2; })) << "the grab ends with the run";
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
