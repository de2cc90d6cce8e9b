// The window menu where windows have no system menu of their own: a context menu of the window
// with the usual window commands and the submenu.
#include "platform/WindowMenu.h"

#include <QMenu>
#include <QWidget>

void AttachToWindowMenu(QWidget* AWindow, QMenu* ASubmenu) {
    auto* menu = new QMenu(AWindow);
    menu->setObjectName(QStringLiteral("WindowMenu"));
    QAction* minimize = menu->addAction(QStringLiteral("Свернуть"), AWindow, &QWidget::showMinimized);
    QAction* maximize = menu->addAction(QStringLiteral("Развернуть"), AWindow, &QWidget::showMaximized);
    QAction* restore = menu->addAction(QStringLiteral("Восстановить"), AWindow, &QWidget::showNormal);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Закрыть"), AWindow, &QWidget::close);
    menu->addSeparator();
    menu->addMenu(ASubmenu);
    QObject::connect(menu, &QMenu::aboutToShow, AWindow, [AWindow, minimize, maximize, restore] {
        minimize->setEnabled(!AWindow->isMinimized());
        maximize->setVisible(!AWindow->isMaximized());
        restore->setVisible(AWindow->isMaximized());
    });

    AWindow->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(AWindow, &QWidget::customContextMenuRequested, menu,
                     [AWindow, menu](const QPoint& APos) { menu->popup(AWindow->mapToGlobal(APos)); });
}
