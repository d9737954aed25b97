#pragma once

#include <QString>

#include <functional>

class TreeView;

// What the pruning pass (the tree getting the focus, the main window's activation)
// does to one node of the folder tree.
enum class PruneAction {
    Keep,
    Remove,      // its file or folder is gone: the node goes with its children
    CloseFolder, // a folder left without children stops showing itself open
};

PruneAction pruneActionFor(const QString &tag, bool pathExists, int children, const QString &image);

// One pass over the tree in the order its nodes were added. Only "file", "dir" and
// "delfile" nodes carry a path, so only they are asked about.
void pruneFolderTree(TreeView &tree, const std::function<bool(const QString &)> &exists);
