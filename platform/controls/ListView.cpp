#include "platform/controls/ListView.h"

#include "platform/controls/EventTreeWidget.h"

#include <QHash>
#include <QHeaderView>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

// A row that sorts by the text of the sort column, as a person reads it: without
// regard to case, in the user's language. Its key, id, image key and icon live in
// plain fields rather than in the item's list of values, which copies itself at every
// new value: a list of many thousands of rows fills in a fraction of the time.
class ListRow : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return QString::localeAwareCompare(text(column).toCaseFolded(), other.text(column).toCaseFolded()) < 0;
    }

    QVariant data(int column, int role) const override
    {
        if (column == 0) {
            switch (role) {
            case ItemRole::Key: return m_key;
            case ItemRole::Id: return m_id;
            case ItemRole::Image: return m_image;
            case Qt::DecorationRole: return m_icon;
            default: break;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }

    void setData(int column, int role, const QVariant &value) override
    {
        if (column != 0
            || (role != ItemRole::Key && role != ItemRole::Id && role != ItemRole::Image && role != Qt::DecorationRole)) {
            QTreeWidgetItem::setData(column, role, value);
            return;
        }
        if (role == ItemRole::Key)
            m_key = value.toString();
        else if (role == ItemRole::Id)
            m_id = value.toULongLong();
        else if (role == ItemRole::Image)
            m_image = value.toString();
        else
            m_icon = value.value<QIcon>();
        if (treeWidget())
            emitDataChanged();
    }

private:
    QString m_key;
    quint64 m_id = 0;
    QString m_image;
    QIcon m_icon;
};

} // namespace

ListView::ListView(QWidget *parent)
    : QWidget(parent)
    , m_tree(new EventTreeWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    m_tree->setColumnCount(0);
    m_tree->setRootIsDecorated(false);
    m_tree->setItemsExpandable(false);
    m_tree->setUniformRowHeights(true);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->header()->setSectionsClickable(true);
    m_tree->header()->setStretchLastSection(false);
    setFocusProxy(m_tree);
    connectEvents();
}

ListView::~ListView() = default;

void ListView::addColumn(const QString &text, int width, Qt::Alignment alignment)
{
    const int column = m_tree->columnCount();
    m_tree->setColumnCount(column + 1);
    QTreeWidgetItem *header = m_tree->headerItem();
    header->setText(column, text);
    header->setTextAlignment(column, alignment | Qt::AlignVCenter);
    // A column is never narrower than its own caption.
    m_tree->setColumnWidth(column, std::max(width, m_tree->header()->sectionSizeHint(column)));
}

int ListView::columnCount() const
{
    return m_tree->columnCount();
}

QString ListView::columnText(int index) const
{
    if (index < 1 || index > columnCount())
        raiseBadIndex(index);
    return m_tree->headerItem()->text(index - 1);
}

ListItem ListView::add(const QString &key, const QString &text, const QString &smallIconKey, int index)
{
    m_registry.checkKeyFree(key);
    const QIcon icon = iconFor(smallIconKey);
    if (index == 0)
        index = count() + 1;
    if (index < 1 || index > count() + 1)
        raiseBadIndex(index);
    QTreeWidgetItem *row = newRow(text, smallIconKey, icon);
    m_registry.enroll(row, key);
    m_tree->insertTopLevelItem(index - 1, row);
    return handle(row);
}

int ListView::append(const QList<ListRowData> &rows)
{
    BatchIcons iconOf(m_images);
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    m_registry.reserve(count() + int(rows.size()));
    const int columns = columnCount();
    for (const ListRowData &data : rows) {
        const std::optional<QIcon> icon = iconOf(data.smallIconKey);
        if (!icon)
            continue;
        QTreeWidgetItem *row = newRow(data.text, data.smallIconKey, *icon);
        if (!m_registry.tryEnroll(row, data.key)) {
            delete row;
            continue;
        }
        for (qsizetype n = 0; n < data.subItems.size() && n + 1 < columns; ++n)
            row->setText(int(n) + 1, data.subItems.at(n));
        items.append(row);
    }
    // A sorting view would place the rows one by one; it sorts them once instead.
    if (m_sorted)
        m_tree->setSortingEnabled(false);
    m_tree->addTopLevelItems(items);
    if (m_sorted)
        applySorting();
    return int(items.size());
}

QTreeWidgetItem *ListView::newRow(const QString &text, const QString &smallIconKey, const QIcon &icon)
{
    auto *row = new ListRow;
    // Columns aligned as the view draws by default need no alignment of their own.
    for (int column = 0; column < columnCount(); ++column) {
        const int alignment = m_tree->headerItem()->textAlignment(column);
        if (alignment != int(Qt::AlignLeft | Qt::AlignVCenter))
            row->setTextAlignment(column, Qt::Alignment(alignment));
    }
    row->setText(0, text);
    row->setIcon(0, icon);
    row->setData(0, ItemRole::Image, smallIconKey);
    row->setFlags(row->flags() | Qt::ItemIsEditable);
    return row;
}

void ListView::clear()
{
    m_tree->clear();
    m_registry.clear();
}

int ListView::count() const
{
    return m_tree->topLevelItemCount();
}

ListItem ListView::selectedItem() const
{
    QTreeWidgetItem *current = m_tree->currentItem();
    if (current && current->isSelected())
        return handle(current);
    const QList<QTreeWidgetItem *> selected = m_tree->selectedItems();
    return selected.isEmpty() ? ListItem() : handle(selected.first());
}

bool ListView::multiSelect() const
{
    return m_tree->selectionMode() == QAbstractItemView::ExtendedSelection;
}

void ListView::setMultiSelect(bool multi)
{
    m_tree->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void ListView::setSorted(bool sorted)
{
    m_sorted = sorted;
    applySorting();
}

void ListView::setSortKey(int column)
{
    m_sortKey = column;
    applySorting();
}

void ListView::setSortOrder(Qt::SortOrder order)
{
    m_sortOrder = order;
    applySorting();
}

void ListView::startLabelEdit()
{
    const ListItem item = selectedItem();
    if (!item.isNull())
        m_tree->editItem(item.item(), 0);
}

QTreeWidget *ListView::treeWidget() const
{
    return m_tree;
}

ListItem ListView::resolve(const ItemRef &item) const
{
    if (item.isIndex()) {
        if (item.index() < 1 || item.index() > count())
            raiseBadIndex(item.index());
        return handle(m_tree->topLevelItem(item.index() - 1));
    }
    QTreeWidgetItem *row = m_registry.find(item.key());
    if (!row)
        raiseMissingKey(item.key());
    return handle(row);
}

ListItem ListView::handle(const QTreeWidgetItem *item) const
{
    return item ? ListItem(this, ItemRegistry::idOf(item)) : ListItem();
}

QIcon ListView::iconFor(const QString &imageKey) const
{
    return iconFromList(m_images, imageKey);
}

// The view keeps a sorted list in order as rows come and texts change; the header
// only carries the column and order for it, and shows no indicator.
void ListView::applySorting()
{
    QHeaderView *header = m_tree->header();
    if (m_sorted) {
        header->setSortIndicator(m_sortKey, m_sortOrder);
        m_tree->setSortingEnabled(true);
    } else {
        m_tree->setSortingEnabled(false);
    }
    header->setSortIndicatorShown(false);
    header->setSectionsClickable(true);
}

void ListView::onHeaderClicked(int section)
{
    // Whatever the header made of the click, the order stays the list's own.
    if (m_sorted)
        m_tree->header()->setSortIndicator(m_sortKey, m_sortOrder);
    emit columnClicked(section + 1);
}

void ListView::connectEvents()
{
    const auto at = [this](const QPoint &pos) { return m_tree->viewport()->mapTo(this, pos); };
    connect(m_tree->header(), &QHeaderView::sectionClicked, this, &ListView::onHeaderClicked);
    connect(m_tree, &EventTreeWidget::itemChosen, this,
            [this](QTreeWidgetItem *item) { emit itemClicked(handle(item)); });
    connect(m_tree, &EventTreeWidget::doubleClicked, this, &ListView::doubleClicked);
    connect(m_tree, &EventTreeWidget::keyDown, this, &ListView::keyDown);
    connect(m_tree, &EventTreeWidget::mouseDown, this,
            [this, at](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos) {
                emit mouseDown(button, modifiers, at(pos));
            });
    connect(m_tree, &EventTreeWidget::mouseUp, this,
            [this, at](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos) {
                emit mouseUp(button, modifiers, at(pos));
            });
}
