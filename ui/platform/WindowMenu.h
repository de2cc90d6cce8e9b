// The window menu: the system menu that opens from the title bar on Windows; elsewhere a context
// menu of the window with the same kind of items.
#pragma once

class QMenu;
class QWidget;

// Puts ASubmenu at the end of AWindow's menu, after a separator. Its actions are triggered when
// the user chooses them; their check marks are shown as they are at the moment the menu opens.
void AttachToWindowMenu(QWidget* AWindow, QMenu* ASubmenu);
