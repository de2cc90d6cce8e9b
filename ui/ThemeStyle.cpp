// Fusion with visible indicator frames on dark palettes.
#include "ThemeStyle.h"

#include "ThemePalette.h"

#include <QStyleFactory>
#include <QStyleOptionButton>

TThemeStyle::TThemeStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void TThemeStyle::drawPrimitive(PrimitiveElement AElement, const QStyleOption* AOption,
                                QPainter* APainter, const QWidget* AWidget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(AOption);
    const bool indicator = AElement == PE_IndicatorCheckBox || AElement == PE_IndicatorRadioButton;
    if (!button || !indicator) {
        QProxyStyle::drawPrimitive(AElement, AOption, APainter, AWidget);
        return;
    }
    const QColor window = button->palette.color(QPalette::Window);
    const QColor windowText = button->palette.color(QPalette::WindowText);
    if (Luminance(windowText) <= Luminance(window)) {
        QProxyStyle::drawPrimitive(AElement, AOption, APainter, AWidget);
        return;
    }
    // Fusion draws the frame in the window colour darkened by 140 to 150 %: hand it a window
    // colour that much lighter than the grey the frame should have.
    QStyleOptionButton lifted(*button);
    lifted.palette.setColor(QPalette::Window, MixColors(window, windowText, 0.45).lighter(145));
    QProxyStyle::drawPrimitive(AElement, &lifted, APainter, AWidget);
}
