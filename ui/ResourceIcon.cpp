// The program's icons: SVG or PNG sizes, whichever the build put into the resources.
#include "ResourceIcon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The resources live in the library; the call keeps them in every program linking it.
static void InitIconResources() {
    Q_INIT_RESOURCE(kvaderon_icons);
}

QIcon ResourceIcon(const QString& AName) {
    InitIconResources();
    const QString svg = QStringLiteral(":/icons/%1.svg").arg(AName);
    if (QFile::exists(svg))
        return QIcon(svg);
    QIcon icon;
    const QDir sizes(QStringLiteral(":/icons/") + AName);
    for (const QFileInfo& png : sizes.entryInfoList({QStringLiteral("*.png")}, QDir::Files))
        icon.addFile(png.filePath());
    return icon;
}
