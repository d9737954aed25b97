#pragma once

#include <QString>

#include <functional>

// Addresses one member of a key-addressed control collection: by its string key or
// by its 1-based index, as the forms address nodes, items, buttons, panels and tabs.
class ItemRef
{
public:
    ItemRef(int index) : m_index(index), m_byIndex(true) {}
    ItemRef(const QString &key) : m_key(key) {}
    ItemRef(const char *key) : m_key(QString::fromUtf8(key)) {}

    bool isIndex() const { return m_byIndex; }
    int index() const { return m_index; }
    const QString &key() const { return m_key; }

private:
    QString m_key;
    int m_index = 0;
    bool m_byIndex = false;
};

// Every collection fails the same way:
//   a key no member has (the empty key included)  -> ErrorNumber::ElementNotFound (35601)
//   an index outside 1..count                      -> ErrorNumber::SubscriptOutOfRange (9)
//   adding or renaming to a key already taken      -> ErrorNumber::KeyNotUnique (35602)
// An empty key is allowed when adding and means "no key"; such members are reached by index.
[[noreturn]] void raiseMissingKey(const QString &key);
[[noreturn]] void raiseBadIndex(int index);
[[noreturn]] void raiseKeyTaken(const QString &key);

// Turns ref into a 1-based index, given the collection's size and a key lookup that
// answers 0 for an unknown key.
int resolveItemRef(const ItemRef &ref, int count, const std::function<int(const QString &)> &indexOfKey);
