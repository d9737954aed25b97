// The favorites pop-up: expand, collapse, open one or all shortcuts, open the
// Favorites folder in the desktop, delete a shortcut into the deleted-files store.
#include "app/panel/frmPM.h"

#include "app/frmMain.h"
#include "browser/FavoritesPaneRules.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "files/DeletedStore.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/TreeView.h"
#include "platform/system/ErrorState.h"
#include "platform/system/ShellOpen.h"

#include <QAction>
#include <QMenu>

namespace {

TreeView *favoritesTree()
{
    return Forms::get<frmMain>()->trwFavorites;
}

// The node the items act on; raises "Object variable not set" when none is selected.
TreeNode selectedNode()
{
    const TreeNode node = favoritesTree()->selectedItem();
    if (node.isNull())
        raiseError(ErrorNumber::ObjectVariableNotSet);
    return node;
}

} // namespace

void frmPM::createFavoritesMenu()
{
    mnuFavorites = new QMenu(this);
    mnuFavorites->setObjectName(QStringLiteral("mnuFavorites"));
    const auto item = [this](const char *name, const char *caption, void (frmPM::*handler)()) {
        QAction *action = mnuFavorites->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    mnuFavoritesExpand = item("mnuFavoritesExpand", "&Rozbalit", &frmPM::mnuFavoritesExpand_Click);
    mnuFavoritesCollapse = item("mnuFavoritesCollapse", "&Sbalit", &frmPM::mnuFavoritesCollapse_Click);
    mnuFavorites->addSeparator();
    mnuFavoritesOpenAll = item("mnuFavoritesOpenAll", "Otevřít &všechny položky", &frmPM::mnuFavoritesOpenAll_Click);
    mnuFavoritesOpen = item("mnuFavoritesOpen", "&Otevřít položku", &frmPM::mnuFavoritesOpen_Click);
    mnuFavoritesOpenNewWin =
            item("mnuFavoritesOpenNewWin", "Otevřít položku v &novém okně", &frmPM::mnuFavoritesOpenNewWin_Click);
    mnuFavorites->addSeparator();
    mnuFavoritesOrganize = item("mnuFavoritesOrganize", "&Uspořádat oblíbené", &frmPM::mnuFavoritesOrganize_Click);
    mnuFavorites->addSeparator();
    mnuFavoritesDelete = item("mnuFavoritesDelete", "&Smazat položku", &frmPM::mnuFavoritesDelete_Click);
    mnuFavoritesExpand->setEnabled(false);
    mnuFavoritesCollapse->setEnabled(false);
    connect(mnuFavorites, &QMenu::aboutToShow, this, &frmPM::mnuFavorites_Click);
}

void frmPM::showFavoritesMenu(const QPoint &position, FavoritesItem defaultItem)
{
    QAction *bold = nullptr;
    switch (defaultItem) {
    case FavoritesItem::Expand: bold = mnuFavoritesExpand; break;
    case FavoritesItem::Collapse: bold = mnuFavoritesCollapse; break;
    case FavoritesItem::OpenAll: bold = mnuFavoritesOpenAll; break;
    case FavoritesItem::Open: bold = mnuFavoritesOpen; break;
    case FavoritesItem::OpenNewWindow: bold = mnuFavoritesOpenNewWin; break;
    case FavoritesItem::Organize: bold = mnuFavoritesOrganize; break;
    case FavoritesItem::Delete: bold = mnuFavoritesDelete; break;
    }
    mnuFavorites->setDefaultAction(bold);
    mnuFavorites->popup(position);
}

void frmPM::mnuFavorites_Click()
{
    mnuFavoritesExpand->setEnabled(false);
    mnuFavoritesCollapse->setEnabled(false);
    // With no node selected every item that acts on one stays off.
    const TreeNode node = favoritesTree()->selectedItem();
    FavoritesMenuState state;
    if (!node.isNull())
        state = favoritesMenuState(favoritesNodeState(node), shared().WindowCount);
    mnuFavoritesExpand->setEnabled(state.expand);
    mnuFavoritesCollapse->setEnabled(state.collapse);
    mnuFavoritesOpenAll->setEnabled(state.openAll);
    mnuFavoritesOpen->setEnabled(state.open);
    mnuFavoritesOpenNewWin->setEnabled(state.openNewWindow);
    mnuFavoritesDelete->setEnabled(state.remove);
}

void frmPM::mnuFavoritesExpand_Click()
{
    runIgnoringErrors([] { selectedNode().setExpanded(true); });
}

void frmPM::mnuFavoritesCollapse_Click()
{
    runIgnoringErrors([] { selectedNode().setExpanded(false); });
}

void frmPM::mnuFavoritesOpen_Click()
{
    runIgnoringErrors([] {
        const TreeNode node = selectedNode();
        Forms::get<frmMain>()->FavNodeOpen(node.tag(), node.key(), false);
    });
}

void frmPM::mnuFavoritesOpenNewWin_Click()
{
    runIgnoringErrors([] {
        const TreeNode node = selectedNode();
        Forms::get<frmMain>()->FavNodeOpen(node.tag(), node.key(), true);
    });
}

void frmPM::mnuFavoritesOrganize_Click()
{
    runIgnoringErrors([] { shellOpen(shared().FavoritesDir); });
}

void frmPM::mnuFavoritesOpenAll_Click()
{
    runIgnoringErrors([] {
        TreeView *tree = favoritesTree();
        const TreeNode folder = selectedNode();
        // Expanding a collapsed folder reads it again, so what opens is what is on disk now.
        folder.setExpanded(true);
        const QString key = folder.key();
        if (folder.children() == 0)
            return;
        QStringList shortcuts;
        const int count = tree->count();
        for (int i = 2; i <= count; ++i) {
            const TreeNode node = tree->node(i);
            if (node.tag() == QLatin1String("file") && node.parent().key() == key)
                shortcuts.append(node.key());
        }
        for (const QString &path : shortcuts)
            Forms::get<frmMain>()->FavNodeOpen(QStringLiteral("file"), path, true);
    });
}

void frmPM::mnuFavoritesDelete_Click()
{
    IgnoreErrors ignore;
    TreeNode node;
    ignore([&] { node = selectedNode(); });
    if (node.isNull())
        return;
    const QString key = node.key();
    const QString prompt = QStringLiteral("Smazat oblíbenou položku ") + node.text() + QStringLiteral(" ?");
    if (MsgBox(prompt, MsgBoxStyle::YesNo | MsgBoxStyle::Question, QStringLiteral("Smazat oblíbenou položku "))
        != MsgBoxResult::Yes)
        return;
    frmMain *main = Forms::get<frmMain>();
    ignore([main] { main->addStoreNode(); });
    ignore([&] { MoveToDeletedStore(key); });
    ignore([&] {
        if (!FileExists(key))
            favoritesTree()->remove(key);
    });
    ErrorState::clear();
}
