#pragma once

#include "platform/store/Registry.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

struct RegNamedValue
{
    QString name; // empty for the key's default value
    RegValue value;

    bool operator==(const RegNamedValue &other) const
    {
        return name == other.name && value.type == other.value.type && value.data == other.value.data;
    }
};

struct RegKeyEntry
{
    QString path; // full path with its root, each name in the case it was created with
    std::vector<RegNamedValue> values;

    bool operator==(const RegKeyEntry &) const = default;
};

// The keys and values of the emulated registry in memory, held as a tree of keys so
// that every operation costs the length of its path, never the size or depth of
// the whole tree. Paths are full ("HKEY_CURRENT_USER\Software\X") and compare
// without regard to case; a key or value keeps the case it was first created with.
// Creating a key creates its parents too, so they outlive the deletion of the
// child, as in the real registry.
class RegistryTree
{
public:
    // The real registry allows no deeper keys either; below the root key.
    static constexpr int MaxDepth = 512;

    class Key;

    RegistryTree();
    RegistryTree(const RegistryTree &other);
    RegistryTree &operator=(const RegistryTree &other);
    RegistryTree(RegistryTree &&) noexcept;
    RegistryTree &operator=(RegistryTree &&) noexcept;
    ~RegistryTree();

    // The path without empty components (no leading, trailing or doubled "\").
    static QString normalizedPath(const QString &path);
    // The number of names below the root key in a path.
    static int depthOf(QStringView path);

    bool hasKey(const QString &path) const;
    bool hasSubKeys(const QString &path) const;
    const RegValue *value(const QString &path, const QString &name) const;
    // The names of the key's values in the order they were created; empty for a missing key.
    QStringList valueNames(const QString &path) const;

    // The first key of the path that does not exist yet ("HKEY_CURRENT_USER\A" for
    // "HKEY_CURRENT_USER\A\B" when there is no A), which removeKey takes away with
    // whatever createKey added below it; empty when the whole path exists.
    QString firstMissingKey(const QString &path) const;

    // Creates the key and its missing parents. Returns null, changing nothing, for
    // an empty path or one deeper than MaxDepth.
    Key *createKey(const QString &path);
    // The subkey of a key, created when missing: for readers that create many keys
    // below one parent. The caller keeps the depth within MaxDepth.
    static Key &createSubKey(Key &parent, QStringView name);
    // Both return false, changing nothing, when the key cannot be created.
    bool setValue(const QString &path, const QString &name, const RegValue &value);
    static void setValue(Key &key, const QString &name, const RegValue &value);
    void removeValue(const QString &path, const QString &name);
    static void removeValue(Key &key, const QString &name);
    // Removes the key with all its subkeys.
    void removeKey(const QString &path);

    // Visits every key, a key before its subkeys and subkeys in the order of their
    // folded names: its full path, its values in order, whether it has subkeys.
    using KeyVisitor =
        std::function<void(const QString &path, const std::vector<const RegNamedValue *> &values, bool hasSubKeys)>;
    void forEachKey(const KeyVisitor &visit) const;
    // Every key as forEachKey visits it.
    std::vector<RegKeyEntry> keys() const;

    // Same keys with the same spelling, same values in the same order.
    bool operator==(const RegistryTree &other) const;

private:
    const Key *find(const QString &path) const;

    std::unique_ptr<Key> m_top; // holds the root keys as its subkeys
};
