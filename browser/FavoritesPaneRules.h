#pragma once

#include <QString>
#include <QStringList>

class TreeNode;

// What the favorites pane shows and what its keys and pop-up items do, as plain
// decisions of plain values.

// A folder of the Favorites as the tree shows it: sub-folders first, then the
// shortcut files ("*.url", "*.uri"), each group in name order; names only.
struct FavoritesFolder
{
    QStringList folders;
    QStringList shortcuts;
};

// Lists a folder through the file layer; a folder that cannot be listed is empty.
// Hidden entries (a leading ".") are left out, as the desktop's own lists do.
FavoritesFolder listFavoritesFolder(const QString &path);

// A shortcut's text: its file name less the four characters of its extension.
QString favoriteNodeText(const QString &fileName);

// A node as the pop-up judges it.
struct FavoritesNodeState
{
    QString tag;
    QString image;
    bool expanded = false;
};

enum class FavoritesItem { Expand, Collapse, OpenAll, Open, OpenNewWindow, Organize, Delete };

// Which pop-up items are enabled for the selected node.
struct FavoritesMenuState
{
    bool expand = false;
    bool collapse = false;
    bool openAll = false;
    bool open = false;
    bool openNewWindow = false;
    bool remove = false;
};
// The state of a node of the favorites tree.
FavoritesNodeState favoritesNodeState(const TreeNode &node);

FavoritesMenuState favoritesMenuState(const FavoritesNodeState &node, int windowCount);
// The bold item of the pop-up shown by a right click on the node.
FavoritesItem favoritesDefaultItem(const FavoritesNodeState &node);
