// TColorBox: a drop-down list of colours with swatches. A first entry opens a colour picker for
// any colour; then come the 16 standard colours, the four extended ones and the system colours,
// named without "cl". A colour the list does not hold is shown on the first entry.
#pragma once

#include "Colors.h"

#include <QComboBox>

#include <functional>
#include <optional>

class TColorBox : public QComboBox {
    Q_OBJECT

public:
    // Asks for any colour, starting from ACurrent; nothing when cancelled.
    using TPickColor = std::function<std::optional<kvaderon::TColor>(QWidget* AParent, kvaderon::TColor ACurrent)>;

    explicit TColorBox(QWidget* AParent = nullptr);

    kvaderon::TColor Selected() const;
    // Shows AColor; sends no Change.
    void SetSelected(kvaderon::TColor AColor);
    void SetPickColor(TPickColor APickColor) { FPickColor = std::move(APickColor); }
    // Paints the swatches again: system colours follow the active theme.
    void RefreshSwatches();

signals:
    // The user chose a colour.
    void Change();

private:
    void ItemActivated(int AIndex);
    void SetCustomColor(kvaderon::TColor AColor);

    TPickColor FPickColor;
    int FLastIndex = 0;
};
