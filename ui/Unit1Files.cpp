// TForm1, files and destination: the open dialog, drops, the destination chooser, the labels and
// status texts that show both choices, and opening the destination in the file manager.
#include "Unit1.h"

#include "NativePaths.h"
#include "PluralForms.h"
#include "ui_Unit1.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>
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

// Up to three names of one folder; otherwise the first name and how many more, or, for files
// from several folders, how many files from how many folders.
void TForm1::UpdateFileNamesLabel() {
    const qsizetype count = FInputFiles.size();
    if (count == 0) {
        SetLabelCaption(FUi->lblFileNames, QStringLiteral("Файлы не выбраны"));
        return;
    }
    const QString hint = FInputFiles.join(QLatin1Char('\n')).trimmed();
    std::vector<kvaderon::TInputFile> files;
    for (qsizetype i = 0; i < count; ++i)
        files.push_back(InputFileAt(i));
    const auto folders = qsizetype(kvaderon::CountFolders(files));
    if (folders > 1) {
        const QString caption = QStringLiteral("%1 ").arg(count) + PluralForm(count, "файл", "файла", "файлов") +
                                QStringLiteral(" из %1 ").arg(folders) + PluralForm(folders, "папки", "папок", "папок");
        SetLabelCaption(FUi->lblFileNames, caption, hint);
    } else if (count == 1) {
        SetLabelCaption(FUi->lblFileNames, FileNameOf(FInputFiles.first()), FInputFiles.first());
    } else if (count <= 3) {
        QStringList names;
        for (const QString& path : FInputFiles)
            names.append(FileNameOf(path));
        SetLabelCaption(FUi->lblFileNames, names.join(QStringLiteral(", ")), hint);
    } else {
        const QString caption = QStringLiteral("%1 и еще %2 ").arg(FileNameOf(FInputFiles.first())).arg(count - 1) +
                                PluralForm(count - 1, "файл", "файла", "файлов");
        SetLabelCaption(FUi->lblFileNames, caption, hint);
    }
}

// The remembered folders, else the user's pictures folder, else the home folder: never the
// program's own folder.
QString TForm1::StartFolder(const QString& AFirstChoice, const QString& ASecondChoice) const {
    if (!AFirstChoice.isEmpty())
        return AFirstChoice;
    if (!ASecondChoice.isEmpty())
        return ASecondChoice;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

void TForm1::SelectInputFiles(bool AAdd) {
    const QStringList paths = FServices.ChooseInputFiles(this, StartFolder(FLastOpenFolder, FLastSaveFolder));
    if (paths.isEmpty() || !TakeInputFiles(paths, AAdd))
        return;
    FLastOpenFolder = FolderWithSeparator(paths.first());
    if (FLastSaveFolder.isEmpty())
        FLastSaveFolder = FLastOpenFolder;
}

// A drop during a batch run is refused: the run would go on with a list it did not start with.
void TForm1::HandleDroppedFiles(const QStringList& APaths, bool AAdd) {
    if (FRunActive || APaths.isEmpty() || !TakeInputFiles(APaths, AAdd))
        return;
    FLastOpenFolder = FolderWithSeparator(APaths.first());
    if (FLastSaveFolder.isEmpty())
        FLastSaveFolder = FLastOpenFolder;
}

void TForm1::OpenFiles(const QStringList& APaths, bool AAdd) {
    QStringList paths;
    for (const QString& path : APaths)
        paths.append(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    HandleDroppedFiles(paths, AAdd);
}

kvaderon::TInputFile TForm1::InputFileAt(qsizetype AIndex) const {
    kvaderon::TInputFile file{ToPath(FInputFiles.at(AIndex)), {}, {}, {}};
    if (AIndex < FInputFolders.size() && !FInputFolders.at(AIndex).isEmpty()) {
        file.Folder = ToPath(FInputFolders.at(AIndex));
        file.Subfolder = file.Path.parent_path().lexically_relative(file.Folder);
        if (file.Subfolder == ".")
            file.Subfolder.clear();
    }
    return file;
}

void TForm1::OpenFolderInShell(const QString& AFolder) {
    if (!FServices.OpenFolderInShell(AFolder))
        ShowMessageDialog(QStringLiteral("Не удалось открыть папку: ") + AFolder, QStringLiteral("Ошибка"), true);
}

// Each folder among APaths stands for the TIFF files under it. The files replace the list, or
// with AAdd join it (a file already listed is not listed twice). A folder below a chosen one that
// cannot be read is told and the rest is taken. False when nothing was taken: then the list stays
// as it was.
bool TForm1::TakeInputFiles(const QStringList& APaths, bool AAdd) {
    std::vector<std::filesystem::path> paths;
    for (const QString& path : APaths)
        paths.push_back(ToPath(path));
    std::vector<kvaderon::TInputFile> found;
    QStringList errors;
    for (const kvaderon::TInputFile& file : kvaderon::FindInputFiles(paths)) {
        if (file.Error.empty())
            found.push_back(file);
        else if (!file.Error.starts_with(kvaderon::NoTiffFilesText))
            errors.append(QString::fromStdString(file.Error));
    }
    if (!errors.isEmpty())
        ShowMessageDialog(errors.join(QLatin1Char('\n')), QStringLiteral("Ошибка"), true);
    if (found.empty()) {
        if (errors.isEmpty())
            ShowMessageDialog(QStringLiteral("В выбранных папках нет TIFF-файлов"), QStringLiteral("Предупреждение"),
                              true);
        return false;
    }
    if (!AAdd) {
        FInputFiles.clear();
        FInputFolders.clear();
    }
    while (FInputFolders.size() < FInputFiles.size())
        FInputFolders.append(QString());
    for (const kvaderon::TInputFile& file : found) {
        const QString path = FromPath(file.Path);
        if (AAdd && FInputFiles.contains(path))
            continue;
        FInputFiles.append(path);
        FInputFolders.append(FromPath(file.Folder));
    }
    const qsizetype count = FInputFiles.size();
    UpdateFileNamesLabel();
    UpdateButtons();
    SetStatus(PluralForm(count, "Выбран", "Выбраны", "Выбрано") + QStringLiteral(" %1 ").arg(count) +
              PluralForm(count, "файл", "файла", "файлов"));
    ResetProgressBars(false);
    return true;
}

void TForm1::SelectOutputFolder() {
    const std::optional<QString> folder =
        FServices.ChooseOutputFolder(this, QStringLiteral("Выберите папку для сохранения инвертированных файлов"),
                                     StartFolder(FLastSaveFolder, FLastOpenFolder));
    if (!folder)
        return;
    SetOutputFolder(WithTrailingSeparator(*folder));
    FLastSaveFolder = FOutputFolder;
    UpdateButtons();
    const qsizetype count = FInputFiles.size();
    SetStatus(PluralForm(count, "Готов", "Готовы", "Готово") + QStringLiteral(" к обработке %1 ").arg(count) +
              PluralForm(count, "файл", "файла", "файлов"));
}

void TForm1::SetOutputFolder(const QString& AFolder) {
    FOutputFolder = AFolder;
    SetLabelCaption(FUi->lblFolderName, ShortenPath(FOutputFolder, FolderLabelMaxLength), FOutputFolder);
}

void TForm1::OpenOutputFolder() {
    if (FOutputFolder.isEmpty())
        ShowMessageDialog(QStringLiteral("Сначала выберите папку для сохранения"), QStringLiteral("Предупреждение"),
                          true);
    else if (QFileInfo(FOutputFolder).isDir())
        OpenFolderInShell(FOutputFolder);
    else
        ShowMessageDialog(QStringLiteral("Папка не существует: ") + FOutputFolder, QStringLiteral("Ошибка"), true);
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
    HandleDroppedFiles(paths, AEvent->modifiers().testFlag(Qt::ControlModifier));
    AEvent->acceptProposedAction();
}
