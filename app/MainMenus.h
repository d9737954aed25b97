#pragma once

#include <QString>

class QMenuBar;
class QMenu;
class QWidget;

// The main window's menu bar, built from one table: every item's object name is the
// name the rest of the program addresses it by.
namespace MainMenus {

// Builds the menu bar's menus and items into the given bar.
void build(QMenuBar *bar);

} // namespace MainMenus
