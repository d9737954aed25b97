#pragma once

#include "platform/controls/ItemRef.h"

#include <QStringList>

#include <utility>
#include <vector>

// An ordered collection whose members carry an optional unique key. Meant for the
// small collections of the controls (images, buttons, menu entries, panels): the key
// lookup is a plain scan, so the key index can never fall out of step with the order.
template<typename T>
class KeyedCollection
{
public:
    int count() const { return int(m_entries.size()); }

    // 1-based position of key; 0 when no member has it (or key is empty).
    int indexOf(const QString &key) const
    {
        if (key.isEmpty())
            return 0;
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].key == key)
                return int(i) + 1;
        }
        return 0;
    }

    bool contains(const QString &key) const { return indexOf(key) != 0; }

    int resolve(const ItemRef &ref) const
    {
        return resolveItemRef(ref, count(), [this](const QString &key) { return indexOf(key); });
    }

    const QString &keyAt(int index) const { return entry(index).key; }
    T &at(int index) { return entry(index).value; }
    const T &at(int index) const { return entry(index).value; }
    T &operator[](const ItemRef &ref) { return at(resolve(ref)); }
    const T &operator[](const ItemRef &ref) const { return at(resolve(ref)); }

    // Inserts at the 1-based position (0 appends); a taken key or a position past
    // the end fails and inserts nothing.
    void insert(int position, const QString &key, T value)
    {
        if (contains(key))
            raiseKeyTaken(key);
        if (position == 0)
            position = count() + 1;
        if (position < 1 || position > count() + 1)
            raiseBadIndex(position);
        m_entries.insert(m_entries.begin() + (position - 1), Entry{key, std::move(value)});
    }

    void append(const QString &key, T value) { insert(0, key, std::move(value)); }

    T take(int index)
    {
        T value = std::move(entry(index).value);
        m_entries.erase(m_entries.begin() + (index - 1));
        return value;
    }

    void clear() { m_entries.clear(); }

    QStringList keys() const
    {
        QStringList result;
        for (const Entry &e : m_entries)
            result << e.key;
        return result;
    }

    // Position of the member whose value satisfies pred; 0 when none does.
    template<typename Pred>
    int findIf(Pred pred) const
    {
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (pred(m_entries[i].value))
                return int(i) + 1;
        }
        return 0;
    }

private:
    struct Entry
    {
        QString key;
        T value;
    };

    Entry &entry(int index)
    {
        if (index < 1 || index > count())
            raiseBadIndex(index);
        return m_entries[std::size_t(index - 1)];
    }
    const Entry &entry(int index) const { return const_cast<KeyedCollection *>(this)->entry(index); }

    std::vector<Entry> m_entries;
};
