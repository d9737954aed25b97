#include "platform/controls/TreeNode.h"

#include "platform/system/ErrorState.h"
#include "platform/controls/TreeView.h"

#include <QTreeWidget>

#include <algorithm>

TreeNode::TreeNode(const TreeView *view, quint64 id)
    : m_view(const_cast<TreeView *>(view))
    , m_id(id)
{
}

bool TreeNode::exists() const
{
    return m_view && m_view->m_registry.item(m_id);
}

bool TreeNode::operator==(const TreeNode &other) const
{
    return m_view.data() == other.m_view.data() && m_id == other.m_id;
}

QString TreeNode::key() const
{
    return ItemRegistry::keyOf(item());
}

void TreeNode::setKey(const QString &key) const
{
    m_view->m_registry.rekey(item(), key);
}

QString TreeNode::text() const
{
    return item()->text(0);
}

void TreeNode::setText(const QString &text) const
{
    item()->setText(0, text);
}

QString TreeNode::image() const
{
    return item()->data(0, ItemRole::Image).toString();
}

void TreeNode::setImage(const QString &imageKey) const
{
    QTreeWidgetItem *node = item();
    node->setIcon(0, m_view->iconFor(imageKey));
    node->setData(0, ItemRole::Image, imageKey);
}

QString TreeNode::tag() const
{
    return item()->data(0, ItemRole::Tag).toString();
}

void TreeNode::setTag(const QString &tag) const
{
    item()->setData(0, ItemRole::Tag, tag);
}

bool TreeNode::expanded() const
{
    return item()->isExpanded();
}

void TreeNode::setExpanded(bool expanded) const
{
    QTreeWidgetItem *node = item();
    if (!expanded || node->childCount() > 0) {
        node->setExpanded(expanded);
        return;
    }
    // A childless node still runs the expand handler, which may read children that
    // came since (a folder that was empty when it was last read). It is called here
    // rather than through the view; the row opens only when children came, without
    // the handler running a second time.
    emit m_view->expanded(*this);
    QTreeWidgetItem *after = m_view ? m_view->m_registry.item(m_id) : nullptr;
    if (after && after->childCount() > 0 && !after->isExpanded()) {
        const QSignalBlocker quiet(after->treeWidget());
        after->setExpanded(true);
    }
}

void TreeNode::ensureVisible() const
{
    std::vector<quint64> ancestors;
    for (QTreeWidgetItem *up = item()->parent(); up; up = up->parent())
        ancestors.push_back(ItemRegistry::idOf(up));
    // Each expansion runs the owner's handler, which may rebuild the branch: look
    // every node up again, and stop when the path is gone.
    for (auto id = ancestors.rbegin(); id != ancestors.rend(); ++id) {
        QTreeWidgetItem *ancestor = m_view->m_registry.item(*id);
        if (!ancestor)
            return;
        if (!ancestor->isExpanded() && ancestor->childCount() > 0)
            ancestor->setExpanded(true);
    }
    if (QTreeWidgetItem *node = m_view ? m_view->m_registry.item(m_id) : nullptr)
        m_view->treeWidget()->scrollToItem(node);
}

bool TreeNode::selected() const
{
    return item()->isSelected();
}

void TreeNode::select() const
{
    QTreeWidgetItem *node = item();
    node->treeWidget()->setCurrentItem(node);
}

int TreeNode::children() const
{
    return item()->childCount();
}

TreeNode TreeNode::parent() const
{
    return handle(item()->parent());
}

TreeNode TreeNode::child() const
{
    return handle(item()->child(0));
}

TreeNode TreeNode::next() const
{
    QTreeWidgetItem *node = item();
    QTreeWidgetItem *parent = node->parent();
    if (parent)
        return handle(parent->child(parent->indexOfChild(node) + 1));
    QTreeWidget *tree = node->treeWidget();
    return handle(tree->topLevelItem(tree->indexOfTopLevelItem(node) + 1));
}

int TreeNode::index() const
{
    QTreeWidgetItem *node = item();
    const auto &order = m_view->m_order;
    return int(std::find(order.begin(), order.end(), node) - order.begin()) + 1;
}

void TreeNode::remove() const
{
    m_view->removeItem(item());
}

void TreeNode::removeChildren() const
{
    m_view->removeChildItems(item());
}

QTreeWidgetItem *TreeNode::item() const
{
    QTreeWidgetItem *node = m_view ? m_view->m_registry.item(m_id) : nullptr;
    if (!node)
        raiseError(ErrorNumber::ObjectVariableNotSet);
    return node;
}

TreeNode TreeNode::handle(const QTreeWidgetItem *item) const
{
    return m_view->handle(item);
}
