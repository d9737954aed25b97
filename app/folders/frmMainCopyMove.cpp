#include "app/frmMain.h"

#include "browser/frmWeb.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "files/FileCommands.h"
#include "files/FileEvents.h"
#include "files/FolderTreeClick.h"
#include "files/FolderTreeModel.h"
#include "files/frmSelectDir.h"
#include "options/frmOptions.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/ListItem.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"

#include <QAction>

void frmMain::connectCopyMove()
{
    connect(menuItem(QStringLiteral("mnuFileCopy")), &QAction::triggered, this, &frmMain::mnuFileCopy_Click);
    connect(menuItem(QStringLiteral("mnuFileMove")), &QAction::triggered, this, &frmMain::mnuFileMove_Click);
    connect(&FileEvents::instance(), &FileEvents::moveEnded, this, &frmMain::fileMoveEnded);
    connect(&FileEvents::instance(), &FileEvents::dialogClosed, this,
            [this] { runIgnoringErrors([this] { picMain->setFocus(); }); });
}

QWidget *frmMain::dialogOwner()
{
    return this;
}

ImageList *frmMain::treeImages()
{
    return imlNIcons;
}

void frmMain::applyOptions()
{
    frmOptions *options = Forms::get<frmOptions>();
    // A hidden dialog may still hold edits its Cancel threw away.
    if (!options->isVisible())
        options->LoadValues();
    options->ApplyChanges();
}

void frmMain::chooseFolder(const QString &settingKey, QWidget *owner)
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    s.SelectDirMode = 6;
    s.SelectDirKey = settingKey;
    frmSelectDir *dialog = nullptr;
    ignore([&] { dialog = Forms::get<frmSelectDir>(); });
    if (dialog)
        ignore([&] { dialog->showModal(owner ? owner : this); });
}

// The selected file node's key; empty when the selection is no file.
QString frmMain::selectedFileKey() const
{
    QString key;
    runIgnoringErrors([&] {
        const TreeNode node = trwPath->selectedItem();
        if (node.tag() == FolderTree::TagFile)
            key = node.key();
    });
    return key;
}

void frmMain::mnuFileCopy_Click()
{
    const QString key = selectedFileKey();
    if (!key.isEmpty())
        CopyFileUI(trwPath, key, 0, QString());
}

void frmMain::mnuFileMove_Click()
{
    const QString key = selectedFileKey();
    if (!key.isEmpty())
        MoveFileUI(trwPath, key, 0, QString());
}

// After a move: what no longer exists leaves the tree and the results, and the
// browser shows the file the tree selects now.
void frmMain::fileMoveEnded()
{
    IgnoreErrors ignore;
    ignore([this] {
        const TreeNode node = trwPath->selectedItem();
        if (!FileExists(node.key()))
            node.remove();
    });
    ignore([this] {
        const ListItem item = lstResults->selectedItem();
        if (!FileExists(item.key()))
            lstResults->remove(item.key());
    });
    showSelectedFile();
}
