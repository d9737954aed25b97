#include "platform/ItemRegistry.h"

#include "platform/ItemRef.h"

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
    checkKeyFree(key);
    const quint64 id = m_nextId++;
    item->setData(0, ItemRole::Key, key);
    item->setData(0, ItemRole::Id, id);
    if (!key.isEmpty())
        m_byKey.insert(key, item);
    m_byId.insert(id, item);
}

void ItemRegistry::forget(const QTreeWidgetItem *item)
{
    const QString key = keyOf(item);
    if (!key.isEmpty())
        m_byKey.remove(key);
    m_byId.remove(idOf(item));
}

void ItemRegistry::rekey(QTreeWidgetItem *item, const QString &key)
{
    const QString old = keyOf(item);
    if (key == old)
        return;
    checkKeyFree(key);
    if (!old.isEmpty())
        m_byKey.remove(old);
    if (!key.isEmpty())
        m_byKey.insert(key, item);
    item->setData(0, ItemRole::Key, key);
}

void ItemRegistry::clear()
{
    m_byKey.clear();
    m_byId.clear();
}
