// The carried themes as data: each is six base colours in a table, and one generator turns them
// into a complete palette (every role, the Active, Inactive and Disabled groups) for the Fusion
// style. The darkness of a theme, and of the active one.
#pragma once

#include "Colors.h"

#include <QColor>
#include <QList>
#include <QPalette>
#include <QString>

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double Luminance(const QColor& AColor);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ContrastRatio(const QColor& AFirst, const QColor& ASecond);
// AWeight 0 gives AFrom, 1 gives ATo.
QColor MixColors(const QColor& AFrom, const QColor& ATo, double AWeight);

// The contrasts the generator guarantees against the colour a text is drawn on.
constexpr double TextContrast = 4.5;
constexpr double PlaceholderContrast = 3.5;
constexpr double DisabledTextContrast = 3.0;
// Of the selection against the background of a text field.
constexpr double HighlightContrast = 2.0;

struct TThemeColors {
    QColor Window;    // background of windows and dialogs
    QColor Text;      // text on Window and on Base
    QColor Base;      // background of text fields, lists and the log
    QColor Button;    // face of buttons, combo boxes, scroll bars, headers
    QColor Highlight; // selection, progress, focus
    QColor Accent;    // links
};

struct TCarriedTheme {
    QString Name;
    TThemeColors Colors;
};

// A theme is dark when its text is lighter than its window.
bool IsDarkTheme(const TThemeColors& AColors);

// The relative luminance (0..1) of a colour; system colours resolved with the active theme.
double RelativeLuminance(kvaderon::TColor AColor);
// True when the active theme's window text is lighter than its window background.
bool IsDarkTheme();

// A readable palette from the base colours: text colours are pushed towards black or white until
// they reach the contrasts above, and a button face on which the window text would not read gives
// way towards the window colour, so a table entry can never yield unreadable text.
QPalette MakeThemePalette(const TThemeColors& AColors);

// One theme a line: "name | window | text | base | button | highlight | accent", colours as
// #RRGGBB; blank lines and lines starting with ';' are skipped. A malformed line is reported in
// AErrors.
QList<TCarriedTheme> ParseThemeTable(const QString& AText, QStringList* AErrors = nullptr);
