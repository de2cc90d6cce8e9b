#include "NativePaths.h"

#include "PathText.h"

#include <QDir>
#include <QFileInfo>

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
