// The open dialog for TIFF files with its preview pane, and the folder chooser.
#include "FileChoosers.h"

#include "PreviewPane.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTreeView>

namespace {

// The open dialog's size and its name column: long names beside the preview pane.
constexpr QSize OpenDialogSize(1100, 600);
constexpr int NameColumnWidth = 460;

// The folders marked in the dialog's list, or the folder it shows when none is marked.
QStringList SelectedFolders(const QFileDialog& ADialog) {
    QStringList folders;
    if (const auto* list = ADialog.findChild<QListView*>(QStringLiteral("listView")))
        for (const QModelIndex& index : list->selectionModel()->selectedRows()) {
            const QString path = ADialog.directory().absoluteFilePath(index.data().toString());
            if (QFileInfo(path).isDir())
                folders.append(QDir::toNativeSeparators(path));
        }
    if (folders.isEmpty())
        folders.append(QDir::toNativeSeparators(ADialog.directory().absolutePath()));
    return folders;
}

} // namespace

QStringList TiffNameFilters() {
    return {QStringLiteral("Файлы TIFF (*.tif *.tiff)"), QStringLiteral("Все файлы (*)")};
}

QList<QUrl> SidebarPlaces() {
    QStringList folders;
    for (const auto location : {QStandardPaths::HomeLocation, QStandardPaths::DesktopLocation,
                                QStandardPaths::DocumentsLocation, QStandardPaths::PicturesLocation})
        folders.append(QStandardPaths::writableLocation(location));
    for (const QFileInfo& drive : QDir::drives())
        folders.append(drive.absoluteFilePath());
    QList<QUrl> places;
    for (const QString& folder : folders) {
        const QUrl place = QUrl::fromLocalFile(folder);
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && !places.contains(place))
            places.append(place);
    }
    return places;
}

QStringList ChooseTiffFiles(QWidget* AParent, const QString& AStartFolder) {
    QFileDialog dialog(AParent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(TiffNameFilters());
    dialog.selectNameFilter(TiffNameFilters().first());
    dialog.setDirectory(AStartFolder);
    dialog.setSidebarUrls(SidebarPlaces());
    dialog.setSizeGripEnabled(true);
    AddPreviewPane(dialog);
    if (const QScreen* screen = dialog.screen())
        dialog.resize(OpenDialogSize.boundedTo(screen->availableSize()));
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
        details->header()->resizeSection(0, NameColumnWidth);
    // Folders are taken by a button of their own: the dialog's own button opens them.
    QStringList folders;
    auto* folderButton = new QPushButton(QStringLiteral("Выбрать папку…"), &dialog);
    folderButton->setObjectName(QStringLiteral("ChooseFolderButton"));
    folderButton->setToolTip(QStringLiteral("Выбрать отмеченные папки или, если не отмечено ни одной, "
                                            "открытую: все TIFF-файлы в них и во вложенных папках"));
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
        buttons->addButton(folderButton, QDialogButtonBox::ActionRole);
    QObject::connect(folderButton, &QPushButton::clicked, &dialog, [&dialog, &folders] {
        folders = SelectedFolders(dialog);
        dialog.reject();
    });
    if (dialog.exec() != QDialog::Accepted)
        return folders;
    QStringList files;
    for (const QString& file : dialog.selectedFiles())
        files.append(QDir::toNativeSeparators(file));
    return files;
}

std::optional<QString> ChooseFolder(QWidget* AParent, const QString& ATitle, const QString& AStartFolder) {
    QFileDialog dialog(AParent, ATitle, AStartFolder);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setSidebarUrls(SidebarPlaces());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}
