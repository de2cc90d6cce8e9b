// TColorBox: the colour entries with their swatches, and the picker behind the first entry.
#include "ColorBox.h"

#include "ColorNames.h"
#include "platform/StyleManager.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include <cstring>
#include <utility>

namespace {

constexpr int CustomIndex = 0;
constexpr int VisibleRows = 20;
constexpr int ListWidth = 180;
// The colours the list holds: the standard, extended and system ones, the first 52 names but
// clDefault and clNone.
constexpr std::size_t ListedNameCount = 52;

// The Russian names shown for the listed colours; the settings file keeps the cl… names.
constexpr std::pair<const char*, const char*> RussianNames[] = {
    {"clBlack", "Чёрный"},
    {"clMaroon", "Тёмно-бордовый"},
    {"clGreen", "Зелёный"},
    {"clOlive", "Оливковый"},
    {"clNavy", "Тёмно-синий"},
    {"clPurple", "Пурпурный"},
    {"clTeal", "Сине-зелёный"},
    {"clGray", "Серый"},
    {"clSilver", "Серебристый"},
    {"clRed", "Красный"},
    {"clLime", "Ярко-зелёный"},
    {"clYellow", "Жёлтый"},
    {"clBlue", "Синий"},
    {"clFuchsia", "Фуксия"},
    {"clAqua", "Голубой"},
    {"clWhite", "Белый"},
    {"clMoneyGreen", "Светло-зелёный"},
    {"clSkyBlue", "Небесно-голубой"},
    {"clCream", "Кремовый"},
    {"clMedGray", "Средне-серый"},
    {"clActiveBorder", "Рамка активного окна"},
    {"clActiveCaption", "Заголовок активного окна"},
    {"clAppWorkSpace", "Рабочая область"},
    {"clBackground", "Рабочий стол"},
    {"clBtnFace", "Кнопка"},
    {"clBtnHighlight", "Светлый край кнопки"},
    {"clBtnShadow", "Тень кнопки"},
    {"clBtnText", "Текст кнопки"},
    {"clCaptionText", "Текст заголовка"},
    {"clGradientActiveCaption", "Градиент активного заголовка"},
    {"clGradientInactiveCaption", "Градиент неактивного заголовка"},
    {"clGrayText", "Недоступный текст"},
    {"clHighlight", "Выделение"},
    {"clHighlightText", "Выделенный текст"},
    {"clHotLight", "Ссылка"},
    {"clInactiveBorder", "Рамка неактивного окна"},
    {"clInactiveCaption", "Заголовок неактивного окна"},
    {"clInactiveCaptionText", "Текст неактивного заголовка"},
    {"clInfoBk", "Фон подсказки"},
    {"clInfoText", "Текст подсказки"},
    {"clMenu", "Меню"},
    {"clMenuBar", "Строка меню"},
    {"clMenuHighlight", "Выделение в меню"},
    {"clMenuText", "Текст меню"},
    {"clScrollBar", "Полоса прокрутки"},
    {"clWindow", "Окно"},
    {"clWindowFrame", "Рамка окна"},
    {"clWindowText", "Текст окна"},
    {"clAliceblue", "Бледно-голубой"},
    {"cl3DDkShadow", "Тёмная тень рамки"},
    {"cl3DLight", "Светлый край рамки"},
    {"clAntiquewhite", "Античный белый"},
};

QString ShownName(const char* AName) {
    for (const auto& [name, russian] : RussianNames)
        if (std::strcmp(name, AName) == 0)
            return QString::fromUtf8(russian);
    return QString::fromLatin1(AName).mid(2);
}

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
    const QColor color = QColorDialog::getColor(TStyleManager::Instance().GetSystemColor(ACurrent), AParent);
    if (!color.isValid())
        return std::nullopt;
    return kvaderon::RGBColor(std::uint8_t(color.red()), std::uint8_t(color.green()), std::uint8_t(color.blue()));
}

} // namespace

TColorBox::TColorBox(QWidget* AParent) : QComboBox(AParent), FPickColor(PickWithColorDialog) {
    addItem(QStringLiteral("Другой…"), QVariant::fromValue(kvaderon::TColor(0)));
    for (const kvaderon::TColorName& name : kvaderon::ColorNames().first(ListedNameCount))
        if (name.Color != kvaderon::clDefault && name.Color != kvaderon::clNone)
            addItem(ShownName(name.Name), QVariant::fromValue(name.Color));
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

// The custom entry shows its colour's swatch and value; choosing it again picks another colour.
void TColorBox::SetCustomColor(kvaderon::TColor AColor) {
    setItemData(CustomIndex, QVariant::fromValue(AColor));
    setItemText(CustomIndex, TStyleManager::Instance().GetSystemColor(AColor).name().toUpper());
    setItemIcon(CustomIndex, Swatch(AColor));
}

void TColorBox::RefreshSwatches() {
    for (int i = 0; i < count(); ++i)
        setItemIcon(i, Swatch(itemData(i).value<kvaderon::TColor>()));
}

void TColorBox::ItemActivated(int AIndex) {
    if (AIndex == CustomIndex) {
        const std::optional<kvaderon::TColor> picked = FPickColor(this, itemData(FLastIndex).value<kvaderon::TColor>());
        if (!picked) {
            setCurrentIndex(FLastIndex);
            return;
        }
        SetCustomColor(*picked);
    }
    FLastIndex = AIndex;
    emit Change();
}
