#include "SingleInstance.h"

#include <QCryptographicHash>

QString TSingleInstance::KeyFor(const QString& ASettingsFile) {
    QString user = qEnvironmentVariable("USERNAME", qEnvironmentVariable("USER"));
    // The key is a file name and a Windows object name: no separators.
    user.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    const QByteArray digest = QCryptographicHash::hash(ASettingsFile.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("kvaderon-") + user + QLatin1Char('-') + QString::fromLatin1(digest.toHex().left(16));
}
