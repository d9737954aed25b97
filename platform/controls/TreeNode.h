#pragma once

#include <QMetaType>
#include <QPointer>
#include <QString>

class QTreeWidgetItem;
class TreeView;

// A handle to one node of a TreeView, cheap to copy. It stays valid while the node is
// in its tree; using it after the node was removed fails with ObjectVariableNotSet, as
// does using a null handle (parent() of a root, child() of a leaf, next() of the last
// sibling). Setters are const: they change the node, not the handle.
class TreeNode
{
public:
    TreeNode() = default;

    bool isNull() const { return m_id == 0; }
    // False for a null handle and for a node that has been removed.
    bool exists() const;
    bool operator==(const TreeNode &other) const;
    bool operator!=(const TreeNode &other) const { return !(*this == other); }

    QString key() const;
    // A key another node has fails (KeyNotUnique) and changes nothing.
    void setKey(const QString &key) const;
    QString text() const;
    void setText(const QString &text) const;
    // The image key; a key the tree's image list lacks fails (ElementNotFound).
    QString image() const;
    void setImage(const QString &imageKey) const;
    QString tag() const;
    void setTag(const QString &tag) const;

    // Expanding or collapsing from code raises the tree's expanded/collapsed signal
    // at once, as the user's action would. A node without children raises the expanded
    // signal too and stays shut unless its handler gave it children.
    bool expanded() const;
    void setExpanded(bool expanded) const;
    // Expands the ancestors (each raising expanded) and scrolls the node into view.
    void ensureVisible() const;

    bool selected() const;
    // Makes this node the selected one; raises no nodeClicked.
    void select() const;

    int children() const;
    TreeNode parent() const;
    TreeNode child() const;
    TreeNode next() const;
    // 1-based position in the order the nodes were added (later ones shift down
    // when one is removed).
    int index() const;

    // Removes the node with its descendants, or only the descendants.
    void remove() const;
    void removeChildren() const;

private:
    friend class TreeView;
    TreeNode(const TreeView *view, quint64 id);
    QTreeWidgetItem *item() const;
    TreeNode handle(const QTreeWidgetItem *item) const;

    QPointer<TreeView> m_view;
    quint64 m_id = 0;
};

Q_DECLARE_METATYPE(TreeNode)
