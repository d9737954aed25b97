#include "platform/store/RegistryTree.h"

#include <algorithm>
#include <optional>

namespace {

const QChar kSeparator = QLatin1Char('\\');

// Calls visit for each non-empty name of the path, in order; stops when it returns false.
template <typename Visit>
void forEachName(QStringView path, Visit visit)
{
    qsizetype start = 0;
    while (start <= path.size()) {
        qsizetype end = path.indexOf(kSeparator, start);
        if (end < 0)
            end = path.size();
        if (end > start && !visit(path.sliced(start, end - start)))
            return;
        start = end + 1;
    }
}

} // namespace

// A key holds its name and values; what only some keys have (subkeys, an index of
// many values) hangs off it separately, since a registry may hold hundreds of
// thousands of small keys and each byte of a key counts that many times.
class RegistryTree::Key
{
public:
    static constexpr size_t IndexFrom = 8;

    // The subkeys in the order they were added, found through an index once there
    // are more than a few: an open-addressed table whose slots hold a subkey's
    // position (+1, 0 for a free slot) in the low half and its hash in the high
    // half, so that probing seldom reaches a subkey that does not match. A removed
    // subkey leaves an empty position until the empty ones outnumber the rest.
    struct More
    {
        std::vector<std::unique_ptr<Key>> children;
        std::vector<quint64> childIndex; // a power of two long, or empty
        size_t removedChildren = 0;
        // Whether children is in the order of the folded names, as the walk visits
        // them; a file this program wrote reads in that order.
        bool childrenSorted = true;
        std::unique_ptr<QHash<QString, qsizetype>> valueIndex; // folded value name -> slot
    };

    QString name;
    std::unique_ptr<More> more;
    // Values in the order they were created. A removed value leaves an empty slot
    // behind until the empty entries outnumber the values, so that removing many
    // values from a large key stays linear. Keys with a few values have no index.
    std::vector<std::optional<RegNamedValue>> entries;

    Key() = default;
    explicit Key(QStringView keyName)
        : name(keyName.toString())
    {
    }

    // Case folding leaves most names as they are and then shares their text.
    QString folded() const { return name.toCaseFolded(); }

    size_t childCount() const { return more ? more->children.size() - more->removedChildren : 0; }

    More &extra()
    {
        if (!more)
            more = std::make_unique<More>();
        return *more;
    }

    Key *subKey(QStringView childName) const { return childAt(find(childName.toString().toCaseFolded())); }

    Key *childAt(qsizetype position) const { return position < 0 ? nullptr : more->children[size_t(position)].get(); }

    // The position of the subkey with the folded name, or -1.
    qsizetype find(const QString &foldedName) const
    {
        if (!more)
            return -1;
        const std::vector<std::unique_ptr<Key>> &children = more->children;
        if (more->childIndex.empty()) {
            for (size_t i = 0; i < children.size(); ++i) {
                if (children[i] && children[i]->folded() == foldedName)
                    return qsizetype(i);
            }
            return -1;
        }
        const quint32 hash = hashOf(foldedName);
        const quint64 high = quint64(hash) << 32;
        const size_t mask = more->childIndex.size() - 1;
        for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const quint64 entry = more->childIndex[slot];
            if (entry == 0)
                return -1;
            if ((entry & 0xFFFFFFFF00000000ull) != high)
                continue;
            const Key *child = children[size_t(entry & 0xFFFFFFFFu) - 1].get();
            if (child && child->folded() == foldedName)
                return qsizetype(entry & 0xFFFFFFFFu) - 1;
        }
    }

    Key &add(QStringView childName)
    {
        More &m = extra();
        auto child = std::make_unique<Key>(childName);
        const QString childFolded = child->folded();
        if (m.childrenSorted && !m.children.empty() && !(m.children.back() && m.children.back()->folded() < childFolded))
            m.childrenSorted = false;
        m.children.push_back(std::move(child));
        if (m.children.size() * 2 > m.childIndex.size() && m.children.size() > IndexFrom)
            growChildIndex();
        if (!m.childIndex.empty())
            indexChild(m.children.size() - 1, hashOf(childFolded));
        return *m.children.back();
    }

    void remove(const QString &foldedName)
    {
        const qsizetype position = find(foldedName);
        if (position < 0)
            return;
        More &m = *more;
        m.children[size_t(position)].reset();
        ++m.removedChildren;
        if (m.children.size() > 16 && m.removedChildren * 2 > m.children.size()) {
            std::erase(m.children, nullptr);
            m.removedChildren = 0;
            rebuildChildIndex();
        }
    }

    // The subkeys in the order of their folded names, none removed.
    const std::vector<std::unique_ptr<Key>> &sortedChildren()
    {
        static const std::vector<std::unique_ptr<Key>> none;
        if (!more)
            return none;
        More &m = *more;
        if (m.childrenSorted && m.removedChildren == 0)
            return m.children;
        std::erase(m.children, nullptr);
        m.removedChildren = 0;
        if (!m.childrenSorted) {
            // Each name folded once, and its first eight characters kept beside it, so
            // that most comparisons touch neither the names nor the keys.
            struct Sortable
            {
                quint64 first;
                quint64 second;
                QString folded;
                std::unique_ptr<Key> key;
                quint32 hash;
            };
            std::vector<Sortable> byName;
            byName.reserve(m.children.size());
            for (std::unique_ptr<Key> &child : m.children) {
                QString childFolded = child->folded();
                quint64 prefix[2] = {0, 0};
                for (qsizetype i = 0; i < 8 && i < childFolded.size(); ++i)
                    prefix[i / 4] |= quint64(childFolded.at(i).unicode()) << (48 - 16 * (i % 4));
                const quint32 hash = hashOf(childFolded);
                byName.push_back({prefix[0], prefix[1], std::move(childFolded), std::move(child), hash});
            }
            std::sort(byName.begin(), byName.end(), [](const Sortable &a, const Sortable &b) {
                if (a.first != b.first)
                    return a.first < b.first;
                if (a.second != b.second)
                    return a.second < b.second;
                return a.folded < b.folded;
            });
            m.childIndex.assign(m.children.size() > IndexFrom ? indexSize(m.children.size()) : 0, 0);
            for (size_t i = 0; i < byName.size(); ++i) {
                m.children[i] = std::move(byName[i].key);
                if (!m.childIndex.empty())
                    indexChild(i, byName[i].hash);
            }
            m.childrenSorted = true;
            return m.children;
        }
        rebuildChildIndex();
        return m.children;
    }

    static quint32 hashOf(const QString &foldedName) { return quint32(qHash(foldedName)); }

    void indexChild(size_t position, quint32 hash)
    {
        std::vector<quint64> &index = more->childIndex;
        const size_t mask = index.size() - 1;
        size_t slot = hash & mask;
        while (index[slot] != 0)
            slot = (slot + 1) & mask;
        index[slot] = (quint64(hash) << 32) | quint64(position + 1);
    }

    static size_t indexSize(size_t count)
    {
        size_t size = 16;
        while (size < count * 2)
            size *= 2;
        return size;
    }

    // A larger table from the hashes the slots keep, without visiting the subkeys.
    void growChildIndex()
    {
        More &m = *more;
        if (m.childIndex.empty()) {
            rebuildChildIndex();
            return;
        }
        std::vector<quint64> old = std::move(m.childIndex);
        m.childIndex.assign(indexSize(m.children.size()), 0);
        for (const quint64 entry : old) {
            if (entry != 0)
                indexChild(size_t(entry & 0xFFFFFFFFu) - 1, quint32(entry >> 32));
        }
    }

    void rebuildChildIndex()
    {
        More &m = *more;
        m.childIndex.clear();
        if (m.children.size() <= IndexFrom) {
            m.childIndex.shrink_to_fit();
            return;
        }
        m.childIndex.assign(indexSize(m.children.size()), 0);
        for (size_t i = 0; i < m.children.size(); ++i) {
            if (m.children[i])
                indexChild(i, hashOf(m.children[i]->folded()));
        }
    }

    // The slot of a value by its folded name, or -1.
    qsizetype valueSlot(const QString &foldedName) const
    {
        if (more && more->valueIndex) {
            const auto slot = more->valueIndex->constFind(foldedName);
            return slot == more->valueIndex->cend() ? -1 : *slot;
        }
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i] && entries[i]->name.toCaseFolded() == foldedName)
                return qsizetype(i);
        }
        return -1;
    }

    QHash<QString, qsizetype> *valueIndex() const { return more ? more->valueIndex.get() : nullptr; }

    std::unique_ptr<Key> clone() const
    {
        auto copy = std::make_unique<Key>();
        copy->name = name;
        copy->entries = entries;
        copy->reindexValues();
        if (childCount() > 0) {
            More &m = copy->extra();
            m.childrenSorted = more->childrenSorted;
            m.children.reserve(childCount());
            for (const std::unique_ptr<Key> &child : more->children) {
                if (child)
                    m.children.push_back(child->clone());
            }
            copy->rebuildChildIndex();
        }
        return copy;
    }

    void compact()
    {
        std::vector<std::optional<RegNamedValue>> kept;
        kept.reserve(entries.size());
        for (std::optional<RegNamedValue> &slot : entries) {
            if (slot)
                kept.push_back(std::move(slot));
        }
        entries = std::move(kept);
        reindexValues();
    }

    void reindexValues()
    {
        if (entries.size() <= IndexFrom) {
            if (more)
                more->valueIndex.reset();
            return;
        }
        auto index = std::make_unique<QHash<QString, qsizetype>>();
        index->reserve(qsizetype(entries.size()));
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i])
                index->insert(entries[i]->name.toCaseFolded(), qsizetype(i));
        }
        extra().valueIndex = std::move(index);
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

int RegistryTree::depthOf(QStringView path)
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
    return key && key->childCount() > 0;
}

const RegValue *RegistryTree::value(const QString &path, const QString &name) const
{
    const Key *key = find(path);
    if (!key)
        return nullptr;
    const qsizetype slot = key->valueSlot(name.toCaseFolded());
    return slot < 0 ? nullptr : &key->entries[size_t(slot)]->value;
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

QString RegistryTree::firstMissingKey(const QString &path) const
{
    const Key *key = m_top.get();
    QString prefix;
    bool missing = false;
    forEachName(path, [&](QStringView name) {
        if (!prefix.isEmpty())
            prefix += kSeparator;
        prefix += name;
        key = key->subKey(name);
        missing = key == nullptr;
        return !missing;
    });
    return missing ? prefix : QString();
}

RegistryTree::Key *RegistryTree::createKey(const QString &path)
{
    if (depthOf(path) > MaxDepth)
        return nullptr;
    Key *key = m_top.get();
    bool any = false;
    forEachName(path, [&](QStringView name) {
        any = true;
        Key *child = key->subKey(name);
        key = child ? child : &key->add(name);
        return true;
    });
    return any ? key : nullptr;
}

RegistryTree::Key &RegistryTree::createSubKey(Key &parent, QStringView name)
{
    Key *child = parent.subKey(name);
    return child ? *child : parent.add(name);
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
    const qsizetype slot = key.valueSlot(foldedName);
    if (slot >= 0) {
        key.entries[size_t(slot)]->value = value;
        return;
    }
    key.entries.push_back(RegNamedValue{name, value});
    if (QHash<QString, qsizetype> *index = key.valueIndex())
        index->insert(foldedName, qsizetype(key.entries.size() - 1));
    else if (key.entries.size() > Key::IndexFrom)
        key.reindexValues();
}

void RegistryTree::removeValue(const QString &path, const QString &name)
{
    if (Key *key = const_cast<Key *>(find(path)))
        removeValue(*key, name);
}

void RegistryTree::removeValue(Key &key, const QString &name)
{
    const QString foldedName = name.toCaseFolded();
    const qsizetype slot = key.valueSlot(foldedName);
    if (slot < 0)
        return;
    key.entries[size_t(slot)].reset();
    QHash<QString, qsizetype> *index = key.valueIndex();
    if (index)
        index->remove(foldedName);
    if (index && key.entries.size() > 16 && qsizetype(key.entries.size()) > 2 * index->size())
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
        parent->remove(last.toCaseFolded());
}

void RegistryTree::forEachKey(const KeyVisitor &visit) const
{
    // One path buffer grows and shrinks with the walk, so deep keys cost no copies.
    // Depth is bounded by MaxDepth, so recursion is safe.
    QString path;
    std::vector<const RegNamedValue *> values;
    const auto walk = [&](const auto &self, Key &key) -> void {
        const qsizetype length = path.size();
        if (length > 0)
            path += kSeparator;
        path += key.name;
        values.clear();
        for (const std::optional<RegNamedValue> &slot : key.entries) {
            if (slot)
                values.push_back(&*slot);
        }
        visit(path, values, key.childCount() > 0);
        for (const std::unique_ptr<Key> &child : key.sortedChildren())
            self(self, *child);
        path.truncate(length);
    };
    for (const std::unique_ptr<Key> &root : m_top->sortedChildren())
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
