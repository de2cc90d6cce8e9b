// Renders an SVG icon into PNG sizes, or into one Windows icon file holding those sizes:
// render_icon ICON.svg OUTPUT_FOLDER SIZE...   writes OUTPUT_FOLDER/<SIZE>x<SIZE>/apps/<name of ICON>.png
// render_icon --ico ICON.svg OUTPUT.ico SIZE...  writes one .ico with a PNG image of each size.
// render_icon --bmp ICON.svg OUTPUT.bmp WIDTHxHEIGHT  writes a picture of the installer's pages:
//   the icon on white, three quarters of the shorter side, centred across and a third down a tall
//   picture, centred in a wide one.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QSaveFile>
#include <QStringList>
#include <QSvgRenderer>
#include <QtEndian>

#include <algorithm>
#include <cstdio>

namespace {

QImage Render(QSvgRenderer& ARenderer, int ASize) {
    QImage image(ASize, ASize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    ARenderer.render(&painter);
    painter.end();
    return image;
}

bool WritePng(const QImage& AImage, const QString& AOutputFolder, const QString& AName) {
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(AOutputFolder).arg(AImage.width());
    return QDir().mkpath(folder) && AImage.save(folder + QLatin1Char('/') + AName + QStringLiteral(".png"));
}

template <typename T> void Append(QByteArray& AData, T AValue) {
    const T little = qToLittleEndian(AValue);
    AData.append(reinterpret_cast<const char*>(&little), sizeof little);
}

// The icon file: a header, one 16-byte entry per image, then the images as PNG (Windows Vista on).
bool WriteIco(const QList<QImage>& AImages, const QString& AFile) {
    QList<QByteArray> pngs;
    for (const QImage& image : AImages) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (image.width() > 256 || !image.save(&buffer, "PNG"))
            return false;
        pngs << buffer.data();
    }
    QByteArray data;
    Append<quint16>(data, 0);
    Append<quint16>(data, 1);
    Append<quint16>(data, quint16(pngs.size()));
    quint32 offset = quint32(6 + 16 * pngs.size());
    for (qsizetype i = 0; i < pngs.size(); ++i) {
        const auto side = quint8(AImages[i].width() % 256); // 0 stands for 256
        data.append(char(side)).append(char(side)).append(char(0)).append(char(0));
        Append<quint16>(data, 1);
        Append<quint16>(data, 32);
        Append<quint32>(data, quint32(pngs[i].size()));
        Append<quint32>(data, offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        data += png;
    QSaveFile file(AFile);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

bool WritePagePicture(QSvgRenderer& ARenderer, const QString& ASizeText, const QString& AFile) {
    const QStringList sides = ASizeText.split(QLatin1Char('x'));
    const int width = sides.size() == 2 ? sides[0].toInt() : 0;
    const int height = sides.size() == 2 ? sides[1].toInt() : 0;
    if (width <= 0 || height <= 0 || width > 1024 || height > 1024)
        return false;
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const int side = std::min(width, height) * 3 / 4;
    const int top = height > width ? height / 3 - side / 2 : (height - side) / 2;
    QPainter painter(&picture);
    painter.drawImage((width - side) / 2, top, Render(ARenderer, side));
    painter.end();
    return picture.save(AFile, "BMP");
}

} // namespace

int main(int argc, char* argv[]) {
    // Shapes only: painting on a QImage needs no application object nor platform plugin.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool isIco = !arguments.isEmpty() && arguments[0] == QStringLiteral("--ico");
    const bool isBmp = !arguments.isEmpty() && arguments[0] == QStringLiteral("--bmp");
    if (isIco || isBmp)
        arguments.removeFirst();
    if (arguments.size() < 3 || (isBmp && arguments.size() != 3)) {
        std::fputs("usage: render_icon [--ico] ICON.svg OUTPUT SIZE...\n"
                   "       render_icon --bmp ICON.svg OUTPUT.bmp WIDTHxHEIGHT\n",
                   stderr);
        return 2;
    }
    QSvgRenderer renderer(arguments[0]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_icon: cannot read %s\n", qPrintable(arguments[0]));
        return 1;
    }
    if (isBmp) {
        if (WritePagePicture(renderer, arguments[2], arguments[1]))
            return 0;
        std::fprintf(stderr, "render_icon: cannot write %s at %s\n", qPrintable(arguments[1]),
                     qPrintable(arguments[2]));
        return 1;
    }
    const QString name = QFileInfo(arguments[0]).completeBaseName();
    QList<QImage> images;
    for (const QString& sizeText : arguments.mid(2)) {
        bool isNumber = false;
        const int size = sizeText.toInt(&isNumber);
        if (!isNumber || size <= 0 || size > 1024) {
            std::fprintf(stderr, "render_icon: wrong size %s\n", qPrintable(sizeText));
            return 2;
        }
        images << Render(renderer, size);
        if (!isIco && !WritePng(images.last(), arguments[1], name)) {
            std::fprintf(stderr, "render_icon: cannot write the %d pixel icon\n", size);
            return 1;
        }
    }
    if (isIco && !WriteIco(images, arguments[1])) {
        std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(arguments[1]));
        return 1;
    }
    return 0;
}
