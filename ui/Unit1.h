// TForm1, the main window: the whole class. Its operations are split by concern over
// Unit1.cpp (window, start-up, buttons, shutdown), Unit1Log.cpp (the coloured log),
// Unit1Files.cpp (files and destination), Unit1Help.cpp (help) and Unit1Runs.cpp (the runs).
#pragma once

#include "ColorText.h"
#include "CommonTypes.h"
#include "DialogManager.h"
#include "WindowSettings.h"

#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace kvaderon {
class TProcessingState;
class TTIFFInverterSingle;
} // namespace kvaderon
namespace Ui {
class TForm1;
}
class QLabel;
class TVclStylesSystemMenu;

// Chooses input files starting in AStartFolder; an empty list when cancelled.
using TChooseInputFiles = std::function<QStringList(QWidget* AParent, const QString& AStartFolder)>;
// Chooses a folder; nothing when cancelled.
using TChooseFolder = std::function<std::optional<QString>(QWidget* AParent, const QString& ATitle,
                                                           const QString& AStartFolder)>;
// Shows a folder in the file manager.
using TOpenFolderInShell = std::function<void(const QString& AFolder)>;
// Stores what the window hands back at closing.
using TSaveSettings = std::function<void(const TWindowSettings& ASettings)>;

// The window's collaborators; each one left empty is the real one.
struct TForm1Services {
    std::unique_ptr<TDialogManager> DialogManager;
    TChooseInputFiles ChooseInputFiles;
    TChooseFolder ChooseOutputFolder;
    TOpenFolderInShell OpenFolderInShell;
    // Empty until the settings file exists: then nothing is stored.
    TSaveSettings SaveSettings;
};

// The relative luminance (0..1) of a colour; system colours resolved with the active theme.
double RelativeLuminance(kvaderon::TColor AColor);
// True when the active theme's window text is lighter than its window background.
bool IsDarkTheme();

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(const TWindowSettings& ASettings, TForm1Services AServices = {},
                    QWidget* AParent = nullptr);
    ~TForm1() override;

    // What the settings file stores at closing.
    TWindowSettings CurrentSettings() const;

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

    // Handlers, named after control and event.
    void FormCreate();
    void FormShow();
    void FormClose();
    void sBitBtn1Click();
    void BitBtn2Click();
    void btnInvertClick();
    void btnCancelClick();
    void BitBtn5Click();
    void sBitBtn3Click();
    void SpeedButton1Click();
    void SpeedButton2Click();

    // Window, start-up and shutdown (Unit1.cpp).
    void ConnectHandlers();
    void SetButtonIcons();
    void InitMainWindow();
    void LoadSettings();
    void ShutdownMainWindow();
    void UpdateButtons();
    void ResetProgressBars(bool AImmediate);
    void PlaceControls();
    void ShowMessageDialog(const QString& AText, const QString& ACaption, bool AWarning);

    // The coloured log (Unit1Log.cpp).
    void PrepareLog();
    void ClearLog();
    void SetLogAttributes(kvaderon::TColor AColor, bool ABold);
    void InsertLogText(const QString& AText);
    void AddLogLine(const QString& AText);
    void ScrollLogToCaret();
    void InsertLogRuns(const kvaderon::TTextRuns& ARuns);
    void LogFileResult(const QString& AFileName, const QString& AMessage);
    void LogFileError(const QString& AFileName, const QString& AMessage);
    void LogOutcomeLine(const QString& AFileName, const QString& AMessage, bool AIsError);
    kvaderon::TColor PickThemeColor(kvaderon::TColor ADarkColor,
                                    kvaderon::TColor ALightColor) const;
    void ApplyOutputColors();

    // Files and destination (Unit1Files.cpp).
    void UpdateFileNamesLabel();
    void SelectInputFiles();
    void HandleDroppedFiles(const QStringList& APaths);
    void TakeInputFiles(const QStringList& APaths);
    void SelectOutputFolder();
    void SetOutputFolder(const QString& AFolder);
    void OpenOutputFolder();
    void SetStatus(const QString& AText);
    static void SetLabelCaption(QLabel* ALabel, const QString& ACaption, const QString& AHint = {});
    QString StartFolder(const QString& AFirstChoice, const QString& ASecondChoice) const;

    // Help (Unit1Help.cpp).
    void ShowHelp();

    // The runs (Unit1Runs.cpp).
    void ProcessFiles();
    void RunAnalysis();
    void WriteAnalysisReport(const QString& AFileName);

    std::unique_ptr<Ui::TForm1> FUi;
    TWindowSettings FStartSettings;
    TForm1Services FServices;

    QStringList FInputFiles;
    QString FOutputFolder;
    QString FLastOpenFolder;
    QString FLastSaveFolder;
    std::unique_ptr<TDialogManager> FDialogManager;
    std::unique_ptr<kvaderon::TProcessingState> FProcessingState;
    std::unique_ptr<kvaderon::TTIFFInverterSingle> FInverter;
    bool FCancelRequested = false;
    // A batch run is in progress: drops are refused.
    bool FRunActive = false;
    kvaderon::TOutputColors OutputColors;
    TVclStylesSystemMenu* FStyleMenu = nullptr;
    kvaderon::TAppSettings FSettings;

    // Where the log's next text goes: always the end, whatever the user's caret does.
    QTextCursor FLogCursor;
    QTextCharFormat FLogFormat;
    QTimer FProgressResetTimer;
    bool FShownOnce = false;
    bool FShutDown = false;
};
