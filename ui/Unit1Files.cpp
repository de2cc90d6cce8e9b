// TForm1, files and destination: the open dialog, drops, the destination chooser, the labels and
// status texts that show both choices, and opening the destination in the file manager.
#include "Unit1.h"

#include "FileChoosers.h"
#include "ui_Unit1.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

constexpr int FolderLabelMaxLength = 60;

QString PluralForm(qsizetype ACount, const char* AOne, const char* AFew, const char* AMany) {
    return QString::fromStdString(kvaderon::GetPluralForm(ACount, AOne, AFew, AMany));
}

QStringList LocalPaths(const QMimeData* AData) {
    QStringList paths;
    if (AData == nullptr || !AData->hasUrls())
        return paths;
    for (const QUrl& url : AData->urls()) {
        if (url.isLocalFile())
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    return paths;
}

} // namespace

QString TForm1::ShortenPath(const QString& APath, int AMaxLength) {
    if (APath.size() <= AMaxLength)
        return APath;
    const int head = AMaxLength / 3;
    const int tail = AMaxLength - head - 3;
    return APath.left(head) + QStringLiteral("...") + APath.right(tail);
}

void TForm1::SetLabelCaption(QLabel* ALabel, const QString& ACaption, const QString& AHint) {
    ALabel->setText(ACaption);
    ALabel->setToolTip(AHint);
    FitLabels();
}

// Each label is as wide as its text but ends before the tool button of its row (or the panel's
// edge); a longer text is shortened when drawn.
void TForm1::FitLabels() {
    const auto fit = [](QLabel* ALabel, int ARightLimit) {
        const QSize wanted = ALabel->sizeHint();
        ALabel->resize(std::clamp(ARightLimit - ALabel->x(), 0, wanted.width()), wanted.height());
    };
    // The tool buttons' distance from the panel's edge.
    const int gap = FUi->Panel1->width() - (FUi->SpeedButton2->x() + FUi->SpeedButton2->width());
    fit(FUi->lblFileNames, FUi->SpeedButton2->x() - gap);
    fit(FUi->lblFolderName, FUi->SpeedButton1->x() - gap);
    fit(FUi->lblStatus, FUi->Panel1->width() - gap);
}

void TForm1::SetStatus(const QString& AText) {
    SetLabelCaption(FUi->lblStatus, AText);
}

void TForm1::UpdateFileNamesLabel() {
    const qsizetype count = FInputFiles.size();
    if (count == 0) {
        SetLabelCaption(FUi->lblFileNames, QStringLiteral("Файлы не выбраны"));
        return;
    }
    const QString hint = FInputFiles.join(QLatin1Char('\n')).trimmed();
    if (count == 1) {
        SetLabelCaption(FUi->lblFileNames, FileNameOf(FInputFiles.first()), FInputFiles.first());
    } else if (count <= 3) {
        QStringList names;
        for (const QString& path : FInputFiles)
            names.append(FileNameOf(path));
        SetLabelCaption(FUi->lblFileNames, names.join(QStringLiteral(", ")), hint);
    } else {
        const QString caption =
            QStringLiteral("%1 и еще %2 ").arg(FileNameOf(FInputFiles.first())).arg(count - 1) +
            PluralForm(count - 1, "файл", "файла", "файлов");
        SetLabelCaption(FUi->lblFileNames, caption, hint);
    }
}

QString TForm1::StartFolder(const QString& AFirstChoice, const QString& ASecondChoice) const {
    if (!AFirstChoice.isEmpty())
        return AFirstChoice;
    if (!ASecondChoice.isEmpty())
        return ASecondChoice;
    return QCoreApplication::applicationDirPath();
}

void TForm1::SelectInputFiles() {
    const QStringList files =
        FServices.ChooseInputFiles(this, StartFolder(FLastOpenFolder, FLastSaveFolder));
    if (files.isEmpty())
        return;
    FLastOpenFolder = FolderWithSeparator(files.first());
    if (FLastSaveFolder.isEmpty())
        FLastSaveFolder = FLastOpenFolder;
    TakeInputFiles(files);
}

// A drop during a batch run is refused: the run would go on with a list it did not start with.
void TForm1::HandleDroppedFiles(const QStringList& APaths) {
    if (FRunActive || APaths.isEmpty())
        return;
    TakeInputFiles(APaths);
    FLastOpenFolder = FolderWithSeparator(APaths.first());
    if (FLastSaveFolder.isEmpty())
        FLastSaveFolder = FLastOpenFolder;
}

void TForm1::OpenFiles(const QStringList& APaths) {
    QStringList paths;
    for (const QString& path : APaths)
        paths.append(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    HandleDroppedFiles(paths);
}

void TForm1::OpenFolderInShell(const QString& AFolder) {
    if (!FServices.OpenFolderInShell(AFolder))
        ShowMessageDialog(QStringLiteral("Не удалось открыть папку: ") + AFolder,
                          QStringLiteral("Ошибка"), true);
}

void TForm1::TakeInputFiles(const QStringList& APaths) {
    FInputFiles = APaths;
    const qsizetype count = FInputFiles.size();
    UpdateFileNamesLabel();
    UpdateButtons();
    SetStatus(PluralForm(count, "Выбран", "Выбраны", "Выбрано") +
              QStringLiteral(" %1 ").arg(count) + PluralForm(count, "файл", "файла", "файлов"));
    ResetProgressBars(false);
}

void TForm1::SelectOutputFolder() {
    const std::optional<QString> folder = FServices.ChooseOutputFolder(
        this, QStringLiteral("Выберите папку для сохранения инвертированных файлов"),
        StartFolder(FLastSaveFolder, FLastOpenFolder));
    if (!folder)
        return;
    SetOutputFolder(WithTrailingSeparator(*folder));
    FLastSaveFolder = FOutputFolder;
    UpdateButtons();
    const qsizetype count = FInputFiles.size();
    SetStatus(PluralForm(count, "Готов", "Готовы", "Готово") +
              QStringLiteral(" к обработке %1 ").arg(count) +
              PluralForm(count, "файл", "файла", "файлов"));
}

void TForm1::SetOutputFolder(const QString& AFolder) {
    FOutputFolder = AFolder;
    SetLabelCaption(FUi->lblFolderName, ShortenPath(FOutputFolder, FolderLabelMaxLength),
                    FOutputFolder);
}

void TForm1::OpenOutputFolder() {
    if (FOutputFolder.isEmpty())
        ShowMessageDialog(QStringLiteral("Сначала выберите папку для сохранения"),
                          QStringLiteral("Предупреждение"), true);
    else if (QFileInfo(FOutputFolder).isDir())
        OpenFolderInShell(FOutputFolder);
    else
        ShowMessageDialog(QStringLiteral("Папка не существует: ") + FOutputFolder,
                          QStringLiteral("Ошибка"), true);
}

void TForm1::dragEnterEvent(QDragEnterEvent* AEvent) {
    if (!FRunActive && !LocalPaths(AEvent->mimeData()).isEmpty())
        AEvent->acceptProposedAction();
    else
        AEvent->ignore();
}

void TForm1::dropEvent(QDropEvent* AEvent) {
    const QStringList paths = LocalPaths(AEvent->mimeData());
    if (FRunActive || paths.isEmpty()) {
        AEvent->ignore();
        return;
    }
    HandleDroppedFiles(paths);
    AEvent->acceptProposedAction();
}
