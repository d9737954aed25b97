#include "files/FolderTreePrune.h"

#include "files/FolderTreeModel.h"

#include "platform/system/ErrorState.h"
#include "platform/controls/TreeView.h"

using FolderTree::carriesPath;

PruneAction pruneActionFor(const QString &tag, bool pathExists, int children, const QString &image)
{
    if (carriesPath(tag) && !pathExists)
        return PruneAction::Remove;
    if (tag == QStringLiteral("dir") && children == 0 && image == QStringLiteral("open"))
        return PruneAction::CloseFolder;
    return PruneAction::Keep;
}

void pruneFolderTree(TreeView &tree, const std::function<bool(const QString &)> &exists)
{
    IgnoreErrors ignore;
    int index = 1;
    while (index <= tree.count()) {
        const TreeNode node = tree.node(index);
        const QString tag = node.tag();
        const bool pathExists = !carriesPath(tag) || exists(node.key());
        switch (pruneActionFor(tag, pathExists, node.children(), node.image())) {
        case PruneAction::Remove:
            // The node that moves into this index is looked at next.
            if (ignore([&] { node.remove(); }))
                continue;
            break;
        case PruneAction::CloseFolder:
            ignore([&] { node.setImage(QStringLiteral("closed")); });
            ignore([&] { node.setExpanded(false); });
            break;
        case PruneAction::Keep:
            break;
        }
        ++index;
    }
}
