#pragma once

#include <QSet>
#include <QString>
#include <QStringView>

#include <functional>
#include <map>
#include <vector>

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

// Whether paths exist (a link counts, even a broken one), for one pruning pass: each
// folder is listed once through the file layer and its nodes are answered from the
// listing, where asking the system node by node takes a second for a shown folder of
// 100,000 files. A folder that cannot be listed (entered but not read) has its paths
// asked one by one; one that is gone answers that none of its paths exists.
class ListedPaths
{
public:
    bool exists(const QString &path);

private:
    struct Listing
    {
        bool listed = false;
        std::vector<QString> names;
        QSet<QStringView> index; // views of names
    };
    const Listing &listingOf(QStringView folder);

    std::map<QString, Listing, std::less<>> m_folders;
    // The folder asked last: a shown folder's nodes come one after another.
    const Listing *m_last = nullptr;
    QString m_lastFolder;
};
