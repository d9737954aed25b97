#pragma once

#include <QHash>
#include <QString>

class QTreeWidgetItem;

// What the rows of a TreeView or ListView carry in their first column besides the text.
namespace ItemRole {
constexpr int Key = Qt::UserRole + 1;
constexpr int Id = Qt::UserRole + 2;
constexpr int Tag = Qt::UserRole + 3;
constexpr int Image = Qt::UserRole + 4;
} // namespace ItemRole

// The key and handle index of the rows of a TreeView or ListView. Every row gets an
// id that is never reused, so a handle to a removed row finds nothing instead of
// another row that happens to live at the same address.
class ItemRegistry
{
public:
    static QString keyOf(const QTreeWidgetItem *item);
    static quint64 idOf(const QTreeWidgetItem *item);

    bool contains(const QString &key) const { return !key.isEmpty() && m_byKey.contains(key); }
    // Raises KeyNotUnique when a row already has key (an empty key is always free).
    void checkKeyFree(const QString &key) const;

    void enroll(QTreeWidgetItem *item, const QString &key);
    void forget(const QTreeWidgetItem *item);
    void rekey(QTreeWidgetItem *item, const QString &key);
    void clear();

    QTreeWidgetItem *find(const QString &key) const { return key.isEmpty() ? nullptr : m_byKey.value(key); }
    QTreeWidgetItem *item(quint64 id) const { return m_byId.value(id); }

private:
    QHash<QString, QTreeWidgetItem *> m_byKey;
    QHash<quint64, QTreeWidgetItem *> m_byId;
    quint64 m_nextId = 1;
};
