// The folder tree's own keys.
#include "app/frmMain.h"

#include "app/panel/PanelRules.h"
#include "app/panel/frmPM.h"
#include "browser/frmWeb.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "files/FolderTreeClick.h"
#include "files/FolderTreeKeys.h"
#include "files/FolderTreeModel.h"
#include "platform/controls/Forms.h"
#include "platform/controls/KeyClaim.h"
#include "platform/controls/TreeView.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QMenu>

using FolderTreeKeys::Row;

void frmMain::connectFileKeys()
{
    connect(trwPath, &TreeView::keyDown, this, &frmMain::trwPath_KeyDown);
    // F2 and F5 are the menus' shortcuts too; while the tree has the keyboard its own
    // key map has them.
    claimKeys(trwPath, [](int key, Qt::KeyboardModifiers modifiers) {
        return FolderTreeKeys::cleared(FolderTreeKeys::row(key, modifiers));
    });
}

void frmMain::trwPath_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift, bool *consumed)
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    const Row row = FolderTreeKeys::row(KeyCode, Shift);
    TreeNode node;
    QString tag;
    QString key;
    ignore([&] {
        node = trwPath->selectedItem();
        tag = node.tag();
        key = node.key();
    });
    switch (row) {
    case Row::Delete:
        if (tag == FolderTree::TagFile)
            ignore([&] { mnuFileDel_Click(); });
        break;
    case Row::Rename:
        if (tag == FolderTree::TagFile || tag == FolderTree::TagDir)
            ignore([&] { trwPath->startLabelEdit(); });
        break;
    case Row::Prune: ignore([&] { pruneFolderTree(); }); break;
    case Row::Menu: ignore([&] { ShowFilesMenu(); }); break;
    case Row::Open:
        if (tag == FolderTree::TagFile && s.WindowCount >= 1)
            ignore([&] { requireActiveForm()->Web->Navigate(nodeAddress(tag, key)); });
        break;
    case Row::Reload:
        ignore([&] {
            const TreeNode last = trwPath->node(s.LastNodeKey);
            if (last.children() == 0 && FolderTree::isFolderTag(s.LastNodeTag)) {
                node.removeChildren();
                LoadDirs(s.LastNodeKey);
                LoadFiles(s.LastNodeKey);
            }
        });
        break;
    case Row::Shift:
        if (!s.ShiftLatch) {
            s.ShiftLatch = true;
            s.NavOnSelect = !s.NavOnSelect;
            ignore([&] { tbMainPane->setText(PanelRules::paneTitle(2, s.NavOnSelect)); });
        }
        break;
    case Row::Insert:
        if (s.WindowCount >= 1)
            ignore([&] { requireActiveForm()->Web->setFocusToPage(); });
        break;
    case Row::SearchPane: ignore([&] { mnuViewPane_Click(3); }); break;
    case Row::HidePanel:
        if (!picMain->isHidden())
            ignore([&] { mnuViewMainPanel_Click(); });
        break;
    case Row::Swallow:
    case Row::None: break;
    }
    if (FolderTreeKeys::cleared(row)) {
        *consumed = true;
        return;
    }
    const int digit = FolderTreeKeys::keypadDigit(KeyCode, Shift);
    if (digit >= 0 && tag == FolderTree::TagFile) {
        *consumed = true;
        ignore([&] { FolderTreeKeys::quickFileKey(trwPath, key, digit, Shift, this); });
    }
}

void frmMain::ShowFilesMenu()
{
    IgnoreErrors ignore;
    frmPM *pm = Forms::get<frmPM>();
    pm->mnuFilesCollapse->setEnabled(true);
    pm->mnuFilesExpand->setEnabled(true);
    QAction *defaultItem = nullptr;
    ignore([&] {
        const TreeNode node = trwPath->selectedItem();
        if (node.tag() == FolderTree::TagFile) {
            pm->mnuFilesCollapse->setEnabled(false);
            pm->mnuFilesExpand->setEnabled(false);
            defaultItem = pm->mnuFilesOpen;
        } else {
            defaultItem = node.expanded() ? pm->mnuFilesCollapse : pm->mnuFilesExpand;
        }
    });
    pm->mnuFiles->setDefaultAction(defaultItem);
    pm->mnuFiles->popup(QCursor::pos());
}
