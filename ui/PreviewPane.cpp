// The preview pane of the open dialog, its pictures made off the user-interface thread.
#include "PreviewPane.h"

#include "InputFiles.h"
#include "NativePaths.h"
#include "TiffPreview.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QtConcurrent/QtConcurrentRun>

#include <cstring>

namespace {

// Room for a negative and its positive side by side.
constexpr QSize PreviewBox(328, 164);
constexpr int PreviewGap = 8;

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
    const kvaderon::TTiffPreview preview = kvaderon::MakeTiffPreview(ToPath(AFileName), std::uint32_t(side));
    if (!preview.Refusal.empty())
        return {{}, QString::fromStdString(preview.Refusal)};
    QImage both(int(preview.Negative.Width) * 2 + PreviewGap, int(preview.Negative.Height), QImage::Format_ARGB32);
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
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

QString NoPicture() {
    return QStringLiteral("Нет изображения");
}

} // namespace

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
    QObject::connect(&ADialog, &QFileDialog::currentChanged, preview, [preview, loading](const QString& APath) {
        preview->clear();
        loading->setFuture(QtConcurrent::run(LoadPreview, APath, PreviewBox));
    });
}
