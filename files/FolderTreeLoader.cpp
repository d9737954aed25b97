#include "files/FolderTreeLoader.h"

#include "core/PathServices.h"
#include "files/DeletedStore.h"
#include "files/FolderTreeModel.h"
#include "platform/controls/TreeView.h"
#include "platform/files/FileNames.h"
#include "platform/files/FileSystem.h"
#include "platform/files/WildcardPattern.h"
#include "platform/system/ErrorState.h"

#include <algorithm>

using namespace FolderTree;

namespace {

QString childPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void sortByName(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

void addPlaceholder(TreeView &tree, const QString &parentKey)
{
    tree.add(parentKey, TreeRelation::LastChild, QString(), QString());
}

} // namespace

FolderTreeLoader::FolderTreeLoader(TreeView &tree, VolumeSource volumes)
    : m_tree(tree)
    , m_volumes(volumes ? std::move(volumes) : VolumeSource([] { return VolumeTable::fromSystem(); }))
{
}

void FolderTreeLoader::loadFileTree(const Roots &roots)
{
    IgnoreErrors ignore;
    const auto addFolderRoot = [&](const QString &key, const QString &text, const char *image) {
        ignore([&] { m_tree.addRoot(key, text, QString::fromLatin1(image)); });
        ignore([&] { m_tree.node(key).setTag(TagDir); });
        ignore([&] { addPlaceholder(m_tree, key); });
    };
    QString desktop = roots.desktop;
    QString personal = roots.personal;
    addFolderRoot(desktop, shownFileName(GetFileName(desktop)), "plocha");
    addFolderRoot(personal, shownFileName(GetFileName(personal)), "documents");

    ignore([&] { m_tree.addRoot(MyComputerKey, QStringLiteral("Tento počítač"), QStringLiteral("tc")); });
    ignore([&] { m_tree.node(MyComputerKey).setTag(TagMyComputer); });
    const VolumeTable volumes = m_volumes();
    for (const Volume &volume : volumes.volumes()) {
        // A kind without an image ("ram", "other") adds no node, so the steps after it fail too.
        ignore([&] {
            m_tree.add(MyComputerKey, TreeRelation::LastChild, volume.mountPath,
                       volumeText(volume.kind, volume.label, volume.device, volume.mountPath), volume.kind);
        });
        ignore([&] { m_tree.node(volume.mountPath).setTag(volume.kind); });
        ignore([&] { addPlaceholder(m_tree, volume.mountPath); });
    }

    QString cache = roots.cache;
    if (cache.size() > 1 && cache.endsWith(QLatin1Char('/')))
        cache.chop(1);
    addFolderRoot(cache, QStringLiteral("Temporary Internet Files"), "historyfolder");

    addStoreNode(roots.store);

    ignore([&] { m_tree.node(MyComputerKey).child().ensureVisible(); });
}

void FolderTreeLoader::addStoreNode(const QString &storePath)
{
    IgnoreErrors ignore;
    bool added = false;
    ignore([&] {
        m_tree.addRoot(storePath, QStringLiteral("Smazané soubory"), QStringLiteral("recycle"));
        added = true;
    });
    ignore([&] { m_tree.node(storePath).setTag(TagStore); });
    // A node already there keeps what it holds: a second placeholder would stand
    // beside the first.
    if (added)
        ignore([&] { addPlaceholder(m_tree, storePath); });
}

bool FolderTreeLoader::volumeReady(const QString &path) const
{
    const VolumeTable volumes = m_volumes();
    const Volume *volume = volumes.volumeOf(path);
    return volume && volume->ready;
}

bool FolderTreeLoader::readFolder(const QString &path, bool store)
{
    m_readPath.clear();
    m_folders.clear();
    m_files.clear();
    if (!path.startsWith(QLatin1Char('/')) || !volumeReady(path))
        return false;
    FolderListing listing;
    FileSystem &files = FileSystem::current();
    if (store) {
        // The store is read only where it is a folder of its own: a link put in its
        // place may lead to someone else's files, which are no stored files.
        OpenFolder opened;
        if (DeletedStore::openStore(path, opened) != 0 || files.list(opened, listing) != 0)
            return false;
    } else if (files.list(path, listing) != 0) {
        return false;
    }
    for (const FolderEntry &entry : listing.entries) {
        if (entry.name.startsWith(QLatin1Char('.')))
            continue;
        bool folder = entry.kind == FileKind::Folder;
        if (entry.kind == FileKind::Link) {
            // A link to a folder is shown as one: opened as the system follows it.
            OpenFolder target;
            folder = files.openFolder(childPath(path, entry.name), target) == 0;
        }
        (folder ? m_folders : m_files).append(entry.name);
    }
    sortByName(m_folders);
    sortByName(m_files);
    m_readPath = path;
    return true;
}

void FolderTreeLoader::loadDirs(const QString &path)
{
    if (!readFolder(path))
        return;
    IgnoreErrors ignore;
    QList<TreeNodeData> added;
    for (const QString &name : std::as_const(m_folders)) {
        const QString key = childPath(path, name);
        if (!m_tree.contains(key)) {
            added.append({key, shownFileName(name), QStringLiteral("closed"), TagDir, true});
            continue;
        }
        // A volume mounted inside this folder stays a volume, under My Computer only.
        ignore([&] {
            const TreeNode node = m_tree.node(key);
            if (isVolumeTag(node.tag()) || node.tag() == TagStore)
                return;
            node.setTag(TagDir);
            if (!node.expanded() && node.children() == 0)
                addPlaceholder(m_tree, key);
        });
    }
    ignore([&] { m_tree.append(path, added); });
}

void FolderTreeLoader::loadFiles(const QString &path, const QString &pattern)
{
    if (m_readPath != path && !readFolder(path))
        return;
    m_readPath.clear();
    const WildcardPattern names(pattern);
    IgnoreErrors ignore;
    QList<TreeNodeData> added;
    for (const QString &name : std::as_const(m_files)) {
        if (!names.matches(name))
            continue;
        const QString key = childPath(path, name);
        if (m_tree.contains(key))
            ignore([&] { m_tree.node(key).setTag(TagFile); });
        else
            added.append({key, shownFileName(name), fileImageKey(name, m_tree.imageList()), TagFile});
    }
    ignore([&] { m_tree.append(path, added); });
}

void FolderTreeLoader::loadDelFiles(const QString &storePath)
{
    if (!readFolder(storePath, true))
        return;
    m_readPath.clear();
    IgnoreErrors ignore;
    QList<TreeNodeData> added;
    for (const QString &name : std::as_const(m_files)) {
        const QString key = childPath(storePath, name);
        if (m_tree.contains(key))
            ignore([&] { m_tree.node(key).setTag(TagStoredFile); });
        else
            added.append({key, shownFileName(storedFileText(name)), fileImageKey(name, m_tree.imageList()), TagStoredFile});
    }
    ignore([&] { m_tree.append(storePath, added); });
}

void FolderTreeLoader::expand(const TreeNode &node, const QString &pattern, const QString &storePath)
{
    IgnoreErrors ignore;
    QString tag, key;
    ignore([&] {
        tag = node.tag();
        key = node.key();
    });
    ignore([&] {
        if (tag == TagDir && node.image() == QLatin1String("closed"))
            node.setImage(QStringLiteral("open"));
    });
    if (isFolderTag(tag)) {
        ignore([&] { node.removeChildren(); });
        ignore([&] { loadDirs(key); });
        ignore([&] { loadFiles(key, pattern); });
    } else if (tag == TagStore) {
        ignore([&] { node.removeChildren(); });
        ignore([&] { loadDelFiles(storePath); });
    }
    ignore([&] {
        if (node.children() > 0)
            return;
        // Shut without the collapse's own work: an empty folder keeps no expander.
        m_collapsingEmpty = true;
        node.setExpanded(false);
        m_collapsingEmpty = false;
        if (tag == TagDir && node.image() == QLatin1String("open"))
            node.setImage(QStringLiteral("closed"));
    });
    m_collapsingEmpty = false;
    ignore([&] {
        if (tag == QLatin1String("netdrive"))
            node.setImage(node.children() == 0 ? QStringLiteral("dscdrive") : QStringLiteral("netdrive"));
    });
    ignore([&] {
        if (tag != QLatin1String("cdrom"))
            return;
        FolderListing tracks;
        const WildcardPattern audio(QStringLiteral("*.cda"));
        const bool isAudio = FileSystem::current().list(key, tracks, &audio) == 0 && !tracks.entries.empty();
        node.setImage(isAudio ? QStringLiteral("audiocd") : QStringLiteral("cdrom"));
        node.setText(cdText(isAudio, key));
    });
}

void FolderTreeLoader::collapse(const TreeNode &node)
{
    if (m_collapsingEmpty)
        return;
    IgnoreErrors ignore;
    QString tag;
    ignore([&] { tag = node.tag(); });
    ignore([&] {
        if (tag == TagDir && node.image() == QLatin1String("open"))
            node.setImage(QStringLiteral("closed"));
    });
    if (isFolderTag(tag) || tag == TagStore) {
        ignore([&] { node.removeChildren(); });
        ignore([&] { m_tree.add(node.key(), TreeRelation::LastChild, QString(), QString()); });
    }
}
