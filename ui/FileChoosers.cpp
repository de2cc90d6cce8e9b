// The open dialog for TIFF files with its preview pane, the folder chooser and path spellings.
#include "FileChoosers.h"

#include "PathText.h"
#include "InputFiles.h"
#include "TiffPreview.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <QtConcurrent/QtConcurrentRun>
#include <QFutureWatcher>

#include <cstring>

namespace {

// Room for a negative and its positive side by side.
constexpr QSize PreviewBox(328, 164);
constexpr int PreviewGap = 8;
// The open dialog's size and its name column: long names beside the preview pane.
constexpr QSize OpenDialogSize(1100, 600);
constexpr int NameColumnWidth = 460;

QImage ToImage(const kvaderon::TTiffPicture& APicture) {
    QImage image(int(APicture.Width), int(APicture.Height), QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), APicture.Rgb.data() + std::size_t(y) * APicture.Width * 3,
                    std::size_t(APicture.Width) * 3);
    return image;
}

// A TIFF file: its negative and, beside it, the positive it will become; or why it cannot be.
TPreviewContent NegativeAndPositive(const QString& AFileName, const QSize& ABox) {
    const int side = std::min((ABox.width() - PreviewGap) / 2, ABox.height());
    if (side <= 0)
        return {};
    const kvaderon::TTiffPreview preview =
        kvaderon::MakeTiffPreview(ToPath(AFileName), std::uint32_t(side));
    if (!preview.Refusal.empty())
        return {{}, QString::fromStdString(preview.Refusal)};
    QImage both(int(preview.Negative.Width) * 2 + PreviewGap, int(preview.Negative.Height),
                QImage::Format_ARGB32);
    both.fill(Qt::transparent);
    QPainter painter(&both);
    painter.drawImage(0, 0, ToImage(preview.Negative));
    painter.drawImage(int(preview.Negative.Width) + PreviewGap, 0, ToImage(preview.Positive));
    return {both, {}};
}

// Any other picture Qt reads, scaled down.
QImage QtPreview(const QString& AFileName, const QSize& ABox) {
    QImageReader reader(AFileName);
    reader.setAutoTransform(true);
    const QSize fullSize = reader.size();
    if (fullSize.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize) &&
        (fullSize.width() > ABox.width() || fullSize.height() > ABox.height()))
        reader.setScaledSize(fullSize.scaled(ABox, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.width() > ABox.width() || image.height() > ABox.height())
        image = image.scaled(ABox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

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

QString NoPicture() {
    return QStringLiteral("Нет изображения");
}

} // namespace

QStringList TiffNameFilters() {
    return {QStringLiteral("TIFF files (*.tif *.tiff)"), QStringLiteral("All files (*)")};
}

QStringList ChooseTiffFiles(QWidget* AParent, const QString& AStartFolder) {
    QFileDialog dialog(AParent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(TiffNameFilters());
    dialog.selectNameFilter(TiffNameFilters().first());
    dialog.setDirectory(AStartFolder);
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

std::optional<QString> ChooseFolder(QWidget* AParent, const QString& ATitle,
                                    const QString& AStartFolder) {
    const QString folder = QFileDialog::getExistingDirectory(AParent, ATitle, AStartFolder,
                                                             QFileDialog::ShowDirsOnly |
                                                                 QFileDialog::DontUseNativeDialog);
    if (folder.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(folder);
}

TPreviewContent LoadPreview(const QString& AFileName, const QSize& ABox) {
    if (!QFileInfo(AFileName).isFile())
        return {{}, NoPicture()};
    if (kvaderon::IsTiffFileName(ToPath(AFileName)))
        return NegativeAndPositive(AFileName, ABox);
    const QImage picture = QtPreview(AFileName, ABox);
    return {picture, picture.isNull() ? NoPicture() : QString()};
}

// The picture is made off the user-interface thread; a later choice replaces an earlier one
// still being made.
void AddPreviewPane(QFileDialog& ADialog) {
    auto* layout = qobject_cast<QGridLayout*>(ADialog.layout());
    if (layout == nullptr)
        return;
    auto* preview = new QLabel(&ADialog);
    preview->setObjectName(QStringLiteral("PreviewPane"));
    preview->setFixedSize(PreviewBox + QSize(8, 8));
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(preview, 1, layout->columnCount(), 1, 1, Qt::AlignTop);
    preview->setWordWrap(true);
    auto* loading = new QFutureWatcher<TPreviewContent>(preview);
    QObject::connect(loading, &QFutureWatcher<TPreviewContent>::finished, preview, [preview, loading] {
        const TPreviewContent content = loading->result();
        if (content.Image.isNull())
            preview->setText(content.Text);
        else
            preview->setPixmap(QPixmap::fromImage(content.Image));
    });
    QObject::connect(&ADialog, &QFileDialog::currentChanged, preview,
                     [preview, loading](const QString& APath) {
                         preview->clear();
                         loading->setFuture(QtConcurrent::run(LoadPreview, APath, PreviewBox));
                     });
}

QString WithTrailingSeparator(const QString& APath) {
    QString path = QDir::toNativeSeparators(APath);
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path;
}

QString WithoutTrailingSeparator(const QString& APath) {
    return QDir::toNativeSeparators(QDir::cleanPath(APath));
}

QString FileNameOf(const QString& APath) {
    return QFileInfo(APath).fileName();
}

std::filesystem::path ToPath(const QString& APath) {
    return kvaderon::Utf8ToPath(QDir::toNativeSeparators(APath).toStdString());
}

QString FromPath(const std::filesystem::path& APath) {
    return QDir::toNativeSeparators(QString::fromStdString(kvaderon::PathToUtf8(APath)));
}

QString FolderWithSeparator(const QString& APath) {
    const QString path = QDir::toNativeSeparators(APath);
    return path.left(path.lastIndexOf(QDir::separator()) + 1);
}
