#include "files/ChooseFolderTree.h"

#include "core/PathServices.h"
#include "files/FolderTreeClick.h"
#include "files/FolderTreeModel.h"
#include "files/FolderTreeRename.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/TreeView.h"
#include "platform/files/FileNames.h"
#include "platform/system/ErrorState.h"

using namespace FolderTree;

namespace {

const QString MyComputer = QStringLiteral("$tc");

} // namespace

ChooseFolderTree::ChooseFolderTree(TreeView &tree, Purpose purpose, FolderTreeLoader::VolumeSource volumes)
    : m_tree(tree)
    , m_purpose(purpose)
    , m_volumes(volumes ? std::move(volumes) : FolderTreeLoader::VolumeSource([] { return VolumeTable::fromSystem(); }))
    , m_loader(tree, m_volumes)
{
    connect(&tree, &TreeView::expanded, this, &ChooseFolderTree::expand);
    connect(&tree, &TreeView::collapsed, this, &ChooseFolderTree::collapse);
    connect(&tree, &TreeView::nodeClicked, this, &ChooseFolderTree::nodeClick);
    connect(&tree, &TreeView::keyDown, this,
            [this](int key, Qt::KeyboardModifiers, bool *consumed) { keyDown(key, consumed); });
    connect(&tree, &TreeView::beforeLabelEdit, this, [this](const TreeNode &, bool *cancel) { beforeLabelEdit(cancel); });
    connect(&tree, &TreeView::afterLabelEdit, this, &ChooseFolderTree::afterLabelEdit);
}

QString ChooseFolderTree::chosenFolder(const QString &key)
{
    return key.endsWith(QLatin1Char('/')) ? key : key + QLatin1Char('/');
}

void ChooseFolderTree::loadRoots(const Roots &roots)
{
    IgnoreErrors ignore;
    const auto addRoot = [&](QString key, const QString &text, const QString &image, const QString &tag,
                             bool placeholder) {
        ignore([&] { m_tree.addRoot(key, text, image); });
        ignore([&] { m_tree.node(key).setTag(tag); });
        if (placeholder)
            ignore([&] { m_tree.add(key, TreeRelation::LastChild, QString(), QString()); });
    };
    QString desktop = roots.desktop, personal = roots.personal;
    addRoot(roots.desktop, shownFileName(GetFileName(desktop)), QStringLiteral("plocha"), TagDir, true);
    addRoot(roots.personal, shownFileName(GetFileName(personal)), QStringLiteral("documents"), TagDir, true);
    addRoot(MyComputer, QStringLiteral("Tento počítač"), QStringLiteral("tc"), MyComputer, false);
    const VolumeTable volumes = m_volumes();
    for (const Volume &volume : volumes.volumes()) {
        if (m_purpose == Purpose::CopyMove && (volume.kind == QLatin1String("cdrom") || volume.kind == QLatin1String("ram")))
            continue;
        // A kind without an image adds no node; the steps after it fail as well.
        ignore([&] {
            m_tree.add(MyComputer, TreeRelation::LastChild, volume.mountPath,
                       volumeText(volume.kind, volume.label, volume.device, volume.mountPath), volume.kind);
        });
        ignore([&] { m_tree.node(volume.mountPath).setTag(volume.kind); });
        ignore([&] { m_tree.add(volume.mountPath, TreeRelation::LastChild, QString(), QString()); });
    }
    if (m_purpose == Purpose::Choose) {
        addRoot(roots.cache, QStringLiteral("Temporary Internet Files"), QStringLiteral("historyfolder"), TagDir, false);
        if (roots.showStore)
            addRoot(roots.store, QStringLiteral("Smazané soubory"), QStringLiteral("recycle"), TagStore, false);
    }
    ignore([&] { m_tree.node(MyComputer).child().ensureVisible(); });
}

void ChooseFolderTree::loadDirs(const QString &path)
{
    m_loader.loadDirs(path);
}

void ChooseFolderTree::preselect(const QString &key)
{
    runIgnoringErrors([&] {
        const TreeNode node = m_tree.node(key);
        node.select();
        m_lastNodeKey = node.key();
        m_lastNodeTag = node.tag();
    });
}

// Folders only: no file matches the empty pattern, and no store is read.
void ChooseFolderTree::expand(const TreeNode &node)
{
    m_loader.expand(node, QString(), QString());
}

void ChooseFolderTree::collapse(const TreeNode &node)
{
    m_loader.collapse(node);
}

void ChooseFolderTree::nodeClick(const TreeNode &node)
{
    runIgnoringErrors([&] {
        m_lastNodeKey = node.key();
        m_lastNodeTag = node.tag();
    });
    const bool qualifies = m_purpose == Purpose::Choose ? m_lastNodeTag != MyComputer : isFolderTag(m_lastNodeTag);
    if (qualifies)
        emit folderChosen(chosenFolder(m_lastNodeKey));
}

void ChooseFolderTree::reloadLast(bool collapseEmpty)
{
    if (!isFolderTag(m_lastNodeTag))
        return;
    IgnoreErrors ignore;
    const TreeNode selected = m_tree.selectedItem();
    ignore([&] { selected.removeChildren(); });
    ignore([&] { loadDirs(m_lastNodeKey); });
    if (collapseEmpty && m_lastNodeTag == TagDir) {
        ignore([&] {
            if (selected.children() == 0 && selected.image() == QLatin1String("open")) {
                selected.setExpanded(false);
                selected.setImage(QStringLiteral("closed"));
            }
        });
    }
}

void ChooseFolderTree::keyDown(int key, bool *consumed)
{
    switch (key) {
    case Qt::Key_F2:
        runIgnoringErrors([&] {
            if (labelEditAllowed(m_tree.selectedItem().tag()))
                m_tree.startLabelEdit();
        });
        *consumed = true;
        break;
    case Qt::Key_Right: reloadLast(true); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: reloadLast(false); break;
    default: break;
    }
}

void ChooseFolderTree::beforeLabelEdit(bool *cancel)
{
    QString tag;
    runIgnoringErrors([&] { tag = m_tree.selectedItem().tag(); });
    if (!labelEditAllowed(tag))
        *cancel = true;
}

void ChooseFolderTree::afterLabelEdit(const TreeNode &node, bool *cancel, QString *newText)
{
    QString oldKey;
    runIgnoringErrors([&] { oldKey = node.key(); });
    const QString failure = renameFromLabel(node, *newText);
    if (failure.isEmpty()) {
        // Right and Enter reload the renamed folder under its new key.
        if (m_lastNodeKey == oldKey)
            runIgnoringErrors([&] { m_lastNodeKey = node.key(); });
        return;
    }
    MsgBox(failure, MsgBoxStyle::Critical, {}, &m_tree);
    *cancel = true;
}
