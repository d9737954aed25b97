#include "app/frmMain.h"

#include "app/folders/FileMenuRules.h"
#include "app/ToolbarRules.h"
#include "browser/frmWeb.h"
#include "core/ErrorLog.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "files/DeleteFileAsk.h"
#include "files/FileCommands.h"
#include "files/FileEvents.h"
#include "files/FolderTreeClick.h"
#include "files/FolderTreeModel.h"
#include "files/OpenWith.h"
#include "files/frmTextLine.h"
#include "platform/controls/ListView.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/TreeView.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace {

constexpr int QuickItems = 10;
constexpr int OpenWithItems = 15;

QString quickCopyItem(int index)
{
    return QStringLiteral("mnuFileQCopyTo%1").arg(index);
}
QString quickMoveItem(int index)
{
    return QStringLiteral("mnuFileQMoveTo%1").arg(index);
}
QString openWithItem(int index)
{
    return QStringLiteral("mnuFileOpenWithItem%1").arg(index);
}

} // namespace

void frmMain::connectFileMenu()
{
    connect(menu(QStringLiteral("mnuFile")), &QMenu::aboutToShow, this, &frmMain::mnuFile_Click);
    connect(menu(QStringLiteral("mnuFileQCopy")), &QMenu::aboutToShow, this, &frmMain::mnuFileQCopy_Click);
    connect(menu(QStringLiteral("mnuFileQMove")), &QMenu::aboutToShow, this, &frmMain::mnuFileQMove_Click);
    connect(menu(QStringLiteral("mnuOpenwith")), &QMenu::aboutToShow, this, &frmMain::mnuOpenwith_Click);
    for (int i = 0; i < QuickItems; ++i) {
        connect(menuItem(quickCopyItem(i)), &QAction::triggered, this, [this, i] { mnuFileQCopyTo_Click(i); });
        connect(menuItem(quickMoveItem(i)), &QAction::triggered, this, [this, i] { mnuFileQMoveTo_Click(i); });
    }
    for (int i = 1; i <= OpenWithItems; ++i)
        connect(menuItem(openWithItem(i)), &QAction::triggered, this, [this, i] { mnuFileOpenWithItem_Click(i); });
    const struct { const char *item; void (frmMain::*handler)(); } items[] = {
        {"mnuFileOpenWithAssoc", &frmMain::mnuFileOpenWithAssoc_Click},
        {"mnuFileOpenWithEdit", &frmMain::mnuFileOpenWithEdit_Click},
        {"mnuFileOpenWithPrint", &frmMain::mnuFileOpenWithPrint_Click},
        {"mnuFileQCopySelPaths", &frmMain::mnuFileQCopySelPaths_Click},
        {"mnuQMoveSelectPath", &frmMain::mnuQMoveSelectPath_Click},
        {"mnuFileOpenWithChange", &frmMain::mnuFileOpenWithChange_Click},
        {"mnuFastRename", &frmMain::mnuFastRename_Click},
        {"mnuFileDel", &frmMain::mnuFileDel_Click},
        {"mnuDirNew", &frmMain::mnuDirNew_Click},
    };
    for (const auto &entry : items)
        connect(menuItem(QString::fromLatin1(entry.item)), &QAction::triggered, this, entry.handler);
    connect(&FileEvents::instance(), &FileEvents::fileRemoved, this, &frmMain::fileRemoved);
}

TreeNode frmMain::selectedFileTreeNode() const
{
    TreeNode node;
    runIgnoringErrors([&] { node = trwPath->selectedItem(); });
    return node;
}

void frmMain::mnuFile_Click()
{
    IgnoreErrors ignore;
    std::optional<QString> tag;
    ignore([&] {
        const TreeNode node = selectedFileTreeNode();
        if (!node.isNull())
            tag = node.tag();
    });
    const FileMenuRules::Enabled on = FileMenuRules::fileMenuEnabled(picUn[2] && !picUn[2]->isHidden(), tag);
    const struct { const char *item; bool enabled; } states[] = {
        {"mnuFileQCopyAction", on.quickCopy}, {"mnuFileQMoveAction", on.quickMove},
        {"mnuFastRename", on.rename},         {"mnuOpenwithAction", on.openWith},
        {"mnuFileCopy", on.copy},             {"mnuFileMove", on.move},
        {"mnuFileDel", on.remove},            {"mnuDirNew", on.newFolder},
    };
    for (const auto &state : states)
        ignore([&] { menuItem(QString::fromLatin1(state.item))->setEnabled(state.enabled); });
}

void frmMain::captionQuickItems(const QString &section, QString (*itemName)(int))
{
    IgnoreErrors ignore;
    std::vector<ToolbarRules::DropDownEntry> entries;
    ignore([&] { entries = ToolbarRules::quickEntries(PresetList::read(section)); });
    for (int i = 0; i < QuickItems && i < int(entries.size()); ++i) {
        ignore([&] {
            QAction *item = menuItem(itemName(i));
            item->setText(entries[i].text);
            item->setEnabled(entries[i].enabled);
        });
    }
}

void frmMain::mnuFileQCopy_Click()
{
    captionQuickItems(PresetSections::QCopy, quickCopyItem);
}

void frmMain::mnuFileQMove_Click()
{
    captionQuickItems(PresetSections::QMove, quickMoveItem);
}

void frmMain::mnuOpenwith_Click()
{
    IgnoreErrors ignore;
    std::vector<ToolbarRules::DropDownEntry> entries;
    ignore([&] { entries = ToolbarRules::openWithEntries(PresetList::read(PresetSections::OpenWith)); });
    for (int i = 1; i <= OpenWithItems && i <= int(entries.size()); ++i) {
        ignore([&] {
            QAction *item = menuItem(openWithItem(i));
            item->setText(entries[i - 1].text);
            item->setEnabled(entries[i - 1].enabled);
        });
    }
}

void frmMain::mnuFileQCopyTo_Click(int Index)
{
    const QString key = selectedFileKey();
    if (!key.isEmpty())
        CopyFileUI(trwPath, key, Index + 1, QString());
}

void frmMain::mnuFileQMoveTo_Click(int Index)
{
    const QString key = selectedFileKey();
    if (!key.isEmpty())
        MoveFileUI(trwPath, key, Index + 1, QString());
}

void frmMain::openWithVerb(const QString &verb)
{
    const TreeNode node = selectedFileTreeNode();
    QString key;
    runIgnoringErrors([&] { key = node.key(); });
    if (!node.isNull() && FileExists(key))
        runIgnoringErrors([&] { OpenWithProgram(trwPath, key, QString(), verb, QString(), QString(), 0); });
}

void frmMain::mnuFileOpenWithAssoc_Click()
{
    openWithVerb(QStringLiteral("Open"));
}

void frmMain::mnuFileOpenWithEdit_Click()
{
    openWithVerb(QStringLiteral("Edit"));
}

void frmMain::mnuFileOpenWithPrint_Click()
{
    openWithVerb(QStringLiteral("Print"));
}

void frmMain::mnuFileOpenWithItem_Click(int Index)
{
    const TreeNode node = selectedFileTreeNode();
    QString key;
    runIgnoringErrors([&] { key = node.key(); });
    if (!node.isNull())
        runIgnoringErrors([&] { OpenWithProgram(trwPath, key, QString(), QString(), QString(), QString(), Index); });
}

void frmMain::mnuFileQCopySelPaths_Click()
{
    ShowOptionsPage(3);
}

void frmMain::mnuQMoveSelectPath_Click()
{
    ShowOptionsPage(4);
}

void frmMain::mnuFileOpenWithChange_Click()
{
    ShowOptionsPage(11);
}

void frmMain::mnuFastRename_Click()
{
    IgnoreErrors ignore;
    QString key;
    ignore([&] {
        key = selectedFileTreeNode().key();
        trwPath->startLabelEdit();
    });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuFastRename_Click"), key);
}

void frmMain::mnuFileDel_Click()
{
    const TreeNode node = selectedFileTreeNode();
    QString tag;
    QString key;
    runIgnoringErrors([&] {
        tag = node.tag();
        key = node.key();
    });
    if (node.isNull())
        return;
    if (tag == FolderTree::TagFile) {
        DeleteFileAsk(trwPath, key, false);
        showSelectedFile();
    } else if (tag == FolderTree::TagStoredFile) {
        DeleteFileAsk(trwPath, key, true);
    }
}

void frmMain::mnuDirNew_Click()
{
    if (!picUn[2] || picUn[2]->isHidden())
        return;
    IgnoreErrors ignore;
    const TreeNode node = selectedFileTreeNode();
    std::optional<QString> parent;
    ignore([&] { parent = FileMenuRules::newFolderParent(node.tag(), node.key()); });
    if (!parent)
        return;
    const QString folder = *parent;
    frmTextLine dialog(this);
    dialog.setWindowTitle(QStringLiteral("Nová složka"));
    const QString prompt = QStringLiteral("Nová složka v ") + folder;
    dialog.lblLabel->setText(prompt);
    dialog.lblLabel->setToolTip(prompt);
    dialog.txtText->setText(QStringLiteral("Nová složka"));
    SharedState &s = shared();
    s.DialogOperation = 2;
    s.DialogPath = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    ignore([&] { dialog.showModal(this); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuDirNew_Click"), folder);
}

// The show-after rule: after a move or a delete the browser shows the file the tree
// selects now.
void frmMain::showSelectedFile()
{
    const SharedState &s = shared();
    runIgnoringErrors([&] {
        const TreeNode node = trwPath->selectedItem();
        if (!node.isNull() && FileMenuRules::showAfter(node.tag(), s.NavOnSelect, s.NavFiles, s.WindowCount))
            requireActiveForm()->Web->Navigate(nodeAddress(node.tag(), node.key()));
    });
}

void frmMain::fileRemoved(const QString &path)
{
    runIgnoringErrors([&] { trwPath->remove(path); });
    runIgnoringErrors([&] { lstResults->remove(path); });
}
