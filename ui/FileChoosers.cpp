// The open dialog for TIFF files with its preview pane, the folder chooser and path spellings.
#include "FileChoosers.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

namespace {

constexpr QSize PreviewBox(220, 220);

// The preview pane of the open dialog: the picture under the cursor, scaled down.
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
    QObject::connect(
        &ADialog, &QFileDialog::currentChanged, preview, [preview](const QString& APath) {
            const QImage image =
                QFileInfo(APath).isFile() ? LoadPreviewImage(APath, PreviewBox) : QImage();
            if (image.isNull())
                preview->setText(QStringLiteral("Нет изображения"));
            else
                preview->setPixmap(QPixmap::fromImage(image));
        });
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
    if (dialog.exec() != QDialog::Accepted)
        return {};
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

QImage LoadPreviewImage(const QString& AFileName, const QSize& ABox) {
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
    // 16-bit pictures are shown as ordinary 8-bit ones.
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
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

QString FolderWithSeparator(const QString& APath) {
    const QString path = QDir::toNativeSeparators(APath);
    return path.left(path.lastIndexOf(QDir::separator()) + 1);
}
