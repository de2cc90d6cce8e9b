// TForm1, the batch inversion: the start checks, the run over the chosen files with one outcome
// line each, existing targets, interruption by the abort button or Escape, and the result summary.
// The run stays on the user-interface thread and lets pending events through after each file and
// inside each log line; it looks at an abort request only at the top of a pass.
#include "Unit1.h"

#include "BatchTexts.h"
#include "FileStep.h"
#include "InputFiles.h"
#include "MyDialog.h"
#include "NativePaths.h"
#include "OutcomeLine.h"
#include "PathText.h"
#include "TiffInverterSingleThread.h"
#include "ui_Unit1.h"

#include <QCoreApplication>

namespace {

// The file-exists dialog answers as every choice dialog does.
static_assert(int(kvaderon::efaOverwrite) == int(TForm2::daFirstCaption));

QString RunsText(const kvaderon::TTextRuns& ARuns) {
    return QString::fromStdString(kvaderon::PlainText(ARuns));
}

} // namespace

bool TForm1::CheckBatchStart() {
    if (FInputFiles.isEmpty()) {
        ShowMessageDialog(QStringLiteral("Сначала выберите файлы"), QStringLiteral("Предупреждение"), true);
        return false;
    }
    bool created = false;
    try {
        created = !FOutputFolder.isEmpty() && kvaderon::CreateOutputFolder(ToPath(FOutputFolder));
    } catch (const std::exception&) {
        // The window shows the refusal below without the system's reason.
    }
    if (!created) {
        ShowMessageDialog(QString::fromUtf8(kvaderon::InvalidOutputFolderText), QStringLiteral("Ошибка"), true);
        return false;
    }
    return true;
}

void TForm1::ProcessFiles() {
    std::vector<kvaderon::TInputFile> files;
    for (qsizetype i = 0; i < FInputFiles.size(); ++i)
        files.push_back(InputFileAt(i));
    FRunPlan = kvaderon::PlanFoundFiles(files, ToPath(FOutputFolder), FSettings.Prefix, FSettings.Postfix);
    StartRun();
    int i = FProcessingState->CurrentIndex();
    bool keepGoing = true;
    while (i < int(FRunPlan.size()) && keepGoing) {
        UpdateFileProgress();
        if (FCloseAfterRun) {
            keepGoing = false;
        } else if (FCancelRequested) {
            keepGoing = HandleInterruption(i);
            i = FProcessingState->CurrentIndex();
        } else {
            try {
                keepGoing = ProcessFileAt(i);
            } catch (const std::exception& error) {
                LogFileError(FromPath(FRunPlan[i].Input.filename()), QString::fromUtf8(error.what()));
                FProcessingState->RecordError();
                keepGoing = false;
            }
            if (keepGoing)
                FProcessingState->SetCurrentIndex(++i);
        }
    }
    FinishRun();
}

void TForm1::StartRun() {
    FRunActive = true;
    FUi->btnCancel->setEnabled(true);
    for (QWidget* button : {FUi->BitBtn1, FUi->BitBtn2, FUi->BitBtn5, FUi->btnInvert, FUi->btnTest})
        button->setEnabled(false);
    ClearLog();
    FCancelRequested = false;
    FProcessingState->StartNew(int(FRunPlan.size()));
    FProcessingState->StartTimer();
    InstallKeyboardHook();
    ResetProgressBars(true);
}

// The abort request before the file at AIndex, which has not been started. True when the user
// continues with that file.
bool TForm1::HandleInterruption(int AIndex) {
    FProcessingState->PauseTimer();
    FProcessingState->Cancel();
    FProcessingState->SetCurrentIndex(AIndex);
    RemoveKeyboardHook();
    ShowInterruptDialog();
    FProcessingState->ResumeTimer();
    FCancelRequested = false;
    if (FProcessingState->WasCancelled())
        return false;
    InstallKeyboardHook();
    FUi->btnCancel->setEnabled(true);
    return true;
}

// One file from its target to its count. False when the run ends at it uncounted: the user aborted
// at its existing target, or its folder refuses new files (said once, in its line).
bool TForm1::ProcessFileAt(int AIndex) {
    kvaderon::TFileStep step;
    step.Options.Verify = FSettings.VerifyAfterWrite;
    step.AskExistingTarget = [this](const std::filesystem::path& ATarget) {
        FProcessingState->PauseTimer();
        const std::optional<kvaderon::TExistingTargetChoice> choice = HandleExistingFile(FromPath(ATarget));
        FProcessingState->ResumeTimer();
        return choice;
    };
    FInverter->SetInvertPreviews(FSettings.InvertPreviews);
    const kvaderon::TFileReport report =
        kvaderon::InvertRunEntry(*FInverter, kvaderon::platform::SystemFileSystem(), FRunPlan[AIndex], step);
    LogReport(report);
    if (report.Aborted || report.DestinationRefused)
        return false;
    if (report.Outcome == kvaderon::TFileOutcome::foProcessed)
        FProcessingState->RecordProcessed();
    else if (report.Outcome == kvaderon::TFileOutcome::foSkipped)
        FProcessingState->RecordSkipped();
    else
        FProcessingState->RecordError();
    QCoreApplication::processEvents();
    return true;
}

void TForm1::LogReport(const kvaderon::TFileReport& AReport) {
    for (const kvaderon::TOutcomeLineData& line : AReport.Lines) {
        const QString name = QString::fromStdString(line.FileName);
        const QString message = QString::fromStdString(line.Message);
        if (line.IsError)
            LogFileError(name, message);
        else
            LogFileResult(name, message);
    }
}

// A run that ended before the list's end says so in the log, the result dialog and the status, and
// its progress stays at the share of files attempted.
void TForm1::FinishRun() {
    FProcessingState->StopTimer();
    RemoveKeyboardHook();
    SetProgress(FProcessingState->PercentAttempted());
    if (FProcessingState->NotAttemptedCount() > 0)
        LogRuns(kvaderon::BuildInterruptedRunLine(FProcessingState->NotAttemptedCount()));
    if (!FCloseAfterRun)
        ShowResultsDialog();
    SetStatus(RunsText(kvaderon::BuildFinalStatusText(*FProcessingState)));
    FProcessingState->Reset();
    FRunPlan.clear();
    UpdateButtons();
    FUi->btnCancel->setEnabled(false);
    ResetProgressBars(false);
    FRunActive = false;
    if (FCloseAfterRun)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TForm1::UpdateFileProgress() {
    const int total = FProcessingState->TotalFiles();
    if (total == 0)
        return;
    const int index = FProcessingState->CurrentIndex();
    SetProgress(int(std::int64_t(index) * 100 / total));
    SetStatus(QStringLiteral("Файл %1 из %2").arg(index + 1).arg(total));
}

// Repainted at once: the run does not return to the event loop between files.
void TForm1::SetProgress(int APercent) {
    if (FUi->ProgressBar2->value() == APercent)
        return;
    FUi->ProgressBar2->setValue(APercent);
    FUi->ProgressBar2->repaint();
}

// AFileName is the full path of an existing target. The fifth button or the close box aborts: no
// choice, and the abort request is set.
std::optional<kvaderon::TExistingTargetChoice> TForm1::HandleExistingFile(const QString& AFileName) {
    using kvaderon::TExistingTargetChoice;
    if (FProcessingState->ShouldSkipFile(true))
        return TExistingTargetChoice::etcSkipAll;
    if (FProcessingState->ShouldOverwriteFile(true))
        return TExistingTargetChoice::etcOverwriteAll;
    FProcessingState->PauseTimer();
    const int answer = FDialogManager->CreateCustomDialogWithMapping(
        QStringLiteral("Файл уже существует"),
        QStringLiteral("Имя файла: %1\nПапка: %2\n\nВыберите действие:")
            .arg(FileNameOf(AFileName), FolderWithSeparator(AFileName)),
        {QStringLiteral("Перезаписать этот файл"), QStringLiteral("Пропустить этот файл"),
         QStringLiteral("Перезаписать ВСЕ файлы"), QStringLiteral("Пропустить ВСЕ файлы"),
         QStringLiteral("Прервать обработку")},
        {0, 1, 3, 4, 5}, TForm2::miQuestion);
    FProcessingState->ResumeTimer();
    switch (answer) {
    case kvaderon::efaOverwrite:
        return TExistingTargetChoice::etcOverwrite;
    case kvaderon::efaSkip:
        return TExistingTargetChoice::etcSkip;
    case kvaderon::efaOverwriteAll:
        FProcessingState->SetConflictModeFromAction(answer);
        return TExistingTargetChoice::etcOverwriteAll;
    case kvaderon::efaSkipAll:
        FProcessingState->SetConflictModeFromAction(answer);
        return TExistingTargetChoice::etcSkipAll;
    default:
        FCancelRequested = true;
        return std::nullopt;
    }
}

void TForm1::ShowInterruptDialog() {
    const QString name = FromPath(FRunPlan.at(std::size_t(FProcessingState->CurrentIndex())).Input.filename());
    const int answer = FDialogManager->CreateCustomDialogWithMapping(
        QStringLiteral("Прерывание процесса"),
        RunsText(kvaderon::BuildInterruptionText(*FProcessingState, name.toStdString())),
        {QStringLiteral("Завершить обработку"), QStringLiteral("Продолжить с этого файла")}, {0, 2},
        TForm2::miQuestion);
    if (answer == TForm2::daFirstCaption)
        FProcessingState->Cancel();
    else if (answer == TForm2::daSecondCaption)
        FProcessingState->ResumeFrom(FProcessingState->CurrentIndex());
}

void TForm1::ShowResultsDialog() {
    const int answer = FDialogManager->CreateCustomDialogWithMapping(
        QStringLiteral("Результаты обработки"), RunsText(kvaderon::BuildResultSummary(*FProcessingState)),
        {QStringLiteral("Открыть папку"), QStringLiteral("Закрыть")}, {0, 2}, TForm2::miInformation);
    if (answer == TForm2::daFirstCaption)
        OpenFolderInShell(FOutputFolder);
}

void TForm1::InstallKeyboardHook() {
    FKeyboardHook->InstallKeyboardHook([this] { KeyboardHookProc(); });
}

void TForm1::RemoveKeyboardHook() {
    if (FKeyboardHook)
        FKeyboardHook->RemoveKeyboardHook();
}

// An Escape press while the hook is installed.
void TForm1::KeyboardHookProc() {
    FCancelRequested = true;
    FUi->btnCancel->setEnabled(false);
    SetStatus(QStringLiteral("Обнаружено нажатие Escape..."));
}
