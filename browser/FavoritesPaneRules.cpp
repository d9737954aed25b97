#include "browser/FavoritesPaneRules.h"

#include "platform/controls/TreeNode.h"
#include "platform/files/FileSystem.h"

#include <QCollator>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString kDir = QStringLiteral("dir");

void sortByName(QStringList &names)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
}

bool isClosedFolder(const FavoritesNodeState &node)
{
    return node.image == QLatin1String("closed") || !node.expanded;
}

} // namespace

FavoritesFolder listFavoritesFolder(const QString &path)
{
    FavoritesFolder folder;
    FolderListing listing;
    if (path.isEmpty() || FileSystem::current().list(path, listing) != 0)
        return folder;
    static const WildcardPattern shortcuts(QStringLiteral("*.url;*.uri"));
    for (const FolderEntry &entry : listing.entries) {
        if (entry.name.startsWith(QLatin1Char('.')))
            continue;
        bool isFolder = entry.kind == FileKind::Folder;
        if (entry.kind == FileKind::Link)
            isFolder = QFileInfo(path + QLatin1Char('/') + entry.name).isDir();
        if (isFolder)
            folder.folders.append(entry.name);
        else if (entry.kind != FileKind::Other && shortcuts.matches(entry.name))
            folder.shortcuts.append(entry.name);
    }
    sortByName(folder.folders);
    sortByName(folder.shortcuts);
    return folder;
}

QString favoriteNodeText(const QString &fileName)
{
    return fileName.left(std::max<qsizetype>(0, fileName.size() - 4));
}

FavoritesNodeState favoritesNodeState(const TreeNode &node)
{
    return {node.tag(), node.image(), node.expanded()};
}

FavoritesMenuState favoritesMenuState(const FavoritesNodeState &node, int windowCount)
{
    FavoritesMenuState state;
    if (node.tag == kDir) {
        state.expand = isClosedFolder(node);
        state.collapse = !isClosedFolder(node);
        state.openAll = true;
        return state;
    }
    state.open = windowCount != 0;
    state.openNewWindow = true;
    state.remove = true;
    return state;
}

FavoritesItem favoritesDefaultItem(const FavoritesNodeState &node)
{
    if (node.tag != kDir)
        return FavoritesItem::Open;
    return isClosedFolder(node) ? FavoritesItem::Expand : FavoritesItem::Collapse;
}
