// The fonts of the program's windows, with look-alikes of the same width where the designed
// fonts (Segoe UI, Consolas) are not installed.
#pragma once

#include <QStringList>

class QWidget;

QStringList WindowFontFamilies();
QStringList LogFontFamilies();

// Gives AWindow, and so every control on it, and the hints the window font families at its
// designed size.
void ApplyWindowFont(QWidget* AWindow);
