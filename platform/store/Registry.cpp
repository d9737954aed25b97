#include "platform/store/Registry.h"

#include "platform/system/ErrorState.h"
#include "platform/store/RegFileFormat.h"
#include "platform/store/RegistryKeys.h"
#include "platform/store/RegistryTree.h"
#include "platform/system/Singleton.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace {

QString rootName(RegRoot root)
{
    switch (root) {
    case RegRoot::CurrentUser: return QStringLiteral("HKEY_CURRENT_USER");
    case RegRoot::LocalMachine: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case RegRoot::Users: return QStringLiteral("HKEY_USERS");
    }
    return QStringLiteral("HKEY_CURRENT_USER");
}

// Names go into a line-based file; the real registry has no use for these either.
void checkName(const QString &name)
{
    if (name.contains(QChar(0)) || name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r')))
        raiseError(ErrorNumber::IllegalCall);
}

QString keyPath(RegRoot root, const QString &subKey)
{
    checkName(subKey);
    const QString sub = RegistryTree::normalizedPath(subKey);
    const QString path = sub.isEmpty() ? rootName(root) : rootName(root) + QLatin1Char('\\') + sub;
    if (RegistryTree::depthOf(path) > RegistryTree::MaxDepth)
        raiseError(ErrorNumber::IllegalCall);
    return path;
}

RegValue stringValue(const QString &text)
{
    return {RegType::String, text.toUtf8() + '\0'};
}

QString personalFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// The values a new registry starts with, and which a file that lacks them gets back.
std::vector<std::tuple<QString, QString, RegValue>> seedValues()
{
    const QString shellFolders = keyPath(HKEY_CURRENT_USER, RegKeys::ShellFolders);
    const QString explorerMain = keyPath(HKEY_CURRENT_USER, RegKeys::ExplorerMain);
    std::vector<std::tuple<QString, QString, RegValue>> seeds = {
        {shellFolders, QStringLiteral("Desktop"),
         stringValue(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation))},
        {shellFolders, QStringLiteral("Personal"), stringValue(personalFolder())},
        {shellFolders, QStringLiteral("Favorites"), stringValue(QDir::homePath() + QStringLiteral("/Favorites"))},
        {shellFolders, QStringLiteral("Cache"),
         stringValue(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Vorlan"))},
    };
    for (const char *page : {"Start Page", "Search Page", "Local Page"})
        seeds.emplace_back(explorerMain, QLatin1String(page), stringValue(QStringLiteral("about:blank")));
    for (const char *option : {"Disable Script Debugger", "Display Inline Images", "Display Inline Videos",
                               "Play_Animations", "Play_Background_Sounds"})
        seeds.emplace_back(explorerMain, QLatin1String(option), stringValue(QStringLiteral("yes")));
    return seeds;
}

// Returns true when a seed was missing.
bool addMissingSeeds(RegistryTree &tree)
{
    bool added = false;
    for (const auto &[key, name, value] : seedValues()) {
        if (!tree.value(key, name)) {
            tree.setValue(key, name, value);
            added = true;
        }
    }
    return added;
}

// "1 řádek", "3 řádky", "12 řádků".
QString lineCount(qsizetype count)
{
    const char *word = count == 1 ? "řádek" : count >= 2 && count <= 4 ? "řádky" : "řádků";
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(word));
}

} // namespace

struct Registry::State
{
    QString path;
    RegistryTree tree;
    bool loaded = false;
    FileStamp stamp; // of the file the tree was read from or written to
    // An unusable file that could not be moved aside: nothing may replace it.
    int blockedBy = 0;
    std::optional<FileProblem> unusable;
    std::optional<FileProblem> unsaved;
};

Registry &Registry::instance()
{
    return Singleton<Registry>::instance();
}

void Registry::resetInstance()
{
    Singleton<Registry>::reset();
}

Registry::Registry()
    : m_state(std::make_unique<State>())
{
    m_state->path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Vorlan/windows/registry.reg");
    removeInterruptedSaves(QFileInfo(m_state->path).path(), QStringLiteral("*.reg"));
}

Registry::~Registry() = default;

QString Registry::filePath() const
{
    return m_state->path;
}

const RegistryTree &Registry::current() const
{
    const FileStamp now = stampOf(m_state->path);
    if (m_state->loaded && now == m_state->stamp)
        return m_state->tree;
    if (now.exists)
        load();
    else
        seed();
    return m_state->tree;
}

void Registry::load() const
{
    // Stamp first: a change made while reading shows up as a new stamp next time.
    const FileStamp stamp = stampOf(m_state->path);
    QString reason;
    int systemError = 0;
    std::optional<QByteArray> bytes = readWholeFile(m_state->path, MaxFileSize, reason, systemError);
    if (!bytes && systemError == ENOENT) {
        seed();
        return;
    }
    RegistryTree tree;
    qsizetype skipped = 0;
    if (!bytes || !RegFileFormat::applyBytes(*bytes, tree, &reason, &skipped)) {
        setAside(reason);
        return;
    }
    const bool completed = addMissingSeeds(tree);
    m_state->tree = std::move(tree);
    m_state->stamp = stamp;
    m_state->loaded = true;
    m_state->blockedBy = 0;
    // The next save writes only what could be read: the lines that could not are
    // kept in a copy first, and the user is told once. Without a copy nothing is saved.
    if (skipped > 0) {
        const QString copy = keepCopy(m_state->path, *bytes);
        if (copy.isEmpty())
            m_state->blockedBy = errno != 0 ? errno : EIO;
        m_state->unusable = FileProblem{m_state->path, lineCount(skipped), copy, true};
    }
    bytes.reset();
    if (completed) {
        // A read must not leave an error behind; a later write stores the seeds too.
        try {
            write(m_state->tree);
            m_state->stamp = stampOf(m_state->path);
        } catch (const RuntimeError &) {
        }
    }
}

void Registry::seed() const
{
    RegistryTree tree;
    addMissingSeeds(tree);
    m_state->tree = std::move(tree);
    m_state->loaded = true;
    m_state->blockedBy = 0;
    // The seeds serve this run even when they cannot be stored yet; the next
    // successful write stores them with it. A read must not leave an error behind.
    try {
        write(m_state->tree);
    } catch (const RuntimeError &) {
    }
    m_state->stamp = stampOf(m_state->path);
}

void Registry::setAside(const QString &reason) const
{
    const QString keptAs = moveAside(m_state->path);
    const int moveError = errno;
    m_state->unusable = FileProblem{m_state->path, reason, keptAs};
    if (!keptAs.isEmpty()) {
        seed();
        return;
    }
    RegistryTree tree;
    addMissingSeeds(tree);
    m_state->tree = std::move(tree);
    m_state->loaded = true;
    m_state->stamp = stampOf(m_state->path);
    m_state->blockedBy = moveError != 0 ? moveError : EIO;
}

std::optional<FileProblem> Registry::takeUnusableFile()
{
    current();
    return std::exchange(m_state->unusable, std::nullopt);
}

std::optional<FileProblem> Registry::unsavedChanges() const
{
    return m_state->unsaved;
}

void Registry::write(const RegistryTree &tree) const
{
    try {
        if (m_state->blockedBy != 0)
            raiseSystemError(ErrorNumber::PathFileAccessError, m_state->blockedBy, m_state->path);
        QDir().mkpath(QFileInfo(m_state->path).path());
        writeFileAtomically(m_state->path, RegFileFormat::serialize(tree));
        m_state->unsaved.reset();
    } catch (const RuntimeError &error) {
        m_state->unsaved = FileProblem{m_state->path, systemErrorText(error.systemError()), {}};
        throw;
    }
}

void Registry::change(const std::function<void(RegistryTree &)> &edit)
{
    RegistryTree next = current();
    edit(next);
    write(next);
    m_state->tree = std::move(next);
    m_state->stamp = stampOf(m_state->path);
}

bool Registry::keyExists(RegRoot root, const QString &subKey) const
{
    const QString path = keyPath(root, subKey);
    return path == rootName(root) || current().hasKey(path);
}

std::optional<RegValue> Registry::value(RegRoot root, const QString &subKey, const QString &name) const
{
    const RegValue *found = current().value(keyPath(root, subKey), name);
    if (!found)
        return std::nullopt;
    return *found;
}

QStringList Registry::valueNames(RegRoot root, const QString &subKey) const
{
    return current().valueNames(keyPath(root, subKey));
}

void Registry::setValue(RegRoot root, const QString &subKey, const QString &name, const RegValue &value)
{
    const QString path = keyPath(root, subKey);
    checkName(name);
    current();
    RegistryTree &tree = m_state->tree;
    const RegValue *stored = tree.value(path, name);
    const std::optional<RegValue> previous = stored ? std::optional<RegValue>(*stored) : std::nullopt;
    const QString created = tree.firstMissingKey(path);
    tree.setValue(path, name, value);
    store([&] {
        if (!created.isEmpty())
            tree.removeKey(created);
        else if (previous)
            tree.setValue(path, name, *previous);
        else
            tree.removeValue(path, name);
    });
}

void Registry::createKey(RegRoot root, const QString &subKey)
{
    const QString path = keyPath(root, subKey);
    current();
    RegistryTree &tree = m_state->tree;
    const QString created = tree.firstMissingKey(path);
    tree.createKey(path);
    store([&] {
        if (!created.isEmpty())
            tree.removeKey(created);
    });
}

void Registry::store(const std::function<void()> &undo)
{
    try {
        write(m_state->tree);
    } catch (...) {
        undo();
        throw;
    }
    m_state->stamp = stampOf(m_state->path);
}

void Registry::importFile(const QString &path)
{
    QString reason;
    int systemError = 0;
    const std::optional<QByteArray> bytes = readWholeFile(path, MaxFileSize, reason, systemError);
    if (!bytes && systemError == ENOENT)
        raiseError(ErrorNumber::FileNotFound);
    if (!bytes && systemError != EFBIG)
        raiseSystemError(ErrorNumber::PathFileAccessError, systemError, path);
    change([&](RegistryTree &tree) {
        if (!bytes || !RegFileFormat::applyBytes(*bytes, tree, &reason))
            raiseError(ErrorNumber::IllegalCall, QStringLiteral("Soubor %1 nelze načíst: %2").arg(path, reason));
    });
}
