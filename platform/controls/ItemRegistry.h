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

// A text with its hash worked out once. A hash table of many long keys that look
// alike (addresses) compares the stored hashes first and reads a key's characters only
// when they match, instead of at every step of a search.
struct HashedText
{
    explicit HashedText(const QString &text)
        : hash(qHash(text))
        , text(text)
    {
    }
    bool operator==(const HashedText &other) const { return hash == other.hash && text == other.text; }

    size_t hash;
    QString text;
};

inline size_t qHash(const HashedText &key, size_t seed = 0)
{
    return key.hash ^ seed;
}

// The key and handle index of the rows of a TreeView or ListView. Every row gets an
// id that is never reused, so a handle to a removed row finds nothing instead of
// another row that happens to live at the same address.
class ItemRegistry
{
public:
    static QString keyOf(const QTreeWidgetItem *item);
    static quint64 idOf(const QTreeWidgetItem *item);

    bool contains(const QString &key) const { return !key.isEmpty() && m_byKey.contains(HashedText(key)); }
    // Raises KeyNotUnique when a row already has key (an empty key is always free).
    void checkKeyFree(const QString &key) const;

    void enroll(QTreeWidgetItem *item, const QString &key);
    // Enrolls unless key is taken (one look-up instead of a check and an insertion);
    // false, and nothing changed, when it is.
    bool tryEnroll(QTreeWidgetItem *item, const QString &key);
    // Room for this many rows, so that filling a list does not grow the indexes often.
    void reserve(int rows);
    void forget(const QTreeWidgetItem *item);
    void rekey(QTreeWidgetItem *item, const QString &key);
    void clear();

    QTreeWidgetItem *find(const QString &key) const { return key.isEmpty() ? nullptr : m_byKey.value(HashedText(key)); }
    QTreeWidgetItem *item(quint64 id) const { return m_byId.value(id); }

private:
    QHash<HashedText, QTreeWidgetItem *> m_byKey;
    QHash<quint64, QTreeWidgetItem *> m_byId;
    quint64 m_nextId = 1;
};
