#include "WindowFonts.h"

#include <QFont>
#include <QWidget>

QStringList WindowFontFamilies() {
    return {QStringLiteral("Segoe UI"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
            QStringLiteral("DejaVu Sans")};
}

QStringList LogFontFamilies() {
    return {QStringLiteral("Consolas"), QStringLiteral("Liberation Mono"),
            QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Courier New")};
}

void ApplyWindowFont(QWidget* AWindow) {
    QFont font = AWindow->font();
    font.setFamilies(WindowFontFamilies());
    AWindow->setFont(font);
}
