// Renders the application's SVG icon into the PNG sizes of the desktop's icon theme:
// render_icon ICON.svg OUTPUT_FOLDER SIZE... writes OUTPUT_FOLDER/<SIZE>x<SIZE>/apps/<name of ICON>.png.
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

bool RenderOne(QSvgRenderer& ARenderer, int ASize, const QString& AOutputFolder, const QString& AName) {
    QImage image(ASize, ASize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    ARenderer.render(&painter);
    painter.end();
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(AOutputFolder).arg(ASize);
    return QDir().mkpath(folder) && image.save(folder + QLatin1Char('/') + AName + QStringLiteral(".png"));
}

} // namespace

int main(int argc, char* argv[]) {
    // Shapes only: painting on a QImage needs no application object nor platform plugin.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.size() < 4) {
        std::fputs("usage: render_icon ICON.svg OUTPUT_FOLDER SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_icon: cannot read %s\n", qPrintable(arguments[1]));
        return 1;
    }
    const QString name = QFileInfo(arguments[1]).completeBaseName();
    for (const QString& sizeText : arguments.mid(3)) {
        bool isNumber = false;
        const int size = sizeText.toInt(&isNumber);
        if (!isNumber || size <= 0 || !RenderOne(renderer, size, arguments[2], name)) {
            std::fprintf(stderr, "render_icon: cannot write the %s pixel icon\n", qPrintable(sizeText));
            return 1;
        }
    }
    return 0;
}
