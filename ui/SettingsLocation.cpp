// Where the settings file lies: beside the executable or in the configuration folder.
#include "SettingsLocation.h"

#include "NativePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool IsSystemFolder(const QString& AFolder) {
    const QString folder = QFileInfo(AFolder).canonicalFilePath();
    return folder == QStringLiteral("/usr") || folder.startsWith(QStringLiteral("/usr/"));
}

} // namespace

std::filesystem::path SettingsFilePath(const QString& AExecutable, const QString& AConfigFolder) {
    const QFileInfo executable(AExecutable);
    const QString folder = executable.absolutePath();
    const QString beside = folder + QLatin1Char('/') + executable.completeBaseName() + QStringLiteral(".ini");
    const QFileInfo folderInfo(folder);
    const bool isInstalled = QFileInfo::exists(folder + QLatin1Char('/') + QLatin1String(InstalledMarker));
    if (QFileInfo::exists(beside) || (folderInfo.isWritable() && !IsSystemFolder(folder) && !isInstalled))
        return ToPath(beside);
    return ToPath(AConfigFolder + QStringLiteral("/kvaderon.ini"));
}

std::filesystem::path SettingsFilePath() {
    // The configuration location of an application named "kvaderon" without an organisation;
    // the application's own name is its title.
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kvaderon");
    return SettingsFilePath(QCoreApplication::applicationFilePath(), configFolder);
}
