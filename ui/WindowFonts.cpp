// The window and log font families, with same-width look-alikes of the designed fonts.
#include "WindowFonts.h"

#include <QFont>
#include <QToolTip>
#include <QWidget>

QStringList WindowFontFamilies() {
    return {QStringLiteral("Segoe UI"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
            QStringLiteral("DejaVu Sans")};
}

QStringList LogFontFamilies() {
    return {QStringLiteral("Consolas"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
            QStringLiteral("Courier New")};
}

void ApplyWindowFont(QWidget* AWindow) {
    QFont font = AWindow->font();
    font.setFamilies(WindowFontFamilies());
    AWindow->setFont(font);
    // Hints are windows of their own: they take the same font.
    QToolTip::setFont(font);
}
