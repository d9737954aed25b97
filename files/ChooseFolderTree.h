#pragma once

#include "files/FolderTreeLoader.h"

#include <QObject>
#include <QString>

class TreeNode;
class TreeView;

// One folder tree of the choose-folder dialog: folders only, read a level at a time
// through the folder tree's loader, a file or folder renamed in place. It remembers its own
// last clicked node, so that its keys reload the right folder whatever the other
// trees do. The copy/move tree shows no CD or RAM volume; the choose-folder tree
// shows every volume that has an image, Temporary Internet Files and the store,
// and lets any node but My Computer be chosen.
class ChooseFolderTree : public QObject
{
    Q_OBJECT

public:
    enum class Purpose { CopyMove, Choose };

    struct Roots
    {
        QString desktop;
        QString personal;
        QString cache;
        QString store;
        bool showStore = false;
    };

    ChooseFolderTree(TreeView &tree, Purpose purpose, FolderTreeLoader::VolumeSource volumes);

    void loadRoots(const Roots &roots);
    void loadDirs(const QString &path);
    // Selects the node without choosing it, and acts as if it had been clicked last.
    void preselect(const QString &key);

    QString lastNodeKey() const { return m_lastNodeKey; }
    QString lastNodeTag() const { return m_lastNodeTag; }

    // The chosen folder's text for a node's key: the key and "/" (the root stays "/").
    static QString chosenFolder(const QString &key);

signals:
    void folderChosen(const QString &folder);

private:
    void expand(const TreeNode &node);
    void collapse(const TreeNode &node);
    void nodeClick(const TreeNode &node);
    void keyDown(int key, bool *consumed);
    void beforeLabelEdit(bool *cancel);
    void afterLabelEdit(const TreeNode &node, bool *cancel, QString *newText);
    void reloadLast(bool collapseEmpty);

    TreeView &m_tree;
    Purpose m_purpose;
    FolderTreeLoader::VolumeSource m_volumes;
    FolderTreeLoader m_loader;
    QString m_lastNodeKey;
    QString m_lastNodeTag;
};
