#include "platform/RegistryTree.h"

#include <QStringList>

#include <algorithm>

namespace {

const QChar kSeparator = QLatin1Char('\\');

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

QString RegistryTree::normalizedPath(const QString &path)
{
    return path.split(kSeparator, Qt::SkipEmptyParts).join(kSeparator);
}

QString RegistryTree::folded(const QString &path)
{
    return normalizedPath(path).toCaseFolded();
}

bool RegistryTree::hasKey(const QString &path) const
{
    return m_keys.count(folded(path)) != 0;
}

bool RegistryTree::hasSubKeys(const QString &path) const
{
    const QString prefix = folded(path) + kSeparator;
    const auto next = m_keys.lower_bound(prefix);
    return next != m_keys.end() && next->first.startsWith(prefix);
}

const RegValue *RegistryTree::value(const QString &path, const QString &name) const
{
    const auto key = m_keys.find(folded(path));
    if (key == m_keys.end())
        return nullptr;
    for (const RegNamedValue &entry : key->second.values) {
        if (sameName(entry.name, name))
            return &entry.value;
    }
    return nullptr;
}

QStringList RegistryTree::valueNames(const QString &path) const
{
    QStringList names;
    const auto key = m_keys.find(folded(path));
    if (key == m_keys.end())
        return names;
    for (const RegNamedValue &entry : key->second.values)
        names.append(entry.name);
    return names;
}

RegKeyEntry *RegistryTree::entryFor(const QString &path)
{
    const QStringList parts = normalizedPath(path).split(kSeparator, Qt::SkipEmptyParts);
    QString storedPath;
    RegKeyEntry *entry = nullptr;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString wanted = storedPath.isEmpty() ? parts[i] : storedPath + kSeparator + parts[i];
        RegKeyEntry &current = m_keys[wanted.toCaseFolded()];
        if (current.path.isEmpty())
            current.path = wanted;
        storedPath = current.path;
        entry = &current;
    }
    return entry;
}

void RegistryTree::createKey(const QString &path)
{
    entryFor(path);
}

void RegistryTree::setValue(const QString &path, const QString &name, const RegValue &value)
{
    RegKeyEntry *key = entryFor(path);
    if (!key)
        return;
    std::vector<RegNamedValue> &values = key->values;
    for (RegNamedValue &entry : values) {
        if (sameName(entry.name, name)) {
            entry.value = value;
            return;
        }
    }
    values.push_back({name, value});
}

void RegistryTree::removeValue(const QString &path, const QString &name)
{
    const auto key = m_keys.find(folded(path));
    if (key == m_keys.end())
        return;
    std::vector<RegNamedValue> &values = key->second.values;
    values.erase(std::remove_if(values.begin(), values.end(),
                                [&](const RegNamedValue &entry) { return sameName(entry.name, name); }),
                 values.end());
}

void RegistryTree::removeKey(const QString &path)
{
    const QString key = folded(path);
    if (key.isEmpty())
        return;
    m_keys.erase(key);
    const QString prefix = key + kSeparator;
    auto next = m_keys.lower_bound(prefix);
    while (next != m_keys.end() && next->first.startsWith(prefix))
        next = m_keys.erase(next);
}
