#include "SystemTheme.h"

#include <QGuiApplication>
#include <QPalette>
#include <QProcess>

namespace {

constexpr int GsettingsTimeoutMs = 2000;

} // namespace

bool SystemPrefersDarkTheme() {
    QProcess gsettings;
    gsettings.start(QStringLiteral("gsettings"), {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"),
                                                  QStringLiteral("color-scheme")});
    if (gsettings.waitForFinished(GsettingsTimeoutMs) && gsettings.exitCode() == 0) {
        const QByteArray scheme = gsettings.readAllStandardOutput().trimmed();
        if (scheme == "'prefer-dark'")
            return true;
        if (scheme == "'prefer-light'" || scheme == "'default'")
            return false;
    }
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}
