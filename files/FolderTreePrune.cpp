#include "files/FolderTreePrune.h"

#include "core/PathServices.h"
#include "files/FolderTreeModel.h"
#include "platform/files/FileSystem.h"

#include "platform/system/ErrorState.h"
#include "platform/controls/TreeView.h"

#include <cerrno>

using FolderTree::carriesPath;

PruneAction pruneActionFor(const QString &tag, bool pathExists, int children, const QString &image)
{
    if (carriesPath(tag) && !pathExists)
        return PruneAction::Remove;
    if (tag == QStringLiteral("dir") && children == 0 && image == QStringLiteral("open"))
        return PruneAction::CloseFolder;
    return PruneAction::Keep;
}

bool ListedPaths::exists(const QString &path)
{
    QStringView trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || slash == trimmed.size() - 1)
        return FileExists(path);
    const Listing &listing = listingOf(slash == 0 ? QStringView(u"/") : trimmed.first(slash));
    if (!listing.listed)
        return FileExists(path);
    return listing.index.contains(trimmed.sliced(slash + 1));
}

const ListedPaths::Listing &ListedPaths::listingOf(QStringView folder)
{
    if (m_last && folder == m_lastFolder)
        return *m_last;
    auto found = m_folders.find(folder);
    if (found == m_folders.end()) {
        Listing listing;
        FolderListing entries;
        const int failure = FileSystem::current().list(folder.toString(), entries);
        if (failure == 0) {
            listing.listed = true;
            listing.names.reserve(entries.entries.size());
            for (FolderEntry &entry : entries.entries)
                listing.names.push_back(std::move(entry.name));
        } else if (failure == ENOENT || failure == ENOTDIR) {
            listing.listed = true; // nothing is there any more
        }
        found = m_folders.emplace(folder.toString(), std::move(listing)).first;
        // The views point into the strings where they finally live.
        Listing &stored = found->second;
        stored.index.reserve(qsizetype(stored.names.size()));
        for (const QString &name : stored.names)
            stored.index.insert(QStringView(name));
    }
    m_lastFolder = found->first;
    m_last = &found->second;
    return *m_last;
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
