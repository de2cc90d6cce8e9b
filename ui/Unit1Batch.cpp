// TForm1, the batch inversion: the start checks, the run over the chosen files with one outcome
// line each, existing targets, interruption by the abort button or Escape, and the result summary.
// The run stays on the user-interface thread and lets pending events through after each file and
// inside each log line; it looks at an abort request only at the top of a pass.
#include "Unit1.h"

#include "BatchTexts.h"
#include "InputFiles.h"
#include "MyDialog.h"
#include "NativePaths.h"
#include "OutcomeLine.h"
#include "PathText.h"
#include "TargetPath.h"
#include "TiffInverterSingleThread.h"
#include "Verification.h"
#include "ui_Unit1.h"

#include <QCoreApplication>

namespace {

// The file-exists dialog answers as every choice dialog does.
static_assert(int(kvaderon::efaOverwrite) == int(TForm2::daFirstCaption));

QString RunsText(const kvaderon::TTextRuns& ARuns) {
    return QString::fromStdString(kvaderon::PlainText(ARuns));
}

QString ChoiceText(kvaderon::TExistingTargetChoice AChoice) {
    return QString::fromStdString(kvaderon::ExistingTargetMessage(AChoice));
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
    StartRun();
    int i = FProcessingState->CurrentIndex();
    bool keepGoing = true;
    while (i < FInputFiles.size() && keepGoing) {
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
                LogFileError(FileNameOf(FInputFiles.at(i)), QString::fromUtf8(error.what()));
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
    FProcessingState->StartNew(int(FInputFiles.size()));
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

// One file from its target to its count. False when the user aborted the run at an existing
// target: then the file is not counted. A target that is the input itself is not offered for
// overwriting: the inverter refuses it as that file's error.
bool TForm1::ProcessFileAt(int AIndex) {
    const QString input = FInputFiles.at(AIndex);
    const QString target = TargetPathFor(AIndex);
    bool overwrite = false;
    if (kvaderon::IsOtherExistingFile(ToPath(input), ToPath(target))) {
        FProcessingState->PauseTimer();
        const TExistingTargetAnswer answer = HandleExistingFile(target);
        FProcessingState->ResumeTimer();
        if (answer == TExistingTargetAnswer::etAbort)
            return false;
        if (answer == TExistingTargetAnswer::etSkip) {
            FProcessingState->RecordSkipped();
            return true;
        }
        overwrite = true;
    }
    try {
        kvaderon::CreateTargetFolder(InputFileAt(AIndex), ToPath(target));
    } catch (const std::exception& error) {
        LogFileError(FileNameOf(input), QString::fromUtf8(error.what()));
        FProcessingState->RecordError();
        return true;
    }
    if (ProcessSingleFile(input, target, overwrite) == 0)
        FProcessingState->RecordProcessed();
    else
        FProcessingState->RecordError();
    QCoreApplication::processEvents();
    return true;
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
    UpdateButtons();
    FUi->btnCancel->setEnabled(false);
    ResetProgressBars(false);
    FRunActive = false;
    if (FCloseAfterRun)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

// The input's place in the destination: its subfolder there when it came from a chosen folder; with
// prefix and postfix when that folder is the input's own, however either folder is spelled.
QString TForm1::TargetPathFor(int AIndex) const {
    return FromPath(
        kvaderon::TargetPathOf(InputFileAt(AIndex), ToPath(FOutputFolder), FSettings.Prefix, FSettings.Postfix));
}

// 0 when the file was inverted, 1 when the inverter refused or failed. An existing target is
// replaced only when the user chose to overwrite it (AOverwrite); one that appeared meanwhile is
// that file's error.
std::uint8_t TForm1::ProcessSingleFile(const QString& AInputFile, const QString& AOutputFile, bool AOverwrite) {
    kvaderon::TInversionOptions options;
    options.Overwrite = AOverwrite;
    options.Verify = FSettings.VerifyAfterWrite;
    bool verified = false;
    try {
        FInverter->SetInvertPreviews(FSettings.InvertPreviews);
        verified = FInverter->Invert(ToPath(AInputFile), ToPath(AOutputFile), options).Verified;
    } catch (const kvaderon::ETIFFError& error) {
        LogFileError(FileNameOf(AInputFile), QString::fromUtf8(error.what()));
        return 1;
    }
    // The line of an overwritten file was written with the decision; a check or a thumbnail note is news.
    if (!AOverwrite || verified || !FInverter->PreviewNotes().empty())
        LogFileResult(FileNameOf(AOutputFile),
                      QString::fromStdString(kvaderon::SuccessMessage(FInverter->PreviewNotes(), verified)));
    return 0;
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

// AFileName is the full path of an existing target. Writes the decision line; an abort (the
// fifth button or the close box) writes none and sets the abort request.
TForm1::TExistingTargetAnswer TForm1::HandleExistingFile(const QString& AFileName) {
    using kvaderon::TExistingTargetChoice;
    const QString name = FileNameOf(AFileName);
    if (FProcessingState->ShouldSkipFile(true)) {
        LogFileResult(name, ChoiceText(TExistingTargetChoice::etcSkipAll));
        return TExistingTargetAnswer::etSkip;
    }
    if (FProcessingState->ShouldOverwriteFile(true)) {
        LogFileResult(name, ChoiceText(TExistingTargetChoice::etcOverwriteAll));
        return TExistingTargetAnswer::etOverwrite;
    }
    FProcessingState->PauseTimer();
    const int answer = FDialogManager->CreateCustomDialogWithMapping(
        QStringLiteral("Файл уже существует"),
        QStringLiteral("Имя файла: %1\nПапка: %2\n\nВыберите действие:").arg(name, FolderWithSeparator(AFileName)),
        {QStringLiteral("Перезаписать этот файл"), QStringLiteral("Пропустить этот файл"),
         QStringLiteral("Перезаписать ВСЕ файлы"), QStringLiteral("Пропустить ВСЕ файлы"),
         QStringLiteral("Прервать обработку")},
        {0, 1, 3, 4, 5}, TForm2::miQuestion);
    FProcessingState->ResumeTimer();
    switch (answer) {
    case kvaderon::efaOverwrite:
        LogFileResult(name, ChoiceText(TExistingTargetChoice::etcOverwrite));
        return TExistingTargetAnswer::etOverwrite;
    case kvaderon::efaSkip:
        LogFileResult(name, ChoiceText(TExistingTargetChoice::etcSkip));
        return TExistingTargetAnswer::etSkip;
    case kvaderon::efaOverwriteAll:
        FProcessingState->SetConflictModeFromAction(answer);
        LogFileResult(name, ChoiceText(TExistingTargetChoice::etcOverwriteAll));
        return TExistingTargetAnswer::etOverwrite;
    case kvaderon::efaSkipAll:
        FProcessingState->SetConflictModeFromAction(answer);
        LogFileResult(name, ChoiceText(TExistingTargetChoice::etcSkipAll));
        return TExistingTargetAnswer::etSkip;
    default:
        FCancelRequested = true;
        return TExistingTargetAnswer::etAbort;
    }
}

void TForm1::ShowInterruptDialog() {
    const QString name = FileNameOf(FInputFiles.at(FProcessingState->CurrentIndex()));
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
