// The theme manager: the platform's own look "Windows" and the carried themes, each a palette
// applied with the Fusion style. Every window hears of a change through StyleChanged.
#pragma once

#include "CommonTypes.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>

class TStyleManager : public QObject {
    Q_OBJECT

public:
    static TStyleManager& Instance();

    // "Windows" first, then the carried themes by their exact names.
    QStringList StyleNames() const;
    QString ActiveStyleName() const;
    bool IsStyleName(const QString& AName) const;

    // Makes AName the active theme and notifies every window; false (nothing changed) for an unknown name.
    bool TrySetStyle(const QString& AName);

    // The active theme's colour for a TColor: system colours (0xFF000000 + n: 5 window, 8 window text,
    // 15 button face, 18 button text, 13 highlight, 14 highlight text, 17 gray text, ...) resolved
    // with the active palette, RGB colours as they are.
    QColor GetSystemColor(kvaderon::TColor AColor) const;

    // The names of the carried themes that are dark.
    static const QStringList& DarkThemeNames();

signals:
    void StyleChanged(const QString& AName);

private:
    TStyleManager();
};
