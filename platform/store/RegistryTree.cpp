#include "platform/store/RegistryTree.h"

#include <optional>

namespace {

const QChar kSeparator = QLatin1Char('\\');

// Calls visit for each non-empty name of the path, in order; stops when it returns false.
template <typename Visit>
void forEachName(const QString &path, Visit visit)
{
    qsizetype start = 0;
    while (start <= path.size()) {
        qsizetype end = path.indexOf(kSeparator, start);
        if (end < 0)
            end = path.size();
        if (end > start && !visit(QStringView(path).sliced(start, end - start)))
            return;
        start = end + 1;
    }
}

QString folded(QStringView name)
{
    return name.toString().toCaseFolded();
}

} // namespace

class RegistryTree::Key
{
public:
    QString name;
    std::map<QString, std::unique_ptr<Key>> subKeys; // by folded name
    // Values in the order they were created. A removed value leaves an empty slot
    // behind until the empty entries outnumber the values, so that removing many
    // values from a large key stays linear.
    std::vector<std::optional<RegNamedValue>> entries;
    QHash<QString, qsizetype> index; // folded value name -> slot

    Key *subKey(QStringView name) const
    {
        const auto found = subKeys.find(folded(name));
        return found == subKeys.end() ? nullptr : found->second.get();
    }

    std::unique_ptr<Key> clone() const
    {
        auto copy = std::make_unique<Key>();
        copy->name = name;
        copy->entries = entries;
        copy->index = index;
        for (const auto &[foldedName, child] : subKeys)
            copy->subKeys.emplace(foldedName, child->clone());
        return copy;
    }

    void compact()
    {
        std::vector<std::optional<RegNamedValue>> kept;
        kept.reserve(index.size());
        index.clear();
        for (std::optional<RegNamedValue> &slot : entries) {
            if (!slot)
                continue;
            index.insert(slot->name.toCaseFolded(), qsizetype(kept.size()));
            kept.push_back(std::move(slot));
        }
        entries = std::move(kept);
    }
};

RegistryTree::RegistryTree()
    : m_top(std::make_unique<Key>())
{
}

RegistryTree::RegistryTree(const RegistryTree &other)
    : m_top(other.m_top->clone())
{
}

RegistryTree &RegistryTree::operator=(const RegistryTree &other)
{
    if (this != &other)
        m_top = other.m_top->clone();
    return *this;
}

RegistryTree::RegistryTree(RegistryTree &&other) noexcept
    : m_top(std::exchange(other.m_top, std::make_unique<Key>()))
{
}

RegistryTree &RegistryTree::operator=(RegistryTree &&other) noexcept
{
    std::swap(m_top, other.m_top);
    return *this;
}

RegistryTree::~RegistryTree() = default;

QString RegistryTree::normalizedPath(const QString &path)
{
    return path.split(kSeparator, Qt::SkipEmptyParts).join(kSeparator);
}

int RegistryTree::depthOf(const QString &path)
{
    int names = 0;
    forEachName(path, [&](QStringView) {
        ++names;
        return true;
    });
    return names > 0 ? names - 1 : 0;
}

const RegistryTree::Key *RegistryTree::find(const QString &path) const
{
    const Key *key = m_top.get();
    bool any = false;
    forEachName(path, [&](QStringView name) {
        any = true;
        key = key->subKey(name);
        return key != nullptr;
    });
    return any ? key : nullptr;
}

bool RegistryTree::hasKey(const QString &path) const
{
    return find(path) != nullptr;
}

bool RegistryTree::hasSubKeys(const QString &path) const
{
    const Key *key = find(path);
    return key && !key->subKeys.empty();
}

const RegValue *RegistryTree::value(const QString &path, const QString &name) const
{
    const Key *key = find(path);
    if (!key)
        return nullptr;
    const auto slot = key->index.constFind(name.toCaseFolded());
    return slot == key->index.cend() ? nullptr : &key->entries[*slot]->value;
}

QStringList RegistryTree::valueNames(const QString &path) const
{
    QStringList names;
    if (const Key *key = find(path)) {
        for (const std::optional<RegNamedValue> &slot : key->entries) {
            if (slot)
                names.append(slot->name);
        }
    }
    return names;
}

RegistryTree::Key *RegistryTree::createKey(const QString &path)
{
    if (depthOf(path) > MaxDepth)
        return nullptr;
    Key *key = m_top.get();
    bool any = false;
    forEachName(path, [&](QStringView name) {
        any = true;
        std::unique_ptr<Key> &child = key->subKeys[folded(name)];
        if (!child) {
            child = std::make_unique<Key>();
            child->name = name.toString();
        }
        key = child.get();
        return true;
    });
    return any ? key : nullptr;
}

bool RegistryTree::setValue(const QString &path, const QString &name, const RegValue &value)
{
    Key *key = createKey(path);
    if (!key)
        return false;
    setValue(*key, name, value);
    return true;
}

void RegistryTree::setValue(Key &key, const QString &name, const RegValue &value)
{
    const QString foldedName = name.toCaseFolded();
    const auto slot = key.index.constFind(foldedName);
    if (slot != key.index.cend()) {
        key.entries[*slot]->value = value;
        return;
    }
    key.index.insert(foldedName, qsizetype(key.entries.size()));
    key.entries.push_back(RegNamedValue{name, value});
}

void RegistryTree::removeValue(const QString &path, const QString &name)
{
    if (Key *key = const_cast<Key *>(find(path)))
        removeValue(*key, name);
}

void RegistryTree::removeValue(Key &key, const QString &name)
{
    const auto slot = key.index.find(name.toCaseFolded());
    if (slot == key.index.end())
        return;
    key.entries[*slot].reset();
    key.index.erase(slot);
    if (key.entries.size() > 16 && qsizetype(key.entries.size()) > 2 * key.index.size())
        key.compact();
}

void RegistryTree::removeKey(const QString &path)
{
    Key *parent = m_top.get();
    QString last;
    bool found = true;
    forEachName(path, [&](QStringView name) {
        if (!last.isNull()) {
            parent = parent->subKey(last);
            if (!parent) {
                found = false;
                return false;
            }
        }
        last = name.toString();
        return true;
    });
    if (found && !last.isNull())
        parent->subKeys.erase(folded(last));
}

void RegistryTree::forEachKey(const KeyVisitor &visit) const
{
    // One path buffer grows and shrinks with the walk, so deep keys cost no copies.
    // Depth is bounded by MaxDepth, so recursion is safe.
    QString path;
    std::vector<const RegNamedValue *> values;
    const auto walk = [&](const auto &self, const Key &key) -> void {
        const qsizetype length = path.size();
        if (length > 0)
            path += kSeparator;
        path += key.name;
        values.clear();
        for (const std::optional<RegNamedValue> &slot : key.entries) {
            if (slot)
                values.push_back(&*slot);
        }
        visit(path, values, !key.subKeys.empty());
        for (const auto &[foldedName, child] : key.subKeys)
            self(self, *child);
        path.truncate(length);
    };
    for (const auto &[foldedName, root] : m_top->subKeys)
        walk(walk, *root);
}

std::vector<RegKeyEntry> RegistryTree::keys() const
{
    std::vector<RegKeyEntry> entries;
    forEachKey([&](const QString &path, const std::vector<const RegNamedValue *> &values, bool) {
        RegKeyEntry entry{path, {}};
        for (const RegNamedValue *value : values)
            entry.values.push_back(*value);
        entries.push_back(std::move(entry));
    });
    return entries;
}

bool RegistryTree::operator==(const RegistryTree &other) const
{
    return keys() == other.keys();
}
