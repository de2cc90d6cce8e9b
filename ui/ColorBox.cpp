// TColorBox: the colour entries with their swatches, and the picker behind the first entry.
#include "ColorBox.h"

#include "ColorNames.h"
#include "platform/StyleManager.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int CustomIndex = 0;
constexpr int VisibleRows = 20;
constexpr int ListWidth = 180;
// The colours the list holds: the standard, extended and system ones, the first 52 names but
// clDefault and clNone.
constexpr std::size_t ListedNameCount = 52;

QIcon Swatch(kvaderon::TColor AColor) {
    QPixmap pixmap(16, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(TStyleManager::Instance().GetSystemColor(AColor));
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

std::optional<kvaderon::TColor> PickWithColorDialog(QWidget* AParent, kvaderon::TColor ACurrent) {
    const QColor color =
        QColorDialog::getColor(TStyleManager::Instance().GetSystemColor(ACurrent), AParent);
    if (!color.isValid())
        return std::nullopt;
    return kvaderon::RGBColor(std::uint8_t(color.red()), std::uint8_t(color.green()),
                              std::uint8_t(color.blue()));
}

} // namespace

TColorBox::TColorBox(QWidget* AParent) : QComboBox(AParent), FPickColor(PickWithColorDialog) {
    addItem(QStringLiteral("Другой…"), QVariant::fromValue(kvaderon::TColor(0)));
    for (const kvaderon::TColorName& name : kvaderon::ColorNames().first(ListedNameCount))
        if (name.Color != kvaderon::clDefault && name.Color != kvaderon::clNone)
            addItem(QString::fromLatin1(name.Name).mid(2), QVariant::fromValue(name.Color));
    // A list rather than a menu of every entry, so that the list shows its 20 rows.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    setMaxVisibleItems(VisibleRows);
    view()->setMinimumWidth(ListWidth);
    RefreshSwatches();
    connect(this, &QComboBox::activated, this, &TColorBox::ItemActivated);
}

kvaderon::TColor TColorBox::Selected() const {
    return currentData().value<kvaderon::TColor>();
}

void TColorBox::SetSelected(kvaderon::TColor AColor) {
    int index = CustomIndex + 1;
    while (index < count() && itemData(index).value<kvaderon::TColor>() != AColor)
        ++index;
    if (index == count()) {
        SetCustomColor(AColor);
        index = CustomIndex;
    }
    setCurrentIndex(index);
    FLastIndex = index;
}

void TColorBox::SetCustomColor(kvaderon::TColor AColor) {
    setItemData(CustomIndex, QVariant::fromValue(AColor));
    setItemIcon(CustomIndex, Swatch(AColor));
}

void TColorBox::RefreshSwatches() {
    for (int i = 0; i < count(); ++i)
        setItemIcon(i, Swatch(itemData(i).value<kvaderon::TColor>()));
}

void TColorBox::ItemActivated(int AIndex) {
    if (AIndex == CustomIndex) {
        const std::optional<kvaderon::TColor> picked =
            FPickColor(this, itemData(FLastIndex).value<kvaderon::TColor>());
        if (!picked) {
            setCurrentIndex(FLastIndex);
            return;
        }
        SetCustomColor(*picked);
    }
    FLastIndex = AIndex;
    emit Change();
}
