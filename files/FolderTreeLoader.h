#pragma once

#include "platform/files/VolumeTable.h"

#include <QString>
#include <QStringList>

#include <functional>

class TreeNode;
class TreeView;

// The folder trees' content: the fixed roots, and folders read on demand, one level
// at a time. A node whose folder was never read holds one placeholder child without
// key or text, so that it shows as expandable. Keys are full paths; nothing is added
// under a key the tree already holds. Every step runs with errors ignored.
class FolderTreeLoader
{
public:
    using VolumeSource = std::function<VolumeTable()>;

    // volumes gives the mounted volumes each time they are needed (the system's by
    // default).
    explicit FolderTreeLoader(TreeView &tree, VolumeSource volumes = {});

    struct Roots
    {
        QString desktop;
        QString personal;
        QString cache; // Temporary Internet Files
        QString store; // the deleted-files store
    };
    // Desktop, documents, My Computer with its volumes (opened), Temporary Internet
    // Files and the store, in this order.
    void loadFileTree(const Roots &roots);

    // Adds the sub-folders of the folder or volume node keyed path, then its files
    // matching pattern (";"-separated wildcards), after its children: sub-folders
    // first, each sorted by name without regard to case. Nothing when the path's
    // volume is not ready or the folder cannot be read.
    void loadDirs(const QString &path);
    void loadFiles(const QString &path, const QString &pattern);
    // Adds the store's node, unread, as the last root; a node already there only gets
    // its kind again.
    void addStoreNode(const QString &storePath);
    // Adds the store's files under the store node.
    void loadDelFiles(const QString &storePath);

    // What the tree's expansion and collapse of a node do: an expansion reads the
    // container afresh, a collapse forgets its content.
    void expand(const TreeNode &node, const QString &pattern, const QString &storePath);
    void collapse(const TreeNode &node);

private:
    // Reads a folder into m_folders and m_files; false when there is nothing to read.
    // The store is opened as the store (see DeletedStore::openStore).
    bool readFolder(const QString &path, bool store = false);
    bool volumeReady(const QString &path) const;

    TreeView &m_tree;
    VolumeSource m_volumes;
    // The folder loadDirs has just read, for loadFiles right after it.
    QString m_readPath;
    QStringList m_folders;
    QStringList m_files;
    bool m_collapsingEmpty = false;
};
