// TVclStylesSystemMenu: the theme submenu, one exclusive item per theme, kept in step with the
// active theme.
#include "StylesSystemMenu.h"

#include "platform/StyleManager.h"
#include "platform/WindowMenu.h"

#include <QActionGroup>
#include <QMenu>
#include <QWidget>

TVclStylesSystemMenu::TVclStylesSystemMenu(QWidget* AWindow, const QString& AMenuCaption)
    : QObject(AWindow), FMenu(new QMenu(AMenuCaption, AWindow)) {
    FMenu->setObjectName(QStringLiteral("StyleMenu"));
    // Nearly a hundred themes: the menu scrolls instead of spreading columns over the screen.
    FMenu->setStyleSheet(QStringLiteral("QMenu { menu-scrollable: 1; }"));
    BuildItems();
    connect(&TStyleManager::Instance(), &TStyleManager::StyleChanged, this, &TVclStylesSystemMenu::CheckActiveStyle);
    connect(FMenu, &QMenu::aboutToShow, this, &TVclStylesSystemMenu::CheckActiveStyle);
    AttachToWindowMenu(AWindow, FMenu);
}

void TVclStylesSystemMenu::BuildItems() {
    const QStringList names = TStyleManager::Instance().StyleNames();
    auto* group = new QActionGroup(FMenu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (qsizetype i = 0; i < names.size(); ++i) {
        QAction* action = FMenu->addAction(names[i]);
        action->setCheckable(true);
        group->addAction(action);
        const QString name = names[i];
        // Choosing the active theme again changes nothing, but the click took its check mark off.
        connect(action, &QAction::triggered, this, [this, name] {
            TStyleManager::Instance().TrySetStyle(name);
            CheckActiveStyle();
        });
        // The plain system theme comes first, set apart from the carried ones.
        if (i == 0)
            FMenu->addSeparator();
    }
    CheckActiveStyle();
}

void TVclStylesSystemMenu::CheckActiveStyle() {
    const QString active = TStyleManager::Instance().ActiveStyleName();
    for (QAction* action : FMenu->actions())
        action->setChecked(action->text().compare(active, Qt::CaseInsensitive) == 0);
}
