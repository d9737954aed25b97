#pragma once

#include <QString>
#include <Qt>

class QObject;
class QWidget;

// The folder tree's own key map, decided from the key and its modifiers; the
// conditions on the selected node are the tree's to test.
namespace FolderTreeKeys {

enum class Row {
    None,
    Delete,     // Delete: delete the selected file
    Rename,     // F2: edit the selected file's or folder's label
    Prune,      // F5: drop the nodes whose files are gone
    Menu,       // the context-menu key, Shift+F10: the files pop-up menu
    Swallow,    // F10 with any other modifiers
    Open,       // Enter: show the selected file in the active browser window
    Reload,     // Right: read the last selected folder again
    Shift,      // Shift's own key-down: lock or unlock the selection's navigation
    Insert,     // Insert: the keyboard to the active browser window
    SearchPane, // F12: the file-search pane
    HidePanel,  // Ctrl+F12: hide the main panel
};

// The row a key press takes; Shift, Ctrl and Alt count, the keypad flag does not.
Row row(int key, Qt::KeyboardModifiers modifiers);
// Whether the tree keeps the key from its own default handling (and from the menus'
// shortcuts while it has the keyboard).
bool cleared(Row row);

// The digit of a keypad key 0 to 9 (NumLock on); -1 for every other key.
int keypadDigit(int key, Qt::KeyboardModifiers modifiers);

// The keypad step on a file: the digit's quick-move preset (digit + 1) without
// modifiers, its quick-copy preset with Ctrl only, after the question unless it was
// switched off; an unset preset or any other modifier does nothing. A move is
// reported by FileEvents::moveEnded, so the views follow it.
void quickFileKey(QObject *owner, const QString &path, int digit, Qt::KeyboardModifiers modifiers,
                  QWidget *dialogOwner);

} // namespace FolderTreeKeys
