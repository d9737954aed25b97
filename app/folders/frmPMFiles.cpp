// The files pop-up menu over the folder tree.
#include "app/panel/frmPM.h"

#include "app/AddFavoriteDialog.h"
#include "app/folders/FilesPopupRules.h"
#include "app/ToolbarRules.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "files/FileCommands.h"
#include "files/FolderTreeClick.h"
#include "files/FolderTreeModel.h"
#include "files/PageTitle.h"
#include "platform/controls/Forms.h"
#include "platform/controls/TreeView.h"
#include "platform/engine/BrowserControl.h"
#include "platform/files/FileNames.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace {

frmMain *mainWindow()
{
    return Forms::get<frmMain>();
}

struct SelectedNode
{
    TreeNode node;
    QString tag;
    QString key;
};

SelectedNode selectedNode()
{
    SelectedNode selected;
    runIgnoringErrors([&] {
        selected.node = mainWindow()->trwPath->selectedItem();
        selected.tag = selected.node.tag();
        selected.key = selected.node.key();
    });
    return selected;
}

void captionItems(const std::vector<ToolbarRules::DropDownEntry> &entries, QAction *const *items, int first, int count)
{
    for (int i = 0; i < count && i < int(entries.size()); ++i) {
        items[first + i]->setText(entries[size_t(i)].text);
        items[first + i]->setEnabled(entries[size_t(i)].enabled);
    }
}

} // namespace

void frmPM::createFilesMenu()
{
    mnuFiles = new QMenu(this);
    mnuFiles->setObjectName(QStringLiteral("mnuFiles"));
    const auto item = [this](QMenu *menu, const char *name, const char *caption, void (frmPM::*handler)()) {
        QAction *action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        if (handler)
            connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto submenu = [this](const char *name, const char *caption) {
        QMenu *menu = mnuFiles->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    const auto page = [](int number) { return [number] { mainWindow()->ShowOptionsPage(number); }; };

    mnuFilesExpand = item(mnuFiles, "mnuFilesExpand", "&Rozbalit", &frmPM::mnuFilesExpand_Click);
    mnuFilesCollapse = item(mnuFiles, "mnuFilesCollapse", "&Sbalit", &frmPM::mnuFilesCollapse_Click);
    mnuFiles->addSeparator();
    mnuFilesOpen = item(mnuFiles, "mnuFilesOpen", "&Otevřít", &frmPM::mnuFilesOpen_Click);
    mnuFilesOpenNewWin = item(mnuFiles, "mnuFilesOpenNewWin", "Otevřít v &novém okně", &frmPM::mnuFilesOpenNewWin_Click);
    mnuFiles->addSeparator();
    mnuFilesAddToFav = item(mnuFiles, "mnuFilesAddToFav", "Přidat k o&blíbeným…", &frmPM::mnuFilesAddToFav_Click);
    mnuFiles->addSeparator();

    mnuFilesCopyTo = submenu("mnuFilesCopyTo", "&Zkopírovat do");
    for (int i = 0; i < 10; ++i) {
        mnuFilesCopyToQ[size_t(i)] = item(mnuFilesCopyTo, "", "", nullptr);
        mnuFilesCopyToQ[size_t(i)]->setObjectName(QStringLiteral("mnuFilesCopyToQ%1").arg(i));
        connect(mnuFilesCopyToQ[size_t(i)], &QAction::triggered, this, [this, i] { mnuFilesCopyToQ_Click(i); });
    }
    mnuFilesCopyTo->addSeparator();
    mnuFilesCopyToAnother = item(mnuFilesCopyTo, "mnuFilesCopyToAnother", "Jinam…", &frmPM::mnuFilesCopyToAnother_Click);
    mnuFilesCopyTo->addSeparator();
    mnuFilesCopyChange = item(mnuFilesCopyTo, "mnuFilesCopyChange", "Změnit cesty…", nullptr);
    connect(mnuFilesCopyChange, &QAction::triggered, this, page(3));

    mnuFilesMoveTo = submenu("mnuFilesMoveTo", "&Přesunout do");
    for (int i = 0; i < 10; ++i) {
        mnuFilesMoveToQ[size_t(i)] = item(mnuFilesMoveTo, "", "", nullptr);
        mnuFilesMoveToQ[size_t(i)]->setObjectName(QStringLiteral("mnuFilesMoveToQ%1").arg(i));
        connect(mnuFilesMoveToQ[size_t(i)], &QAction::triggered, this, [this, i] { mnuFilesMoveToQ_Click(i); });
    }
    mnuFilesMoveTo->addSeparator();
    mnuFilesMoveToAnother = item(mnuFilesMoveTo, "mnuFilesMoveToAnother", "Jinam…", &frmPM::mnuFilesMoveToAnother_Click);
    mnuFilesMoveTo->addSeparator();
    mnuFilesMoveChange = item(mnuFilesMoveTo, "mnuFilesMoveChange", "Změnit cesty…", nullptr);
    connect(mnuFilesMoveChange, &QAction::triggered, this, page(4));
    mnuFiles->addSeparator();

    mnuFilesDelete = item(mnuFiles, "mnuFilesDelete", "&Smazat soubor", &frmPM::mnuFilesDelete_Click);
    mnuFilesRename = item(mnuFiles, "mnuFilesRename", "&Přejmenovat", &frmPM::mnuFilesRename_Click);
    mnuFiles->addSeparator();

    mnuFilesOpenWithM = submenu("mnuFilesOpenWithM", "Otevřít &v");
    mnuFilesOpenWithAssoc = item(mnuFilesOpenWithM, "mnuFilesOpenWithAssoc", "Otevřít v asociovaném programu", nullptr);
    mnuFilesOpenWithEdit = item(mnuFilesOpenWithM, "mnuFilesOpenWithEdit", "Upravit v asociovaném programu", nullptr);
    mnuFilesOpenWithPrint = item(mnuFilesOpenWithM, "mnuFilesOpenWithPrint", "Tisknout v asociovaném programu", nullptr);
    const std::pair<QAction *, const char *> verbs[] = {
        {mnuFilesOpenWithAssoc, "Open"}, {mnuFilesOpenWithEdit, "Edit"}, {mnuFilesOpenWithPrint, "Print"}};
    for (const auto &[action, verb] : verbs)
        connect(action, &QAction::triggered, this, [verb = verb] { mainWindow()->openWithVerb(QLatin1String(verb)); });
    mnuFilesOpenWithM->addSeparator();
    for (int n = 1; n <= 15; ++n) {
        mnuFilesOpenWith[size_t(n)] = item(mnuFilesOpenWithM, "", "", nullptr);
        mnuFilesOpenWith[size_t(n)]->setObjectName(QStringLiteral("mnuFilesOpenWith%1").arg(n));
        connect(mnuFilesOpenWith[size_t(n)], &QAction::triggered, this, [this, n] { mnuFilesOpenWith_Click(n); });
    }
    mnuFilesOpenWithM->addSeparator();
    mnuFilesOpenWithChange = item(mnuFilesOpenWithM, "mnuFilesOpenWithChange", "Změnit programy…", nullptr);
    connect(mnuFilesOpenWithChange, &QAction::triggered, this, page(11));

    connect(mnuFiles, &QMenu::aboutToShow, this, &frmPM::mnuFiles_Click);
}

void frmPM::mnuFiles_Click()
{
    IgnoreErrors ignore;
    mnuFilesOpen->setEnabled(shared().WindowCount >= 1);
    const FilesPopupRules::Enabled on = FilesPopupRules::enabled(selectedNode().tag);
    mnuFilesCopyTo->menuAction()->setEnabled(on.copyTo);
    mnuFilesMoveTo->menuAction()->setEnabled(on.moveTo);
    mnuFilesDelete->setEnabled(on.remove);
    mnuFilesRename->setEnabled(on.rename);
    ignore([&] { captionItems(ToolbarRules::quickEntries(PresetList::read(PresetSections::QMove)), mnuFilesMoveToQ.data(), 0, 10); });
    ignore([&] { captionItems(ToolbarRules::quickEntries(PresetList::read(PresetSections::QCopy)), mnuFilesCopyToQ.data(), 0, 10); });
    ignore([&] { captionItems(ToolbarRules::openWithEntries(PresetList::read(PresetSections::OpenWith)), mnuFilesOpenWith.data(), 1, 15); });
}

void frmPM::mnuFilesExpand_Click()
{
    runIgnoringErrors([] { selectedNode().node.setExpanded(true); });
}

void frmPM::mnuFilesCollapse_Click()
{
    runIgnoringErrors([] { selectedNode().node.setExpanded(false); });
}

void frmPM::mnuFilesOpen_Click()
{
    const SelectedNode selected = selectedNode();
    if (!selected.node.isNull())
        runIgnoringErrors([&] { mainWindow()->requireActiveForm()->Web->Navigate(nodeAddress(selected.tag, selected.key)); });
}

void frmPM::mnuFilesOpenNewWin_Click()
{
    const SelectedNode selected = selectedNode();
    if (!selected.node.isNull())
        runIgnoringErrors([&] { NewWindow(nodeAddress(selected.tag, selected.key)); });
}

void frmPM::mnuFilesAddToFav_Click()
{
    IgnoreErrors ignore;
    const SelectedNode selected = selectedNode();
    const QString address = selected.key;
    QString title;
    ignore([&] { title = GetFileTitle(address); });
    QCoreApplication::processEvents();
    if (!FilesPopupRules::takesFavorite(selected.tag))
        return;
    if (selected.tag != FolderTree::TagFile)
        ignore([&] { title = selected.node.text(); });
    if (!address.isEmpty())
        ignore([&] { AddFavorite(pathAsAddress(address), title, mainWindow()); });
}

void frmPM::mnuFilesCopyToQ_Click(int Index)
{
    const SelectedNode selected = selectedNode();
    if (selected.tag == FolderTree::TagFile)
        CopyFileUI(mainWindow()->trwPath, selected.key, Index + 1, QString());
}

void frmPM::mnuFilesCopyToAnother_Click()
{
    mainWindow()->mnuFileCopy_Click();
}

void frmPM::mnuFilesMoveToQ_Click(int Index)
{
    const SelectedNode selected = selectedNode();
    if (selected.tag == FolderTree::TagFile)
        MoveFileUI(mainWindow()->trwPath, selected.key, Index + 1, QString());
}

void frmPM::mnuFilesMoveToAnother_Click()
{
    mainWindow()->mnuFileMove_Click();
}

void frmPM::mnuFilesDelete_Click()
{
    mainWindow()->mnuFileDel_Click();
}

void frmPM::mnuFilesRename_Click()
{
    runIgnoringErrors([] { mainWindow()->trwPath->startLabelEdit(); });
}

void frmPM::mnuFilesOpenWith_Click(int Index)
{
    mainWindow()->mnuFileOpenWithItem_Click(Index);
}
