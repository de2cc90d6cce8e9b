// The theme manager: "Windows" puts back the style and palette found at start-up, a carried theme
// is its palette from resources/themes/themes.txt under the Fusion style.
#include "StyleManager.h"

#include "ThemePalette.h"
#include "ThemeStyle.h"

#include <QApplication>
#include <QFile>
#include <QStyle>
#include <QStyleFactory>
#include <QtDebug>

namespace {

const QString PlatformStyleName = QStringLiteral("Windows");

QList<TCarriedTheme> LoadCarriedThemes() {
    QFile file(QStringLiteral(":/themes/themes.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "Theme table missing:" << file.errorString();
        return {};
    }
    QStringList errors;
    QList<TCarriedTheme> themes = ParseThemeTable(QString::fromUtf8(file.readAll()), &errors);
    for (const QString& error : errors)
        qWarning() << "Theme table:" << error;
    return themes;
}

// Makes the application's style the platform's own one named, unless it already is.
void UsePlatformStyle(const QString& AName) {
    QStyle* current = QApplication::style();
    if (!qobject_cast<TThemeStyle*>(current) && current->name().compare(AName, Qt::CaseInsensitive) == 0)
        return;
    if (QStyle* style = QStyleFactory::create(AName))
        QApplication::setStyle(style);
}

void UseThemeStyle() {
    if (!qobject_cast<TThemeStyle*>(QApplication::style()))
        QApplication::setStyle(new TThemeStyle);
}

// The palette group and role that stand for Windows system colour AIndex.
struct TSystemRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

TSystemRole SystemRole(kvaderon::TColor AIndex) {
    switch (AIndex) {
    case 0:  // scroll bar
    case 10: // active border
    case 11: // inactive border
    case 15: // button face
        return {QPalette::Active, QPalette::Button};
    case 1:  // desktop
    case 16: // button shadow
        return {QPalette::Active, QPalette::Dark};
    case 2:  // active caption
    case 27: // gradient of the active caption
    case 29: // menu highlight
    case 13: // highlight
        return {QPalette::Active, QPalette::Highlight};
    case 3:  // inactive caption
    case 12: // application workspace
    case 28: // gradient of the inactive caption
        return {QPalette::Active, QPalette::Mid};
    case 5: // window: the background of edit boxes and lists
        return {QPalette::Active, QPalette::Base};
    case 6:  // window frame
    case 21: // 3D dark shadow
        return {QPalette::Active, QPalette::Shadow};
    case 7: // menu text
        return {QPalette::Active, QPalette::WindowText};
    case 8: // window text
        return {QPalette::Active, QPalette::Text};
    case 9:  // caption text
    case 14: // highlight text
        return {QPalette::Active, QPalette::HighlightedText};
    case 17: // gray text
        return {QPalette::Disabled, QPalette::Text};
    case 18: // button text
        return {QPalette::Active, QPalette::ButtonText};
    case 19: // inactive caption text
        return {QPalette::Disabled, QPalette::WindowText};
    case 20: // button highlight
        return {QPalette::Active, QPalette::Light};
    case 22: // 3D light
        return {QPalette::Active, QPalette::Midlight};
    case 23: // tooltip text
        return {QPalette::Active, QPalette::ToolTipText};
    case 24: // tooltip background
        return {QPalette::Active, QPalette::ToolTipBase};
    case 26: // hot-tracked item
        return {QPalette::Active, QPalette::Link};
    default: // 4 menu, 30 menu bar and unknown numbers
        return {QPalette::Active, QPalette::Window};
    }
}

} // namespace

TStyleManager& TStyleManager::Instance() {
    static TStyleManager instance;
    return instance;
}

TStyleManager::TStyleManager()
    : FActiveName(PlatformStyleName), FStartStyleName(QApplication::style()->name()),
      FStartPalette(QApplication::palette()) {
    Q_INIT_RESOURCE(themes);
    for (const TCarriedTheme& theme : LoadCarriedThemes()) {
        FThemeNames.append(theme.Name);
        FThemePalettes.append(MakeThemePalette(theme.Colors));
        if (IsDarkTheme(theme.Colors))
            FDarkThemeNames.append(theme.Name);
    }
}

QStringList TStyleManager::StyleNames() const {
    return QStringList{PlatformStyleName} + FThemeNames;
}

QString TStyleManager::ActiveStyleName() const {
    return FActiveName;
}

bool TStyleManager::TrySetStyle(const QString& AName) {
    if (AName.compare(PlatformStyleName, Qt::CaseInsensitive) == 0) {
        if (FActiveName == PlatformStyleName)
            return true;
        UsePlatformStyle(FStartStyleName);
        QApplication::setPalette(FStartPalette);
        FActiveName = PlatformStyleName;
    } else {
        qsizetype index = 0;
        while (index < FThemeNames.size() && FThemeNames[index].compare(AName, Qt::CaseInsensitive) != 0)
            ++index;
        if (index == FThemeNames.size())
            return false;
        if (FActiveName == FThemeNames[index])
            return true;
        UseThemeStyle();
        QApplication::setPalette(FThemePalettes[index]);
        FActiveName = FThemeNames[index];
    }
    emit StyleChanged(FActiveName);
    return true;
}

QColor TStyleManager::GetSystemColor(kvaderon::TColor AColor) const {
    const QPalette palette = QApplication::palette();
    if (AColor == kvaderon::clNone)
        return {};
    if (AColor == kvaderon::clDefault)
        return palette.color(QPalette::Active, QPalette::Text);
    if ((AColor & 0xFF000000) == kvaderon::clSystemColorBase) {
        const TSystemRole role = SystemRole(AColor & 0x00FFFFFF);
        return palette.color(role.Group, role.Role);
    }
    return QColor(int(AColor & 0xFF), int((AColor >> 8) & 0xFF), int((AColor >> 16) & 0xFF));
}

const QStringList& TStyleManager::DarkThemeNames() {
    return Instance().FDarkThemeNames;
}
