#include "app/frmMain.h"

#include "app/Icons.h"
#include "app/panel/frmPM.h"
#include "browser/frmWeb.h"
#include "core/FileSettings.h"
#include "core/OptionsSettings.h"
#include "core/PathServices.h"
#include "core/RegistryServices.h"
#include "core/SharedState.h"
#include "files/FolderTreeClick.h"
#include "files/FolderTreeLoader.h"
#include "files/FolderTreeModel.h"
#include "files/FolderTreePrune.h"
#include "files/FolderTreeRename.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TreeView.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"

namespace {

// The button as the tree's handlers count it: 1 left, 2 right, 4 middle.
int buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

bool readFlag(const Setting &setting)
{
    bool value = setting.defaultValue.toBool();
    runIgnoringErrors([&] { value = setting.toBool(); });
    return value;
}

// The file list's pattern follows the setting before every listing.
const QString &readFilesPattern()
{
    SharedState &s = shared();
    s.FilesPattern = FileSettings::Pattern.defaultValue.toString();
    runIgnoringErrors([&s] { s.FilesPattern = FileSettings::Pattern.text(); });
    return s.FilesPattern;
}

QString storePath()
{
    return shared().AppDir + QStringLiteral("deleted");
}

} // namespace

void frmMain::connectFileTree()
{
    imlNIcons = new ImageList(this);
    imlNIcons->setObjectName(QStringLiteral("imlNIcons"));
    Icons::fill(imlNIcons, FolderTree::imageKeys());
    trwPath->setImageList(imlNIcons);
    trwPath->setLabelEditByClick(true);
    m_fileTreeLoader = std::make_shared<FolderTreeLoader>(*trwPath);

    connect(trwPath, &TreeView::expanded, this, &frmMain::trwPath_Expand);
    connect(trwPath, &TreeView::collapsed, this, &frmMain::trwPath_Collapse);
    connect(trwPath, &TreeView::nodeClicked, this, &frmMain::trwPath_NodeClick);
    connect(trwPath, &TreeView::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &) { trwPath_MouseDown(button); });
    connect(trwPath, &TreeView::mouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &) { trwPath_MouseUp(button); });
    connect(trwPath, &TreeView::keyUp, this, &frmMain::trwPath_KeyUp);
    connect(trwPath, &TreeView::beforeLabelEdit, this, [this](const TreeNode &, bool *cancel) { trwPath_BeforeLabelEdit(cancel); });
    connect(trwPath, &TreeView::afterLabelEdit, this, &frmMain::trwPath_AfterLabelEdit);
    connect(trwPath, &TreeView::gotFocus, this, &frmMain::trwPath_GotFocus);
    connect(sbFileBar, &StatusBar::panelClicked, this, [this](const QString &key, int) { sbFileBar_PanelClick(key); });
}

void frmMain::LoadFileTree()
{
    SharedState &s = shared();
    // Keys compared against these folders later match the keys of the roots.
    GetFileName(s.DesktopDir);
    GetFileName(s.PersonalDir);
    FolderTreeLoader::Roots roots;
    roots.desktop = s.DesktopDir;
    roots.personal = s.PersonalDir;
    roots.cache = RegGetString(HKEY_CURRENT_USER, RegKeys::ShellFolders, QStringLiteral("Cache"), QString());
    roots.store = storePath();
    m_fileTreeLoader->loadFileTree(roots);
    s.NavFiles = readFlag(OptionsSettings::NavFiles);
    s.NavDirs = readFlag(OptionsSettings::NavDirs);
    s.NavDrives = readFlag(OptionsSettings::NavDrives);
    s.FileTreeLoaded = true;
}

void frmMain::addStoreNode()
{
    // Before the folder tree is built the node would become its first root, above
    // the tree's own roots; building the tree adds it in its place.
    if (!shared().FileTreeLoaded)
        return;
    m_fileTreeLoader->addStoreNode(storePath());
}

void frmMain::LoadDirs(const QString &path)
{
    m_fileTreeLoader->loadDirs(path);
}

void frmMain::LoadFiles(const QString &path)
{
    m_fileTreeLoader->loadFiles(path, readFilesPattern());
}

void frmMain::LoadDelFiles()
{
    m_fileTreeLoader->loadDelFiles(storePath());
}

void frmMain::trwPath_Expand(const TreeNode &Node)
{
    m_fileTreeLoader->expand(Node, readFilesPattern(), storePath());
}

void frmMain::trwPath_Collapse(const TreeNode &Node)
{
    m_fileTreeLoader->collapse(Node);
}

void frmMain::trwPath_NodeClick(const TreeNode &Node)
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    ignore([&] {
        s.LastNodeKey = Node.key();
        s.LastNodeTag = Node.tag();
    });
    const QString key = s.LastNodeKey;
    const QString tag = s.LastNodeTag;
    const NodeClickAction action =
            nodeClickAction(tag, {s.NavOnSelect, s.TreeMouseButton, s.NavFiles, s.NavDirs, s.NavDrives, s.WindowCount});
    if (action.navigate)
        ignore([&] { requireActiveForm()->Web->Navigate(nodeAddress(tag, key)); });
    if (action.load == TreeLoad::Folder) {
        ignore([&] { LoadDirs(key); });
        ignore([&] { LoadFiles(key); });
    } else if (action.load == TreeLoad::Store) {
        ignore([&] { LoadDelFiles(); });
    }
}

void frmMain::trwPath_MouseDown(Qt::MouseButton Button)
{
    SharedState &s = shared();
    s.SavedNavOnSelect = s.NavOnSelect;
    s.TreeMouseButton = buttonNumber(Button);
    s.NavOnSelect = true;
}

void frmMain::trwPath_MouseUp(Qt::MouseButton Button)
{
    SharedState &s = shared();
    s.NavOnSelect = s.SavedNavOnSelect;
    s.TreeMouseButton = 0;
    if (Button == Qt::RightButton)
        ShowFilesMenu();
}

void frmMain::trwPath_KeyUp()
{
    shared().ShiftLatch = false;
}

void frmMain::sbFileBar_PanelClick(const QString &panelKey)
{
    if (panelKey != QLatin1String("nav"))
        return;
    SharedState &s = shared();
    s.NavOnSelect = !s.NavOnSelect;
    runIgnoringErrors([this, &s] {
        sbFileBar->panel(QStringLiteral("nav"))
                .setPicture(s.NavOnSelect ? Forms::get<frmPM>()->imlMenu->icon(QStringLiteral("tick")) : QIcon());
    });
}

void frmMain::trwPath_BeforeLabelEdit(bool *Cancel)
{
    QString tag;
    runIgnoringErrors([&] { tag = trwPath->selectedItem().tag(); });
    if (!labelEditAllowed(tag))
        *Cancel = true;
}

void frmMain::trwPath_AfterLabelEdit(const TreeNode &Node, bool *Cancel, QString *NewString)
{
    QString oldKey;
    runIgnoringErrors([&] { oldKey = Node.key(); });
    const QString failure = renameFromLabel(Node, *NewString);
    if (failure.isEmpty()) {
        // The remembered node is the same node under its new key, so that Right
        // reloads it.
        SharedState &s = shared();
        if (s.LastNodeKey == oldKey)
            runIgnoringErrors([&] { s.LastNodeKey = Node.key(); });
        return;
    }
    MsgBox(failure, MsgBoxStyle::Critical, {}, this);
    *Cancel = true;
}

void frmMain::trwPath_GotFocus()
{
    runIgnoringErrors([this] { pruneFolderTree(); });
}

void frmMain::pruneFolderTree()
{
    ListedPaths paths;
    ::pruneFolderTree(*trwPath, [&paths](const QString &path) { return paths.exists(path); });
}
