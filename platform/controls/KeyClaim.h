#pragma once

#include <Qt>

#include <functional>

class QWidget;

// Whether a key press (a Qt key code with its modifiers, keypad flag dropped) belongs
// to a control's own key map.
using KeyClaim = std::function<bool(int key, Qt::KeyboardModifiers modifiers)>;

// While the widget, or an editor inside it, has the keyboard, every key the claim
// accepts reaches it as a key press even where a shortcut of the window (a menu
// item's) has the same key: a list's or tree's own key map wins over the menus.
// A later claim on the same widget replaces the earlier one.
void claimKeys(QWidget *widget, KeyClaim claim);
