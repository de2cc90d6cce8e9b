// A main window with scripted collaborators: dialogs answered from a list, choosers returning
// what the test set, a shell that only records, a keyboard hook pressed by the test and a clock
// it sets. No dialog, chooser or file manager opens.
#pragma once

#include "ColorText.h"
#include "DialogManager.h"
#include "ProcessingState.h"
#include "StylesSystemMenu.h"
#include "TiffBuilder.h"
#include "Unit1.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

inline void PrintTo(const QString& AText, std::ostream* AStream) {
    *AStream << '"' << AText.toStdString() << '"';
}

inline void PrintTo(const QStringList& ATexts, std::ostream* AStream) {
    *AStream << '{' << ATexts.join(QStringLiteral(", ")).toStdString() << '}';
}

struct TDialogQuestion {
    QString Caption;
    QString Text;
    QStringList ButtonCaptions;
    QList<int> ButtonIndices;
    int MainIcon = 0;

    bool operator==(const TDialogQuestion&) const = default;
};

// What the scripted collaborators saw, shared with the test after the window took them over.
struct TScript {
    std::vector<TDialogQuestion> Questions;
    std::deque<int> Answers;
    // Runs while a question is open, before it is answered.
    std::function<void(const TDialogQuestion&)> OnQuestion;
    // Whether the keyboard hook was installed while each question was open.
    std::vector<bool> HookInstalledAtQuestion;
    QStringList NextInputFiles;
    std::optional<QString> NextOutputFolder;
    QStringList StartFolders;
    QStringList OpenedFolders;
    bool OpenFolderSucceeds = true;
    // The desktop's light or dark setting a first start follows.
    bool SystemIsDark = true;
    std::uint64_t Clock = 0;

    // The captions of the questions asked, in order.
    QStringList Captions() const {
        QStringList captions;
        for (const TDialogQuestion& question : Questions)
            captions.append(question.Caption);
        return captions;
    }
    bool HookInstalled = false;
    int HookInstallCount = 0;
    TKeyboardHook::TEscapeAction EscapeAction;

    // An Escape press: it reaches the window only while the hook is installed.
    void PressEscape() {
        if (HookInstalled && EscapeAction)
            EscapeAction();
    }
    // What the settings dialog was opened with, and what it answers.
    std::vector<kvaderon::TAppSettings> EditedSettings;
    // Runs while the settings dialog is open.
    std::function<void()> OnEditSettings;
    std::optional<kvaderon::TAppSettings> NextSettings;
};

class TScriptedDialogManager : public TDialogManager {
public:
    explicit TScriptedDialogManager(std::shared_ptr<TScript> AScript) : FScript(std::move(AScript)) {}

    int CreateCustomDialogWithMapping(const QString& ACaption, const QString& AText, const QStringList& AButtonCaptions,
                                      const QList<int>& AButtonIndices, int AMainIcon) override {
        return Ask({ACaption, AText, AButtonCaptions, AButtonIndices, AMainIcon});
    }
    int CreateCustomDialog(const QString& ACaption, const QString& AText, const QStringList& AButtons,
                           int AMainIcon) override {
        return Ask({ACaption, AText, AButtons, {}, AMainIcon});
    }
    bool SelectFolder(const QString& ATitle, QString&) override {
        FScript->Questions.push_back({ATitle, {}, {}, {}, 0});
        return false;
    }

private:
    int Ask(const TDialogQuestion& AQuestion) {
        FScript->Questions.push_back(AQuestion);
        FScript->HookInstalledAtQuestion.push_back(FScript->HookInstalled);
        if (FScript->OnQuestion)
            FScript->OnQuestion(AQuestion);
        return NextAnswer();
    }
    int NextAnswer() {
        if (FScript->Answers.empty())
            return 2;
        const int answer = FScript->Answers.front();
        FScript->Answers.pop_front();
        return answer;
    }

    std::shared_ptr<TScript> FScript;
};

class TFakeKeyboardHook : public TKeyboardHook {
public:
    explicit TFakeKeyboardHook(std::shared_ptr<TScript> AScript) : FScript(std::move(AScript)) {}

    bool InstallKeyboardHook(TEscapeAction AOnEscape) override {
        if (!FScript->HookInstalled) {
            FScript->HookInstalled = true;
            ++FScript->HookInstallCount;
            FScript->EscapeAction = std::move(AOnEscape);
        }
        return true;
    }
    void RemoveKeyboardHook() override { FScript->HookInstalled = false; }
    bool IsInstalled() const override { return FScript->HookInstalled; }

private:
    std::shared_ptr<TScript> FScript;
};

// The window's private operations and fields, for the tests only.
struct TForm1TestAccess {
    TForm1& Form;

    // The chosen files, each as if chosen by itself (the folders of an earlier choice go).
    QStringList& InputFiles() {
        Form.FInputFolders.clear();
        return Form.FInputFiles;
    }
    QString& OutputFolder() { return Form.FOutputFolder; }
    QString& LastOpenFolder() { return Form.FLastOpenFolder; }
    QString& LastSaveFolder() { return Form.FLastSaveFolder; }
    bool& RunActive() { return Form.FRunActive; }
    kvaderon::TAppSettings& Settings() { return Form.FSettings; }
    bool CancelRequested() const { return Form.FCancelRequested; }
    const kvaderon::TOutputColors& OutputColors() const { return Form.OutputColors; }
    kvaderon::TProcessingState& ProcessingState() { return *Form.FProcessingState; }
    QMenu* StyleMenu() { return Form.FStyleMenu->Menu(); }

    void UpdateButtons() { Form.UpdateButtons(); }
    void UpdateFileNamesLabel() { Form.UpdateFileNamesLabel(); }
    void ResetProgressBars(bool AImmediate) { Form.ResetProgressBars(AImmediate); }
    void SelectInputFiles(bool AAdd = false) { Form.SelectInputFiles(AAdd); }
    void SelectOutputFolder() { Form.SelectOutputFolder(); }
    void OpenOutputFolder() { Form.OpenOutputFolder(); }
    void HandleDroppedFiles(const QStringList& APaths, bool AAdd = false) { Form.HandleDroppedFiles(APaths, AAdd); }
    void ShowMessageDialog(const QString& AText, const QString& ACaption, bool AWarning) {
        Form.ShowMessageDialog(AText, ACaption, AWarning);
    }
    void SetLogAttributes(kvaderon::TColor AColor, bool ABold) { Form.SetLogAttributes(AColor, ABold); }
    void InsertLogText(const QString& AText) { Form.InsertLogText(AText); }
    void AddLogLine(const QString& AText) { Form.AddLogLine(AText); }
    void ClearLog() { Form.ClearLog(); }
    void LogFileResult(const QString& AFileName, const QString& AMessage) { Form.LogFileResult(AFileName, AMessage); }
    void LogFileError(const QString& AFileName, const QString& AMessage) { Form.LogFileError(AFileName, AMessage); }
    void ShowHelp() { Form.ShowHelp(); }
    void ShowSettingsDialog() { Form.ShowSettingsDialog(); }
};

// A path as the window keeps it.
inline QString Native(const std::filesystem::path& APath) {
    return QDir::toNativeSeparators(QString::fromStdString(APath.string()));
}

// Two small negatives in ADir/in chosen in the window, with ADir/out as the destination, where an
// older a.tif already lies: a batch over them asks about its first file.
inline void ChooseTwoFilesOneTargetExisting(TForm1TestAccess AAccess, const std::filesystem::path& ADir) {
    std::filesystem::create_directories(ADir / "in");
    std::filesystem::create_directories(ADir / "out");
    for (const char* name : {"a.tif", "b.tif"})
        kvaderon::test::WriteFile(ADir / "in" / name, kvaderon::test::BuildImage({}).Build());
    kvaderon::test::WriteFile(ADir / "out" / "a.tif", {'o', 'l', 'd'});
    AAccess.InputFiles() = {Native(ADir / "in" / "a.tif"), Native(ADir / "in" / "b.tif")};
    AAccess.LastOpenFolder() = Native(ADir / "in") + QDir::separator();
    AAccess.OutputFolder() = Native(ADir / "out") + QDir::separator();
    AAccess.UpdateButtons();
}

// Processes events until ACondition holds or five seconds have passed; returns ACondition().
template <typename TCondition> bool WaitUntil(TCondition ACondition) {
    QElapsedTimer clock;
    clock.start();
    while (!ACondition() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return ACondition();
}

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override { Form = MakeForm(); }

    // Without a settings file the window starts from the defaults and stores nothing.
    std::unique_ptr<TForm1> MakeForm(const std::filesystem::path& ASettingsFile = {}) {
        TForm1Services services;
        services.SettingsFile = ASettingsFile;
        services.SystemPrefersDark = [script = Script] { return script->SystemIsDark; };
        services.DialogManager = std::make_unique<TScriptedDialogManager>(Script);
        services.ChooseInputFiles = [script = Script](QWidget*, const QString& AStartFolder) {
            script->StartFolders.append(AStartFolder);
            return script->NextInputFiles;
        };
        services.ChooseOutputFolder = [script = Script](QWidget*, const QString&, const QString& AStartFolder) {
            script->StartFolders.append(AStartFolder);
            return script->NextOutputFolder;
        };
        services.OpenFolderInShell = [script = Script](const QString& AFolder) {
            script->OpenedFolders.append(AFolder);
            return script->OpenFolderSucceeds;
        };
        services.KeyboardHook = std::make_unique<TFakeKeyboardHook>(Script);
        services.TickSource = [script = Script] { return script->Clock; };
        services.EditSettings = [script = Script](QWidget*, const kvaderon::TAppSettings& ASettings) {
            script->EditedSettings.push_back(ASettings);
            if (script->OnEditSettings)
                script->OnEditSettings();
            return script->NextSettings;
        };
        return std::make_unique<TForm1>(std::move(services));
    }

    template <typename T = QWidget> T* Control(const char* AName) const {
        T* control = Form->findChild<T*>(QString::fromLatin1(AName));
        EXPECT_NE(control, nullptr) << AName;
        return control;
    }
    QString LabelText(const char* AName) const { return Control<QLabel>(AName)->text(); }
    QString LabelHint(const char* AName) const { return Control<QLabel>(AName)->toolTip(); }
    QTextDocument* Log() const { return Control<QTextEdit>("RichEdit1")->document(); }
    TForm1TestAccess Access() { return {*Form}; }

    std::shared_ptr<TScript> Script = std::make_shared<TScript>();
    std::unique_ptr<TForm1> Form;
};
