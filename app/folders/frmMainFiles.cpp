// This room holds the folders-and-files pane ("Složky a soubory"): the folder tree, its keys,
// toolbars and pop-up menu, the File menu, quick copy and move, the Tools menu's store
// commands and the options dialog's host functions. This file: the Tools menu's emptying
// of the deleted-files store.
#include "app/frmMain.h"

#include "core/ErrorLog.h"
#include "core/FileSettings.h"
#include "core/SharedState.h"
#include "files/DeletedStore.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/TreeView.h"
#include "platform/system/ErrorState.h"

void frmMain::mnuDeleteAll_Click()
{
    IgnoreErrors ignore;
    const QString question = QStringLiteral("Odstranit trvale všechny smazané soubory?");
    if (MsgBox(question, MsgBoxStyle::YesNo | MsgBoxStyle::Exclamation, question, this) != MsgBoxResult::Yes)
        return;
    DeletedStore::EmptyingReport report;
    ignore([&report] { DeletedStore::empty(&report); });
    // A store refused as a link or no folder was told of; the command stops there,
    // leaving the counter and the node as they were.
    if (report.storeRefused) {
        LogError(QStringLiteral("mnuDeleteAll_Click"), shared().AppFolder);
        return;
    }
    ignore([] { FileSettings::CountDelFiles.save(QStringLiteral("0")); });
    // Before the folder tree is built there is no store node to replace, and a root
    // added now would stand above the tree's own roots once it is built.
    if (shared().FileTreeLoaded) {
        const QString key = shared().AppFolder + QStringLiteral("deleted");
        ignore([&] { trwPath->remove(key); });
        ignore([&] {
            const TreeNode node = trwPath->addRoot(key, QStringLiteral("Deleted files"), QStringLiteral("recycle"));
            node.setTag(QStringLiteral("deleted"));
        });
    }
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuDeleteAll_Click"), shared().AppFolder);
    // Files that stayed are told: a store that looks emptied while they are all still
    // there misleads.
    if (report.stayed > 0)
        runIgnoringErrors([&] { MsgBox(DeletedStore::stayedMessage(report), MsgBoxStyle::Exclamation, {}, this); });
}
