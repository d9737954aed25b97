#include "platform/controls/TreeView.h"

#include "platform/controls/EventTreeWidget.h"
#include "platform/controls/LabelEditDelegate.h"

#include <QEvent>
#include <QHeaderView>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The roots and all their descendants.
std::vector<QTreeWidgetItem *> subtrees(const QList<QTreeWidgetItem *> &roots)
{
    std::vector<QTreeWidgetItem *> items(roots.begin(), roots.end());
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (int c = 0; c < items[i]->childCount(); ++c)
            items.push_back(items[i]->child(c));
    }
    return items;
}

QTreeWidgetItem *newItem(const QString &text, const QString &imageKey, const QIcon &icon)
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setIcon(0, icon);
    item->setData(0, ItemRole::Image, imageKey);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

} // namespace

TreeView::TreeView(QWidget *parent)
    : QWidget(parent)
    , m_tree(new EventTreeWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    // The column is as wide as its widest row and never narrower than the view (see
    // eventFilter), so a deep or long row scrolls the tree sideways instead of being cut.
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_tree->viewport()->installEventFilter(this);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setItemDelegate(new LabelEditDelegate(
        [this](const QModelIndex &index, QString &text) { return checkLabelEdit(index, text); }, m_tree));
    setFocusProxy(m_tree);
    connectEvents();
}

TreeView::~TreeView() = default;

TreeNode TreeView::addRoot(const QString &key, const QString &text, const QString &imageKey)
{
    return insert(nullptr, TreeRelation::LastChild, key, text, imageKey);
}

TreeNode TreeView::add(const ItemRef &relative, TreeRelation relation, const QString &key, const QString &text,
                       const QString &imageKey)
{
    return insert(resolve(relative).item(), relation, key, text, imageKey);
}

void TreeView::clear()
{
    m_tree->clear();
    m_registry.clear();
    m_order.clear();
}

TreeNode TreeView::selectedItem() const
{
    const QList<QTreeWidgetItem *> selected = m_tree->selectedItems();
    return selected.isEmpty() ? TreeNode() : handle(selected.first());
}

void TreeView::startLabelEdit()
{
    const TreeNode node = selectedItem();
    if (node.isNull())
        return;
    bool cancel = false;
    emit beforeLabelEdit(node, &cancel);
    if (!cancel && node.exists())
        m_tree->editItem(node.item(), 0);
}

bool TreeView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree->viewport() && event->type() == QEvent::Resize)
        m_tree->header()->setMinimumSectionSize(m_tree->viewport()->width());
    return QWidget::eventFilter(watched, event);
}

QTreeWidget *TreeView::treeWidget() const
{
    return m_tree;
}

TreeNode TreeView::resolve(const ItemRef &node) const
{
    const int count = this->count();
    if (node.isIndex()) {
        if (node.index() < 1 || node.index() > count)
            raiseBadIndex(node.index());
        return handle(m_order[std::size_t(node.index() - 1)]);
    }
    QTreeWidgetItem *item = m_registry.find(node.key());
    if (!item)
        raiseMissingKey(node.key());
    return handle(item);
}

TreeNode TreeView::handle(const QTreeWidgetItem *item) const
{
    return item ? TreeNode(this, ItemRegistry::idOf(item)) : TreeNode();
}

QIcon TreeView::iconFor(const QString &imageKey) const
{
    return iconFromList(m_images, imageKey);
}

// relative is nullptr for a root.
TreeNode TreeView::insert(QTreeWidgetItem *relative, TreeRelation relation, const QString &key,
                          const QString &text, const QString &imageKey)
{
    m_registry.checkKeyFree(key);
    auto *item = newItem(text, imageKey, iconFor(imageKey));
    m_registry.enroll(item, key);
    m_order.push_back(item);

    QTreeWidgetItem *parent = relative;
    int position = -1; // the end
    if (relative && (relation == TreeRelation::Next || relation == TreeRelation::Previous)) {
        parent = relative->parent();
        position = parent ? parent->indexOfChild(relative) : m_tree->indexOfTopLevelItem(relative);
        if (relation == TreeRelation::Next)
            ++position;
    } else if (relative && relation == TreeRelation::FirstChild) {
        position = 0;
    }
    const int end = parent ? parent->childCount() : m_tree->topLevelItemCount();
    if (parent)
        parent->insertChild(position < 0 ? end : position, item);
    else
        m_tree->insertTopLevelItem(position < 0 ? end : position, item);
    return handle(item);
}

int TreeView::append(const ItemRef &parent, const QList<TreeNodeData> &nodes)
{
    QTreeWidgetItem *under = resolve(parent).item();
    BatchIcons iconOf(m_images);
    QList<QTreeWidgetItem *> items;
    items.reserve(nodes.size());
    m_registry.reserve(count() + 2 * int(nodes.size()));
    m_order.reserve(m_order.size() + 2 * std::size_t(nodes.size()));
    for (const TreeNodeData &data : nodes) {
        const std::optional<QIcon> icon = iconOf(data.imageKey);
        if (!icon)
            continue;
        QTreeWidgetItem *item = newItem(data.text, data.imageKey, *icon);
        if (!m_registry.tryEnroll(item, data.key)) {
            delete item;
            continue;
        }
        if (!data.tag.isEmpty())
            item->setData(0, ItemRole::Tag, data.tag);
        m_order.push_back(item);
        if (data.placeholder) {
            QTreeWidgetItem *placeholder = newItem(QString(), QString(), QIcon());
            m_registry.enroll(placeholder, QString());
            m_order.push_back(placeholder);
            item->addChild(placeholder);
        }
        items.append(item);
    }
    under->addChildren(items);
    return int(items.size());
}

void TreeView::removeItem(QTreeWidgetItem *item)
{
    forget(subtrees({item}));
    delete item;
}

void TreeView::removeChildItems(QTreeWidgetItem *item)
{
    const QList<QTreeWidgetItem *> children = item->takeChildren();
    forget(subtrees(children));
    qDeleteAll(children);
}

void TreeView::forget(const std::vector<QTreeWidgetItem *> &items)
{
    if (items.empty())
        return;
    const QSet<QTreeWidgetItem *> gone(items.begin(), items.end());
    for (QTreeWidgetItem *item : items)
        m_registry.forget(item);
    std::erase_if(m_order, [&gone](QTreeWidgetItem *item) { return gone.contains(item); });
}

bool TreeView::checkLabelEdit(const QModelIndex &index, QString &text)
{
    const TreeNode node = handle(m_tree->itemFromIndex(index));
    bool cancel = false;
    emit afterLabelEdit(node, &cancel, &text);
    if (cancel && node.exists()) {
        // A message about the refusal took the window's activation; the editor that
        // held the focus closes afterwards, and a window whose focused control went
        // away gives the keyboard to its first control (the address field) when it is
        // active again. The keyboard comes back to the tree, on the node whose edit
        // was dropped.
        if (m_tree->currentItem() != node.item())
            m_tree->setCurrentItem(node.item());
        m_tree->setFocus(Qt::OtherFocusReason);
    }
    return !cancel && node.exists();
}

void TreeView::connectEvents()
{
    const auto at = [this](const QPoint &pos) { return m_tree->viewport()->mapTo(this, pos); };
    connect(m_tree, &EventTreeWidget::itemChosen, this,
            [this](QTreeWidgetItem *item) { emit nodeClicked(handle(item)); });
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) { emit expanded(handle(item)); });
    connect(m_tree, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem *item) { emit collapsed(handle(item)); });
    connect(m_tree, &EventTreeWidget::doubleClicked, this, &TreeView::doubleClicked);
    connect(m_tree, &EventTreeWidget::keyDown, this, &TreeView::keyDown);
    connect(m_tree, &EventTreeWidget::keyUp, this, &TreeView::keyUp);
    connect(m_tree, &EventTreeWidget::gotFocus, this, &TreeView::gotFocus);
    connect(m_tree, &EventTreeWidget::secondClick, this, [this] {
        if (m_labelEditByClick)
            startLabelEdit();
    });
    connect(m_tree, &EventTreeWidget::mouseDown, this,
            [this, at](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos) {
                emit mouseDown(button, modifiers, at(pos));
            });
    connect(m_tree, &EventTreeWidget::mouseUp, this,
            [this, at](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos) {
                emit mouseUp(button, modifiers, at(pos));
            });
}
