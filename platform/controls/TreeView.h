#pragma once

#include "platform/controls/ImageList.h"
#include "platform/controls/ItemRef.h"
#include "platform/controls/ItemRegistry.h"
#include "platform/controls/TreeNode.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <vector>

class EventTreeWidget;
class QTreeWidget;

// Where add() puts a node relative to an existing one.
enum class TreeRelation {
    LastChild,  // after the relative's children
    FirstChild, // before the relative's children
    Next,       // right after the relative, under the same parent
    Previous,   // right before the relative, under the same parent
};

// One node for TreeView::append.
struct TreeNodeData
{
    QString key;
    QString text;
    QString imageKey;
    QString tag;
    // Gives the node one child without key, text or image, so that it shows as
    // expandable before its own children are read.
    bool placeholder = false;
};

// A tree of nodes addressed by key and by 1-based index in the order they were added
// (failures as in ItemRef.h), over QTreeWidget. Nodes are changed through TreeNode
// handles.
//
// Events: nodeClicked when the user selects a node or clicks the selected one, with
// the mouse (raised between mouseDown and mouseUp, for any button) or the keyboard;
// never for a selection made by the program or left behind by a removal.
// Label edits start only through startLabelEdit(), which the tree's own gesture calls
// when setLabelEditByClick() is on. A row wider than the tree scrolls it sideways.
class TreeView : public QWidget
{
    Q_OBJECT

public:
    explicit TreeView(QWidget *parent = nullptr);
    ~TreeView() override;

    // Images are looked up when they are assigned to a node.
    void setImageList(ImageList *images) { m_images = images; }
    ImageList *imageList() const { return m_images; }

    // A taken key or an image key the image list lacks fails and adds nothing.
    TreeNode addRoot(const QString &key, const QString &text, const QString &imageKey = {});
    TreeNode add(const ItemRef &relative, TreeRelation relation, const QString &key, const QString &text,
                 const QString &imageKey = {});
    // Appends nodes after parent's children in one step, the way to fill a branch with
    // thousands of nodes: the view takes them all at once. A node add() would refuse
    // (a taken key, an image key the image list lacks) is skipped; the others keep
    // their order. Returns how many nodes were added.
    int append(const ItemRef &parent, const QList<TreeNodeData> &nodes);
    // Removes the node with all its descendants, and their keys.
    void remove(const ItemRef &node) { resolve(node).remove(); }
    void removeChildren(const ItemRef &node) { resolve(node).removeChildren(); }
    void clear();

    int count() const { return int(m_order.size()); }
    bool contains(const QString &key) const { return m_registry.contains(key); }
    TreeNode node(const ItemRef &node) const { return resolve(node); }
    // The selected node; a null handle when there is none.
    TreeNode selectedItem() const;

    // Asks beforeLabelEdit, then lets the user edit the selected node's text in place;
    // afterLabelEdit judges the typed text before it is stored.
    void startLabelEdit();
    // Whether a second click on the selected node, slower than a double click, starts
    // a label edit (off unless set).
    void setLabelEditByClick(bool on) { m_labelEditByClick = on; }

    QTreeWidget *treeWidget() const;

signals:
    void nodeClicked(TreeNode node);
    void expanded(TreeNode node);
    void collapsed(TreeNode node);
    void doubleClicked();
    // Set *consumed to keep the tree from acting on the key.
    void keyDown(int key, Qt::KeyboardModifiers modifiers, bool *consumed);
    void keyUp(int key, Qt::KeyboardModifiers modifiers);
    // Positions are in the tree view's coordinates.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void beforeLabelEdit(TreeNode node, bool *cancel);
    // Set *cancel to keep the old text; *newText may be changed before it is stored.
    void afterLabelEdit(TreeNode node, bool *cancel, QString *newText);
    void gotFocus();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TreeNode;

    TreeNode resolve(const ItemRef &node) const;
    TreeNode handle(const QTreeWidgetItem *item) const;
    QIcon iconFor(const QString &imageKey) const;
    TreeNode insert(QTreeWidgetItem *relative, TreeRelation relation, const QString &key, const QString &text,
                    const QString &imageKey);
    void removeItem(QTreeWidgetItem *item);
    void removeChildItems(QTreeWidgetItem *item);
    // Drops the items' keys and their places in the order of addition, in one pass.
    void forget(const std::vector<QTreeWidgetItem *> &items);
    bool checkLabelEdit(const QModelIndex &index, QString &text);
    void connectEvents();

    EventTreeWidget *m_tree;
    QPointer<ImageList> m_images;
    ItemRegistry m_registry;
    std::vector<QTreeWidgetItem *> m_order;
    bool m_labelEditByClick = false;
};
