// This room holds the favorites pane: the main window's handlers for it here, its pop-up
// menu in frmPMFavorites.
// The favorites pane: the Favorites folder as a tree read folder by folder on every
// expansion, its two toolbars, and its mouse and key handlers.
#include "app/frmMain.h"

#include "app/AddFavoriteDialog.h"
#include "app/Icons.h"
#include "app/panel/frmPM.h"
#include "browser/BrowserEventRules.h"
#include "browser/FavoritesPaneRules.h"
#include "browser/LinksPaneRules.h"
#include "browser/PaneKeys.h"
#include "browser/frmWeb.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/KeyClaim.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/TreeView.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"
#include "platform/system/ShellOpen.h"

#include <QCursor>
#include <QTreeWidget>

#include <algorithm>

namespace {

const QString kDir = QStringLiteral("dir");
const QString kFile = QStringLiteral("file");
const QString kClosed = QStringLiteral("closed");
const QString kOpen = QStringLiteral("open");

struct FavoritesButton
{
    const char *key;
    const char *caption;
    const char *toolTip;
    const char *image;
    const char *painted; // the program's icon the button shows
};

const FavoritesButton kFavoritesButtons[2] = {
    {"add", "Přidat…", "Přidá aktuální stránku k oblíbeným", "addfav", "favorites"},
    {"organize", "Uspořádat", "Otevře okno s oblíbenýmy položkami", "organizefav", "folder"},
};

void ensureFavoritesImages(ImageList *images, bool gray)
{
    if (!images)
        return;
    for (const FavoritesButton &button : kFavoritesButtons) {
        if (!images->contains(QLatin1String(button.image)))
            images->add(QLatin1String(button.image),
                        Icons::icon(QLatin1String(button.painted), images->imageSize().width(), gray));
    }
}

QString childPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace

void frmMain::createFavoritesPane()
{
    trwFavorites->setImageList(imlNIcons);

    ensureFavoritesImages(imlToolbarGray, true);
    ensureFavoritesImages(imlToolbar, false);
    QRect row;
    for (int index = 0; index < 2; ++index) {
        const FavoritesButton &line = kFavoritesButtons[index];
        Toolbar *bar = addPaneToolbar(picUn[1], QStringLiteral("tbFavorites%1").arg(index),
                                      {line.key, line.caption, line.toolTip, line.image}, ButtonStyle::Default, row);
        connect(bar, &Toolbar::buttonClicked, this, [this, index](const QString &key) { tbFavorites_ButtonClick(index, key); });
        tbFavorites[size_t(index)] = bar;
    }
    trwFavorites->move(0, row.height());

    connect(trwFavorites, &TreeView::keyDown, this, &frmMain::trwFavorites_KeyDown);
    connect(trwFavorites, &TreeView::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &) { trwFavorites_MouseDown(button); });
    connect(trwFavorites, &TreeView::mouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &) { trwFavorites_MouseUp(button); });
    connect(trwFavorites, &TreeView::nodeClicked, this, &frmMain::trwFavorites_NodeClick);
    connect(trwFavorites, &TreeView::expanded, this, &frmMain::trwFavorites_Expand);
    connect(trwFavorites, &TreeView::collapsed, this, &frmMain::trwFavorites_Collapse);
    claimKeys(trwFavorites->treeWidget(), [](int key, Qt::KeyboardModifiers modifiers) {
        return paneKeyClaimed(PaneKind::Favorites, key, shiftMask(modifiers));
    });
}

void frmMain::LoadFavorites()
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    QString text;
    ignore([&] { text = GetFileName(s.FavoritesDir); });
    ignore([&] {
        trwFavorites->addRoot(s.FavoritesDir, text, QStringLiteral("favorites")).setTag(kDir);
    });
    ignore([&] { LoadFavDirs(s.FavoritesDir); });
    ignore([&] { LoadFavFiles(s.FavoritesDir); });
    ignore([&] { trwFavorites->node(s.FavoritesDir).child().ensureVisible(); });
    s.FavoritesLoaded = true;
    ErrorState::clear();
}

void frmMain::LoadFavDirs(const QString &path)
{
    IgnoreErrors ignore;
    for (const QString &name : listFavoritesFolder(path).folders) {
        const QString key = childPath(path, name);
        ignore([&] {
            const TreeNode node = trwFavorites->add(path, TreeRelation::LastChild, key, name, kClosed);
            node.setTag(kDir);
            // The one child that gives an unread folder its expand mark.
            trwFavorites->add(key, TreeRelation::LastChild, QString(), QString());
        });
    }
    ErrorState::clear();
}

void frmMain::LoadFavFiles(const QString &path)
{
    IgnoreErrors ignore;
    for (const QString &name : listFavoritesFolder(path).shortcuts) {
        ignore([&] {
            trwFavorites->add(path, TreeRelation::LastChild, childPath(path, name), favoriteNodeText(name),
                              QStringLiteral("url"))
                    .setTag(kFile);
        });
    }
    ErrorState::clear();
}

void frmMain::trwFavorites_Expand(const TreeNode &Node)
{
    if (Node.tag() != kDir)
        return;
    if (Node.image() == kClosed)
        Node.setImage(kOpen);
    Node.removeChildren();
    LoadFavDirs(Node.key());
    LoadFavFiles(Node.key());
    if (Node.children() == 0) {
        Node.setExpanded(false);
        Node.setImage(kClosed);
    }
}

void frmMain::trwFavorites_Collapse(const TreeNode &Node)
{
    if (Node.tag() == kDir && Node.image() == kOpen)
        Node.setImage(kClosed);
}

void frmMain::trwFavorites_MouseDown(Qt::MouseButton Button)
{
    FavoritesMouseButton = mouseButtonNumber(Button);
}

void frmMain::trwFavorites_NodeClick(const TreeNode &Node)
{
    if (FavoritesMouseButton == 1)
        runIgnoringErrors([&] { FavNodeOpen(Node.tag(), Node.key(), false); });
    ErrorState::clear();
}

void frmMain::trwFavorites_MouseUp(Qt::MouseButton Button)
{
    FavoritesMouseButton = 0;
    if (Button != Qt::RightButton)
        return;
    const TreeNode selected = trwFavorites->selectedItem();
    if (selected.isNull())
        return;
    showFavoritesPopup(favoritesDefaultItem(favoritesNodeState(selected)));
}

void frmMain::showFavoritesPopup(FavoritesItem defaultItem)
{
    Forms::get<frmPM>()->showFavoritesMenu(QCursor::pos(), defaultItem);
}

void frmMain::trwFavorites_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift, bool *consumed)
{
    IgnoreErrors ignore;
    const PaneKeyDecision decision = paneKeyDecision(PaneKind::Favorites, KeyCode, shiftMask(Shift));
    if (consumed && decision.consumed)
        *consumed = true;
    const auto selectedFile = [this] {
        const TreeNode node = trwFavorites->selectedItem();
        return !node.isNull() && node.tag() == kFile ? node : TreeNode();
    };
    switch (decision.action) {
    case PaneKeyAction::Remove:
        ignore([&] {
            if (!selectedFile().isNull())
                Forms::get<frmPM>()->mnuFavoritesDelete_Click();
        });
        break;
    case PaneKeyAction::Open:
        ignore([&] {
            const TreeNode node = selectedFile();
            if (!node.isNull())
                FavNodeOpen(node.tag(), node.key(), false);
        });
        break;
    case PaneKeyAction::PopUp: ignore([this] { showFavoritesPopup(FavoritesItem::Open); }); break;
    case PaneKeyAction::FocusPage:
        ignore([this] {
            if (shared().WindowCount > 0)
                requireActiveForm()->Web->setFocusToPage();
        });
        break;
    case PaneKeyAction::NextPane: mnuViewPane_Click(2); break;
    case PaneKeyAction::HidePanel:
        ignore([this] {
            if (!picMain->isHidden())
                mnuViewMainPanel_Click();
        });
        break;
    case PaneKeyAction::EditCaption:
    case PaneKeyAction::None: break;
    }
    ErrorState::clear();
}

void frmMain::tbFavorites_ButtonClick(int, const QString &Button)
{
    IgnoreErrors ignore;
    if (Button == QStringLiteral("add")) {
        ignore([this] {
            if (shared().WindowCount <= 0)
                return;
            BrowserControl *web = requireActiveForm()->Web;
            const QString address = web->LocationURL();
            if (!address.isEmpty())
                AddFavorite(address, web->LocationName(), this);
        });
    } else if (Button == QStringLiteral("organize")) {
        ignore([] { shellOpen(shared().FavoritesDir); });
    }
    ErrorState::clear();
}
