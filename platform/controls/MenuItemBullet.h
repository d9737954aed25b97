#pragma once

#include <QIcon>

class QAction;

// Gives a checkable menu item the image as its tick: the item shows the image while it
// is checked and nothing while it is not, with neither the style's check box nor a
// frame around the image. Call it once the item is in its menus.
void showTickAsImage(QAction *item, const QIcon &image);

// The same for a menu item that states a switch: a check mark in the menu's text
// colour while it is checked and nothing while it is not (no empty check box).
void showCheckMarkAlone(QAction *item);
