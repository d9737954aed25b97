#pragma once

#include "platform/Registry.h"

#include <QString>
#include <QStringList>

#include <map>
#include <vector>

struct RegNamedValue
{
    QString name; // empty for the key's default value
    RegValue value;
};

struct RegKeyEntry
{
    QString path; // full path with its root, in the case it was created with
    std::vector<RegNamedValue> values;
};

// The keys and values of the emulated registry in memory. Paths are full
// ("HKEY_CURRENT_USER\Software\X") and compare without regard to case; a key or
// value keeps the case it was first created with. Creating a key creates its
// parents too, so they outlive the deletion of the child, as in the real registry.
class RegistryTree
{
public:
    // The path without empty components (no leading, trailing or doubled "\").
    static QString normalizedPath(const QString &path);

    bool hasKey(const QString &path) const;
    bool hasSubKeys(const QString &path) const;
    const RegValue *value(const QString &path, const QString &name) const;
    // The names of the key's values in the order they were created; empty for a missing key.
    QStringList valueNames(const QString &path) const;

    void createKey(const QString &path);
    void setValue(const QString &path, const QString &name, const RegValue &value);
    void removeValue(const QString &path, const QString &name);
    // Removes the key with all its subkeys.
    void removeKey(const QString &path);

    // Every key, ordered so that a key comes before its subkeys.
    const std::map<QString, RegKeyEntry> &keys() const { return m_keys; }

private:
    static QString folded(const QString &path);
    // Creates the key and its missing parents; null for an empty path.
    RegKeyEntry *entryFor(const QString &path);

    std::map<QString, RegKeyEntry> m_keys; // by folded path
};
