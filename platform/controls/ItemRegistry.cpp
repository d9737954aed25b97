#include "platform/controls/ItemRegistry.h"

#include "platform/controls/ItemRef.h"

#include <QTreeWidgetItem>

QString ItemRegistry::keyOf(const QTreeWidgetItem *item)
{
    return item->data(0, ItemRole::Key).toString();
}

quint64 ItemRegistry::idOf(const QTreeWidgetItem *item)
{
    return item->data(0, ItemRole::Id).toULongLong();
}

void ItemRegistry::checkKeyFree(const QString &key) const
{
    if (contains(key))
        raiseKeyTaken(key);
}

void ItemRegistry::enroll(QTreeWidgetItem *item, const QString &key)
{
    if (!tryEnroll(item, key))
        raiseKeyTaken(key);
}

bool ItemRegistry::tryEnroll(QTreeWidgetItem *item, const QString &key)
{
    if (!key.isEmpty()) {
        const qsizetype before = m_byKey.size();
        QTreeWidgetItem *&slot = m_byKey[HashedText(key)];
        if (m_byKey.size() == before)
            return false;
        slot = item;
    }
    const quint64 id = m_nextId++;
    item->setData(0, ItemRole::Key, key);
    item->setData(0, ItemRole::Id, id);
    m_byId.insert(id, item);
    return true;
}

void ItemRegistry::reserve(int rows)
{
    m_byKey.reserve(rows);
    m_byId.reserve(rows);
}

void ItemRegistry::forget(const QTreeWidgetItem *item)
{
    const QString key = keyOf(item);
    if (!key.isEmpty())
        m_byKey.remove(HashedText(key));
    m_byId.remove(idOf(item));
}

void ItemRegistry::rekey(QTreeWidgetItem *item, const QString &key)
{
    const QString old = keyOf(item);
    if (key == old)
        return;
    checkKeyFree(key);
    if (!old.isEmpty())
        m_byKey.remove(HashedText(old));
    if (!key.isEmpty())
        m_byKey.insert(HashedText(key), item);
    item->setData(0, ItemRole::Key, key);
}

void ItemRegistry::clear()
{
    m_byKey.clear();
    m_byId.clear();
}
