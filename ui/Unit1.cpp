// TForm1, the main window: creation and start-up, buttons and their icons, progress bar reset,
// placement of the controls, messages and shutdown.
#include "Unit1.h"

#include "FileChoosers.h"
#include "MyDialog.h"
#include "ProcessingState.h"
#include "ResourceIcon.h"
#include "StylesSystemMenu.h"
#include "TiffInverterSingleThread.h"
#include "Unit3.h"
#include "Version.h"
#include "WindowFonts.h"
#include "platform/StyleManager.h"
#include "platform/SystemTheme.h"
#include "ui_Unit1.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QUrl>

// The program's resources live in the library; the call keeps them in every program linking it.
// It must stand outside any namespace.
static void InitResources() {
    Q_INIT_RESOURCE(kvaderon);
}

namespace {

constexpr int HintDurationMs = 10000;
constexpr int ProgressResetDelayMs = 1000;
// The size the controls were placed for.

QIcon ButtonIcon(int AIndex) {
    return ResourceIcon(QStringLiteral("button%1").arg(AIndex));
}

} // namespace

TForm1::TForm1(TForm1Services AServices, QWidget* AParent)
    : QWidget(AParent), FUi(std::make_unique<Ui::TForm1>()), FServices(std::move(AServices)) {
    InitResources();
    FUi->setupUi(this);
    RememberDesignPlacement();
    ApplyWindowFont(this);
    FormCreate();
}

TForm1::~TForm1() {
    if (!FShutDown)
        ShutdownMainWindow();
}

void TForm1::FormCreate() {
    setAcceptDrops(true);
    FStyleMenu = new TVclStylesSystemMenu(this, QStringLiteral("Темы интерфейса"));
    ConnectHandlers();
    SetButtonIcons();
    InitMainWindow();
    setWindowTitle(windowTitle() + QStringLiteral(" v.") + GetVersionText());
}

void TForm1::ConnectHandlers() {
    connect(FUi->BitBtn1, &QPushButton::clicked, this, &TForm1::sBitBtn1Click);
    connect(FUi->BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(FUi->btnInvert, &QPushButton::clicked, this, &TForm1::btnInvertClick);
    connect(FUi->btnCancel, &QPushButton::clicked, this, &TForm1::btnCancelClick);
    connect(FUi->BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
    connect(FUi->btnTest, &QPushButton::clicked, this, &TForm1::sBitBtn3Click);
    connect(FUi->SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(FUi->SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(&TStyleManager::Instance(), &TStyleManager::StyleChanged, this, &TForm1::ApplyOutputColors);

    FProgressResetTimer.setSingleShot(true);
    FProgressResetTimer.setInterval(ProgressResetDelayMs);
    connect(&FProgressResetTimer, &QTimer::timeout, FUi->ProgressBar2, [this] { FUi->ProgressBar2->setValue(0); });

    FUi->Panel1->installEventFilter(this);
    setToolTipDuration(HintDurationMs);
    for (QWidget* child : findChildren<QWidget*>())
        child->setToolTipDuration(HintDurationMs);
}

void TForm1::SetButtonIcons() {
    FUi->BitBtn1->setIcon(ButtonIcon(0));
    FUi->BitBtn2->setIcon(ButtonIcon(1));
    FUi->btnInvert->setIcon(ButtonIcon(2));
    FUi->btnCancel->setIcon(ButtonIcon(3));
    FUi->BitBtn5->setIcon(ButtonIcon(4));
    FUi->btnTest->setIcon(ButtonIcon(6));
    FUi->SpeedButton1->setIcon(ButtonIcon(7));
    FUi->SpeedButton2->setIcon(ButtonIcon(8));
}

void TForm1::InitMainWindow() {
    FInputFiles.clear();
    FInputFolders.clear();
    FDialogManager = FServices.DialogManager ? std::move(FServices.DialogManager) : std::make_unique<TDialogManager>();
    FDialogManager->SetOwner(this);
    FProcessingState = std::make_unique<kvaderon::TProcessingState>(FServices.TickSource ? FServices.TickSource
                                                                                         : kvaderon::SteadyTickCount);
    FKeyboardHook = FServices.KeyboardHook ? std::move(FServices.KeyboardHook) : CreateKeyboardHook();
    FInverter = std::make_unique<kvaderon::TTIFFInverterSingle>();
    if (!FServices.ChooseInputFiles)
        FServices.ChooseInputFiles = ChooseTiffFiles;
    if (!FServices.SystemPrefersDark)
        FServices.SystemPrefersDark = SystemPrefersDarkTheme;
    if (!FServices.ChooseOutputFolder)
        FServices.ChooseOutputFolder = ChooseFolder;
    if (!FServices.OpenFolderInShell)
        FServices.OpenFolderInShell = [](const QString& AFolder) {
            return QDesktopServices::openUrl(QUrl::fromLocalFile(AFolder));
        };
    if (!FServices.EditSettings)
        FServices.EditSettings = EditSettingsInDialog;

    FOutputFolder.clear();
    FLastOpenFolder.clear();
    FLastSaveFolder.clear();
    FCancelRequested = false;

    ClearLog();
    SetLabelCaption(FUi->lblFileNames, QStringLiteral("Файлы не выбраны"));
    SetLabelCaption(FUi->lblFolderName, QStringLiteral("Папка не выбрана"));
    SetStatus(QStringLiteral("Готово"));
    LoadSettings();
    ApplyOutputColors();
    UpdateButtons();
    FUi->btnCancel->setEnabled(false);
    ResetProgressBars(true);
}

void TForm1::ShutdownMainWindow() {
    FShutDown = true;
    FCancelRequested = true;
    RemoveKeyboardHook();
    SaveSettings();
    FInverter.reset();
    FInputFiles.clear();
    FDialogManager.reset();
    FProcessingState.reset();
}

void TForm1::UpdateButtons() {
    const bool filesChosen = !FInputFiles.isEmpty();
    const bool folderChosen = !FOutputFolder.isEmpty();
    FUi->BitBtn1->setEnabled(true);
    FUi->BitBtn2->setEnabled(true);
    FUi->BitBtn5->setEnabled(folderChosen);
    FUi->btnInvert->setEnabled(filesChosen && folderChosen);
    FUi->btnTest->setEnabled(filesChosen);
}

// Not at once: the bar drops to 0 one second later, while the window goes on working.
void TForm1::ResetProgressBars(bool AImmediate) {
    if (AImmediate) {
        FProgressResetTimer.stop();
        FUi->ProgressBar2->setValue(0);
    } else {
        FProgressResetTimer.start();
    }
}

void TForm1::ShowMessageDialog(const QString& AText, const QString& ACaption, bool AWarning) {
    const int icon = AWarning ? TForm2::miWarning : TForm2::miInformation;
    FDialogManager->CreateCustomDialogWithMapping(ACaption, AText, {QStringLiteral("OK")}, {1}, icon);
}

// The form's own placement, before any resizing: the distances PlaceControls keeps.
void TForm1::RememberDesignPlacement() {
    FDesignPanelSize = size();
    FDesignLog = FUi->RichEdit1->geometry();
    FDesignProgress = FUi->ProgressBar2->geometry();
    for (QWidget* control : std::initializer_list<QWidget*>{FUi->btnTest, FUi->SpeedButton2, FUi->SpeedButton1})
        FRightAnchored.push_back({control, FDesignPanelSize.width() - control->x()});
}

// The buttons keep their distance to the top left or the top right corner, as the form places
// them; the progress bar stays docked to the bottom and keeps its side margins. The log keeps its
// top and side margins and grows or shrinks with the window down to the progress bar; when the
// window is lower than the form, it gives way instead of covering the buttons.
void TForm1::PlaceControls() {
    const QSize panel = FUi->Panel1->size();
    for (const auto& [control, distanceFromRight] : FRightAnchored)
        control->move(panel.width() - distanceFromRight, control->y());
    FitLabels();

    const int widthChange = panel.width() - FDesignPanelSize.width();
    const int bottomGap = FDesignPanelSize.height() - FDesignProgress.top();
    const int progressTop = panel.height() - bottomGap;
    FUi->ProgressBar2->setGeometry(FDesignProgress.x(), progressTop, std::max(0, FDesignProgress.width() + widthChange),
                                   FDesignProgress.height());
    const int logBottom = progressTop - (FDesignProgress.top() - FDesignLog.bottom());
    const int logHeight = std::max(logBottom - FDesignLog.top() + 1, 0);
    FUi->RichEdit1->setGeometry(FDesignLog.x(), FDesignLog.top(), std::max(0, FDesignLog.width() + widthChange),
                                logHeight);
}

bool TForm1::eventFilter(QObject* AWatched, QEvent* AEvent) {
    if (AWatched == FUi->Panel1 && AEvent->type() == QEvent::Resize)
        PlaceControls();
    return QWidget::eventFilter(AWatched, AEvent);
}

void TForm1::showEvent(QShowEvent* AEvent) {
    QWidget::showEvent(AEvent);
    if (!FShownOnce) {
        FShownOnce = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    ShowHelp();
}

// Closing during a run only asks the run to end: it still uses what the shutdown frees. The run
// closes the window again when it has ended.
void TForm1::closeEvent(QCloseEvent* AEvent) {
    if (FRunActive) {
        FCancelRequested = true;
        FCloseAfterRun = true;
        AEvent->ignore();
        return;
    }
    FormClose();
    QWidget::closeEvent(AEvent);
}

void TForm1::FormClose() {
    if (!FShutDown)
        ShutdownMainWindow();
}

void TForm1::sBitBtn1Click() {
    SelectInputFiles(QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier));
}
void TForm1::BitBtn2Click() {
    SelectOutputFolder();
}
void TForm1::btnInvertClick() {
    if (CheckBatchStart())
        ProcessFiles();
}
void TForm1::BitBtn5Click() {
    OpenOutputFolder();
}
void TForm1::sBitBtn3Click() {
    RunAnalysis();
}
void TForm1::SpeedButton1Click() {
    ShowHelp();
}

void TForm1::btnCancelClick() {
    FCancelRequested = true;
    FUi->btnCancel->setEnabled(false);
    SetStatus(QStringLiteral("Запрос на прерывание принят..."));
}

void TForm1::SpeedButton2Click() {
    ShowSettingsDialog();
}
