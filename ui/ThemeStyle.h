// The style of the carried themes: Fusion, with frames of check boxes, radio buttons, text fields
// and panels that stay visible on a dark window (Fusion darkens the window colour for them).
#pragma once

#include <QProxyStyle>

class TThemeStyle : public QProxyStyle {
    Q_OBJECT

public:
    TThemeStyle();

    void drawPrimitive(PrimitiveElement AElement, const QStyleOption* AOption, QPainter* APainter,
                       const QWidget* AWidget = nullptr) const override;
};
