// Fusion with visible frames on dark palettes.
#include "ThemeStyle.h"

#include "ThemePalette.h"

#include <QStyleFactory>
#include <QStyleOption>

namespace {

// Fusion draws these frames in the window colour darkened by 140 to 150 %, which vanishes on a
// dark window. The option is handed on with a window colour that much lighter than the grey the
// frame should have, a mix of window and window text by AWeight.
template <typename TOption>
bool DrawLifted(const QProxyStyle& AStyle, QStyle::PrimitiveElement AElement, const QStyleOption* AOption,
                QPainter* APainter, const QWidget* AWidget, double AWeight) {
    const auto* option = qstyleoption_cast<const TOption*>(AOption);
    if (!option)
        return false;
    const QColor window = option->palette.color(QPalette::Window);
    const QColor windowText = option->palette.color(QPalette::WindowText);
    if (Luminance(windowText) <= Luminance(window))
        return false;
    TOption lifted(*option);
    lifted.palette.setColor(QPalette::Window, MixColors(window, windowText, AWeight).lighter(145));
    AStyle.QProxyStyle::drawPrimitive(AElement, &lifted, APainter, AWidget);
    return true;
}

} // namespace

TThemeStyle::TThemeStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void TThemeStyle::drawPrimitive(PrimitiveElement AElement, const QStyleOption* AOption, QPainter* APainter,
                                const QWidget* AWidget) const {
    bool drawn = false;
    switch (AElement) {
    case PE_IndicatorCheckBox:
    case PE_IndicatorRadioButton:
        drawn = DrawLifted<QStyleOptionButton>(*this, AElement, AOption, APainter, AWidget, 0.45);
        break;
    case PE_Frame:
    case PE_FrameLineEdit:
    case PE_FrameGroupBox:
        drawn = DrawLifted<QStyleOptionFrame>(*this, AElement, AOption, APainter, AWidget, 0.25);
        break;
    default:
        break;
    }
    if (!drawn)
        QProxyStyle::drawPrimitive(AElement, AOption, APainter, AWidget);
}
