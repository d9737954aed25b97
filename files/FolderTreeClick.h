#pragma once

#include <QString>

// What selecting a node of the folder tree does, decided from plain values.

enum class TreeLoad {
    None,
    Folder, // the folder's sub-folders, then its files, added to its children
    Store,  // the stored files under the store node
};

struct NodeClickAction
{
    bool navigate = false; // show the node in the active browser window
    TreeLoad load = TreeLoad::None;
};

struct NodeClickState
{
    bool navOnSelect = false; // forced on while a mouse button is held on the tree
    int mouseButton = 0;      // 1 left, 2 right, 4 middle; 0 for the keyboard
    bool navFiles = false;
    bool navDirs = false;
    bool navDrives = false;
    int windowCount = 0;
};

// Navigation first, loading second; loading only on a left click, nothing at all for
// the right button or while the tree is locked.
NodeClickAction nodeClickAction(const QString &tag, const NodeClickState &state);

// The address that shows a node in the browser: an exact file address of its path
// (the typed-address route would trim blanks off a name, or read "#" as a fragment);
// My Computer names no folder and shows the root folder.
QString nodeAddress(const QString &tag, const QString &key);

// Only files and folders take a new name from their label.
bool labelEditAllowed(const QString &tag);
// The file name a typed label gives: characters a name must not hold replaced; a
// name of 250 bytes or more (a name holds at most 255) cut to its first 240 and last
// 10 bytes, between characters, so that the extension survives.
QString fileNameFromLabel(QString label);
// The path a file or folder takes with a new name, in the folder that holds it.
QString renamedPath(const QString &oldPath, const QString &fileName);
