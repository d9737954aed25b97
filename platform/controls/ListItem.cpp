#include "platform/controls/ListItem.h"

#include "platform/system/ErrorState.h"
#include "platform/controls/ListView.h"

#include <QTreeWidget>

ListItem::ListItem(const ListView *view, quint64 id)
    : m_view(const_cast<ListView *>(view))
    , m_id(id)
{
}

bool ListItem::exists() const
{
    return m_view && m_view->m_registry.item(m_id);
}

bool ListItem::operator==(const ListItem &other) const
{
    return m_view.data() == other.m_view.data() && m_id == other.m_id;
}

QString ListItem::key() const
{
    return ItemRegistry::keyOf(item());
}

QString ListItem::text() const
{
    return item()->text(0);
}

void ListItem::setText(const QString &text) const
{
    item()->setText(0, text);
}

QString ListItem::subItem(int n) const
{
    QTreeWidgetItem *row = item();
    return row->text(column(n));
}

void ListItem::setSubItem(int n, const QString &text) const
{
    QTreeWidgetItem *row = item();
    row->setText(column(n), text);
}

QString ListItem::smallIcon() const
{
    return item()->data(0, ItemRole::Image).toString();
}

void ListItem::setSmallIcon(const QString &imageKey) const
{
    QTreeWidgetItem *row = item();
    row->setIcon(0, m_view->iconFor(imageKey));
    row->setData(0, ItemRole::Image, imageKey);
}

bool ListItem::bold() const
{
    return item()->font(0).bold();
}

void ListItem::setBold(bool bold) const
{
    QTreeWidgetItem *row = item();
    for (int column = 0; column < row->columnCount() || column < m_view->columnCount(); ++column) {
        QFont font = row->font(column);
        font.setBold(bold);
        row->setFont(column, font);
    }
}

QString ListItem::tag() const
{
    return item()->data(0, ItemRole::Tag).toString();
}

void ListItem::setTag(const QString &tag) const
{
    item()->setData(0, ItemRole::Tag, tag);
}

bool ListItem::selected() const
{
    return item()->isSelected();
}

void ListItem::setSelected(bool selected) const
{
    QTreeWidgetItem *row = item();
    if (selected && !m_view->multiSelect())
        row->treeWidget()->setCurrentItem(row);
    else
        row->setSelected(selected);
}

int ListItem::index() const
{
    QTreeWidgetItem *row = item();
    return row->treeWidget()->indexOfTopLevelItem(row) + 1;
}

void ListItem::remove() const
{
    QTreeWidgetItem *row = item();
    m_view->m_registry.forget(row);
    delete row;
}

QTreeWidgetItem *ListItem::item() const
{
    QTreeWidgetItem *row = m_view ? m_view->m_registry.item(m_id) : nullptr;
    if (!row)
        raiseError(ErrorNumber::ObjectVariableNotSet);
    return row;
}

// Sub-item n lives in column n; the first column is the row's text.
int ListItem::column(int subItem) const
{
    if (subItem < 1 || subItem >= m_view->columnCount())
        raiseError(ErrorNumber::InvalidPropertyValue);
    return subItem;
}
