#include "platform/Registry.h"

#include "platform/ErrorState.h"
#include "platform/RegFileFormat.h"
#include "platform/RegistryTree.h"
#include "platform/Singleton.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <sys/stat.h>

namespace {

// Identifies one version of the file. The inode is part of it because every write
// replaces the file, so two writes within the clock's resolution still differ.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    bool operator==(const FileStamp &) const = default;
};

FileStamp stampOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            quint64(info.st_ino), quint64(info.st_dev)};
}

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
    return sub.isEmpty() ? rootName(root) : rootName(root) + QLatin1Char('\\') + sub;
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

} // namespace

struct Registry::State
{
    QString path;
    RegistryTree tree;
    bool loaded = false;
    FileStamp stamp; // of the file the tree was read from or written to
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
    QFile file(m_state->path);
    if (!file.open(QIODevice::ReadOnly))
        raiseError(ErrorNumber::PathFileAccessError);
    const QString text = RegFileFormat::decode(file.readAll());
    RegistryTree tree;
    // A file that is there but is no registry script is not ours to overwrite.
    if (!text.trimmed().isEmpty() && !RegFileFormat::apply(text, tree))
        raiseError(ErrorNumber::PathFileAccessError);
    m_state->tree = std::move(tree);
    m_state->stamp = stamp;
    m_state->loaded = true;
}

void Registry::seed() const
{
    const QString shellFolders = QStringLiteral(
        "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    const QString explorerMain = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main");
    RegistryTree tree;
    tree.setValue(shellFolders, QStringLiteral("Desktop"),
                  stringValue(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)));
    tree.setValue(shellFolders, QStringLiteral("Personal"), stringValue(personalFolder()));
    tree.setValue(shellFolders, QStringLiteral("Favorites"), stringValue(QDir::homePath() + QStringLiteral("/Favorites")));
    tree.setValue(shellFolders, QStringLiteral("Cache"),
                  stringValue(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                              + QStringLiteral("/Vorlan")));
    for (const char *page : {"Start Page", "Search Page", "Local Page"})
        tree.setValue(explorerMain, QLatin1String(page), stringValue(QStringLiteral("about:blank")));
    for (const char *option : {"Disable Script Debugger", "Display Inline Images", "Display Inline Videos",
                               "Play_Animations", "Play_Background_Sounds"})
        tree.setValue(explorerMain, QLatin1String(option), stringValue(QStringLiteral("yes")));
    m_state->tree = std::move(tree);
    m_state->loaded = true;
    // The seeds serve this run even when they cannot be stored yet; the next
    // successful write stores them with it. A read must not leave an error behind.
    try {
        write(m_state->tree);
    } catch (const RuntimeError &) {
    }
    m_state->stamp = stampOf(m_state->path);
}

void Registry::write(const RegistryTree &tree) const
{
    QDir().mkpath(QFileInfo(m_state->path).path());
    QSaveFile file(m_state->path);
    file.setDirectWriteFallback(false);
    const QByteArray text = RegFileFormat::serialize(tree);
    // Unbuffered, so that a full disk shows in the write itself: a buffered save
    // file commits even when its final flush failed, leaving a truncated file.
    // Without a commit the save file removes its temporary copy.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(text) != text.size() || !file.commit())
        raiseError(ErrorNumber::PathFileAccessError);
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
    change([&](RegistryTree &tree) { tree.setValue(path, name, value); });
}

void Registry::createKey(RegRoot root, const QString &subKey)
{
    const QString path = keyPath(root, subKey);
    change([&](RegistryTree &tree) { tree.createKey(path); });
}

void Registry::importFile(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        raiseError(ErrorNumber::FileNotFound);
    if (!file.open(QIODevice::ReadOnly))
        raiseError(ErrorNumber::PathFileAccessError);
    const QString text = RegFileFormat::decode(file.readAll());
    change([&](RegistryTree &tree) {
        if (!RegFileFormat::apply(text, tree))
            raiseError(ErrorNumber::IllegalCall);
    });
}
