// TForm1, the main window: the whole class. Its operations are split by concern over
// Unit1.cpp (window, start-up, buttons, shutdown), Unit1Log.cpp (the coloured log),
// Unit1Files.cpp (files and destination), Unit1Help.cpp (help), Unit1Runs.cpp (the analysis),
// Unit1Batch.cpp (the batch inversion with its conflicts, interruptions and result summary) and
// Unit1Settings.cpp (the settings file and the settings dialog).
#pragma once

#include "ColorText.h"
#include "CommonTypes.h"
#include "DialogManager.h"
#include "FileStep.h"
#include "InputFiles.h"
#include "OutcomeLine.h"
#include "ProcessingState.h"
#include "RunPlan.h"
#include "SettingsFile.h"
#include "platform/KeyboardHook.h"

#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace kvaderon {
class TTIFFInverterSingle;
} // namespace kvaderon
namespace Ui {
class TForm1;
}
class QLabel;
class THelpWindow;
class TVclStylesSystemMenu;

// Chooses input files starting in AStartFolder; an empty list when cancelled.
using TChooseInputFiles = std::function<QStringList(QWidget* AParent, const QString& AStartFolder)>;
// Chooses a folder; nothing when cancelled.
using TChooseFolder =
    std::function<std::optional<QString>(QWidget* AParent, const QString& ATitle, const QString& AStartFolder)>;
// Shows a folder in the file manager; false when the request failed.
using TOpenFolderInShell = std::function<bool(const QString& AFolder)>;
// Lets the user edit ASettings; the edited settings when confirmed, nothing when not.
using TEditSettings =
    std::function<std::optional<kvaderon::TAppSettings>(QWidget* AParent, const kvaderon::TAppSettings& ASettings)>;

// The window's collaborators; each one left empty is the real one.
struct TForm1Services {
    std::unique_ptr<TDialogManager> DialogManager;
    TChooseInputFiles ChooseInputFiles;
    TChooseFolder ChooseOutputFolder;
    TOpenFolderInShell OpenFolderInShell;
    // Read at start-up and written at closing; when empty, the defaults apply and nothing is
    // written.
    std::filesystem::path SettingsFile;
    TEditSettings EditSettings;
    // Takes Escape away from every application while a batch runs.
    std::unique_ptr<TKeyboardHook> KeyboardHook;
    // The clock of the batch's pure-time stopwatch.
    kvaderon::TTickSource TickSource;
    // Whether the desktop is dark: a settings file that names no theme yet takes the light or
    // the dark default by it.
    std::function<bool()> SystemPrefersDark;
};

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(TForm1Services AServices = {}, QWidget* AParent = nullptr);
    ~TForm1() override;

    // What the settings file stores at closing.
    kvaderon::TStoredSettings CurrentSettings() const;

    // Takes paths (the program's command line, relative ones against the working folder) as if
    // they were dropped on the window; with AAdd they join the list, as with Ctrl held.
    void OpenFiles(const QStringList& APaths, bool AAdd = false);

    // The first (m div 3) characters, "...", and the last ones, m characters in all, when APath is
    // longer than AMaxLength = m.
    static QString ShortenPath(const QString& APath, int AMaxLength);

protected:
    void showEvent(QShowEvent* AEvent) override;
    void closeEvent(QCloseEvent* AEvent) override;
    void dragEnterEvent(QDragEnterEvent* AEvent) override;
    void dropEvent(QDropEvent* AEvent) override;
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

private:
    friend struct TForm1TestAccess;

    // Handlers, named after control and event as the form's design names them (resources/Unit1.ui;
    // sBitBtn1Click for BitBtn1, sBitBtn3Click for btnTest): the form's names, not slips.
    void FormCreate();
    void FormShow();
    void FormClose();
    void sBitBtn1Click();     // BitBtn1 "Выбрать файлы TIFF"
    void BitBtn2Click();      // "Куда сохранять"
    void btnInvertClick();    // "Инвертировать TIFF"
    void btnCancelClick();    // "Прервать инвертирование"
    void BitBtn5Click();      // "Открыть папку назначения"
    void sBitBtn3Click();     // btnTest "Проверить данные на 16-битность"
    void SpeedButton1Click(); // "Справка"
    void SpeedButton2Click(); // "Настройки"

    // Window, start-up and shutdown (Unit1.cpp).
    void ConnectHandlers();
    void SetButtonIcons();
    void InitMainWindow();
    void ShutdownMainWindow();
    void UpdateButtons();
    void ResetProgressBars(bool AImmediate);
    void RememberDesignPlacement();
    void PlaceControls();
    void ShowMessageDialog(const QString& AText, const QString& ACaption, bool AWarning);

    // The coloured log (Unit1Log.cpp).
    void PrepareLog();
    qreal LogFontPointSize() const;
    void ClearLog();
    void SetLogAttributes(kvaderon::TColor AColor, bool ABold);
    void InsertLogText(const QString& AText);
    void AddLogLine(const QString& AText);
    void ScrollLogToCaret();
    void InsertLogRuns(const kvaderon::TTextRuns& ARuns);
    void LogRuns(const kvaderon::TTextRuns& ARuns);
    void SetLogRole(kvaderon::TColorRole ARole, bool ABold);
    void RecolorLog();
    void LogFileResult(const QString& AFileName, const QString& AMessage);
    void LogFileError(const QString& AFileName, const QString& AMessage);
    void LogOutcomeLine(const QString& AFileName, const QString& AMessage, bool AIsError);
    kvaderon::TColor PickThemeColor(kvaderon::TColor ADarkColor, kvaderon::TColor ALightColor) const;
    void ApplyOutputColors();

    // Files and destination (Unit1Files.cpp).
    void UpdateFileNamesLabel();
    void SelectInputFiles(bool AAdd = false);
    void HandleDroppedFiles(const QStringList& APaths, bool AAdd = false);
    bool TakeInputFiles(const QStringList& APaths, bool AAdd);
    kvaderon::TInputFile InputFileAt(qsizetype AIndex) const;
    void SelectOutputFolder();
    void SetOutputFolder(const QString& AFolder);
    void OpenOutputFolder();
    void SetStatus(const QString& AText);
    void SetLabelCaption(QLabel* ALabel, const QString& ACaption, const QString& AHint = {});
    void FitLabels();
    QString StartFolder(const QString& AFirstChoice, const QString& ASecondChoice) const;

    // The settings file and the settings dialog (Unit1Settings.cpp).
    void LoadSettings();
    void SaveSettings();
    void ShowSettingsDialog();

    // Help (Unit1Help.cpp).
    void ShowHelp();

    // The batch inversion (Unit1Batch.cpp).
    bool CheckBatchStart();
    void ProcessFiles();
    void StartRun();
    bool HandleInterruption(int AIndex);
    bool ProcessFileAt(int AIndex);
    void FinishRun();
    void LogReport(const kvaderon::TFileReport& AReport);
    void UpdateFileProgress();
    void SetProgress(int APercent);
    // The answer to an existing target; nothing when the user aborted the run. A skip after an
    // Escape press counts like any skip; the Escape's abort request is handled at the next file.
    std::optional<kvaderon::TExistingTargetChoice> HandleExistingFile(const QString& AFileName);
    void ShowInterruptDialog();
    void ShowResultsDialog();
    void InstallKeyboardHook();
    void RemoveKeyboardHook();
    void KeyboardHookProc();
    void OpenFolderInShell(const QString& AFolder);

    // The analysis (Unit1Runs.cpp).
    void RunAnalysis();
    void WriteAnalysisReport(const QString& AFileName);

    // The log's inner margin, left and right.
    static constexpr int LogMargin = 4;

    std::unique_ptr<Ui::TForm1> FUi;
    TForm1Services FServices;

    QStringList FInputFiles;
    // Beside FInputFiles: the chosen folder each file was found in; missing or empty for a file
    // chosen by itself.
    QStringList FInputFolders;
    // The files of the run in progress with their targets or errors, decided at its start.
    std::vector<kvaderon::TRunEntry> FRunPlan;
    QString FOutputFolder;
    QString FLastOpenFolder;
    QString FLastSaveFolder;
    std::unique_ptr<TDialogManager> FDialogManager;
    std::unique_ptr<kvaderon::TProcessingState> FProcessingState;
    std::unique_ptr<kvaderon::TTIFFInverterSingle> FInverter;
    std::unique_ptr<TKeyboardHook> FKeyboardHook;
    bool FCancelRequested = false;
    // A batch run is in progress: drops are refused.
    bool FRunActive = false;
    // The window was closed during a run: the run ends at its next pass, then the window closes.
    bool FCloseAfterRun = false;
    kvaderon::TOutputColors OutputColors;
    TVclStylesSystemMenu* FStyleMenu = nullptr;
    kvaderon::TAppSettings FSettings;

    // The log holds more than the help: the help button then opens the help window.
    bool FLogHoldsResults = false;
    THelpWindow* FHelpWindow = nullptr; // made at its first showing, owned by the window
    // Where the log's next text goes: always the end, whatever the user's caret does.
    QTextCursor FLogCursor;
    QTextCharFormat FLogFormat;
    qreal FLogFontPointSize = 0;
    QTimer FProgressResetTimer;
    // The form's placement, which PlaceControls keeps at every size.
    QSize FDesignPanelSize;
    QRect FDesignLog;
    QRect FDesignProgress;
    std::vector<std::pair<QWidget*, int>> FRightAnchored; // control, its distance from the right
    bool FShownOnce = false;
    bool FShutDown = false;
};
