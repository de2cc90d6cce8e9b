// TVclStylesSystemMenu: the theme submenu at the end of the window menu. "Windows" first, a
// separator, then every carried theme; the active theme is checked; choosing one makes it active.
#pragma once

#include <QObject>

class QMenu;
class QWidget;

class TVclStylesSystemMenu : public QObject {
    Q_OBJECT

public:
    // Builds the submenu with the caption AMenuCaption and puts it at the end of AWindow's menu.
    TVclStylesSystemMenu(QWidget* AWindow, const QString& AMenuCaption);

    QMenu* Menu() const { return FMenu; }

private:
    void BuildItems();
    void CheckActiveStyle();

    QMenu* FMenu = nullptr;
};
