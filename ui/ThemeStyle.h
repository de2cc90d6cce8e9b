// The style of the carried themes: Fusion, with check box and radio button frames that stay
// visible on a dark window (Fusion derives them from the window colour by darkening it).
#pragma once

#include <QProxyStyle>

class TThemeStyle : public QProxyStyle {
    Q_OBJECT

public:
    TThemeStyle();

    void drawPrimitive(PrimitiveElement AElement, const QStyleOption* AOption, QPainter* APainter,
                       const QWidget* AWidget = nullptr) const override;
};
