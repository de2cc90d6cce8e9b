// The theme manager: the platform's own look "Windows" and the carried themes, each a palette
// applied with the Fusion style. Every window hears of a change through StyleChanged.
#pragma once

#include "Colors.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPalette>
#include <QString>
#include <QStringList>

class TStyleManager : public QObject {
    Q_OBJECT

public:
    static TStyleManager& Instance();

    // "Windows" first, then the carried themes by their exact names.
    QStringList StyleNames() const;
    QString ActiveStyleName() const;

    // Makes AName the active theme and notifies every window; false (nothing changed) for an
    // unknown name. Choosing the theme that is already active changes nothing and sends no
    // notification.
    bool TrySetStyle(const QString& AName);

    // The active theme's colour for a TColor: system colours (0xFF000000 + n: 5 window, 8 window
    // text, 15 button face, 18 button text, 13 highlight, 14 highlight text, 17 gray text, ...)
    // resolved with the active palette, RGB colours as they are. Window (5) is the background of
    // text fields and lists, window text (8) the text on it; clDefault gives that text colour,
    // clNone an invalid QColor.
    QColor GetSystemColor(kvaderon::TColor AColor) const;

    // The names of the carried themes that are dark (text lighter than window), in table order.
    static const QStringList& DarkThemeNames();

signals:
    void StyleChanged(const QString& AName);

private:
    TStyleManager();

    QString FActiveName;
    // The platform's own look as found when the manager was first used.
    QString FStartStyleName;
    QPalette FStartPalette;
    // The carried themes in the order of their table; FThemePalettes[i] belongs to FThemeNames[i].
    QStringList FThemeNames;
    QList<QPalette> FThemePalettes;
    QStringList FDarkThemeNames;
};
