#pragma once

#include <QWidget>

#include <array>

class ImageList;
class QAction;
class QMenu;
class QPoint;
enum class FavoritesItem;

// The hidden form that owns the panes' pop-up menus and their images.
class frmPM : public QWidget
{
    Q_OBJECT

public:
    frmPM();

    ImageList *imlMenu = nullptr;

    // The pane pop-up over the panel's title; items 1 to 6 (5 and 6 hidden, disabled).
    QMenu *mnuPaneView = nullptr;
    std::array<QAction *, 7> mnuPaneViewItem{};

    void mnuPaneViewItem_Click(int Index);

    // The favorites pop-up over trwFavorites; every item acts on the tree's selected
    // node (frmPMFavorites.cpp).
    QMenu *mnuFavorites = nullptr;
    QAction *mnuFavoritesExpand = nullptr;
    QAction *mnuFavoritesCollapse = nullptr;
    QAction *mnuFavoritesOpenAll = nullptr;
    QAction *mnuFavoritesOpen = nullptr;
    QAction *mnuFavoritesOpenNewWin = nullptr;
    QAction *mnuFavoritesOrganize = nullptr;
    QAction *mnuFavoritesDelete = nullptr;
    void showFavoritesMenu(const QPoint &position, FavoritesItem defaultItem);
    void mnuFavorites_Click();
    void mnuFavoritesExpand_Click();
    void mnuFavoritesCollapse_Click();
    void mnuFavoritesOpenAll_Click();
    void mnuFavoritesOpen_Click();
    void mnuFavoritesOpenNewWin_Click();
    void mnuFavoritesOrganize_Click();
    void mnuFavoritesDelete_Click();

    // The links pop-up over lstLinks; its items act on the list's selected item
    // (frmPMLinks.cpp).
    QMenu *mnuLinks = nullptr;
    QAction *mnuLinksOpen = nullptr;
    QAction *mnuLinksOpenNewWin = nullptr;
    QAction *mnuLinksAddToFav = nullptr;
    QMenu *mnuLinksAdd = nullptr;
    QAction *mnuLinksAddAll = nullptr;
    QMenu *mnuLinksSave = nullptr;
    QMenu *mnuLinksRemove = nullptr;
    QMenu *mnuLinksOrderBy = nullptr;
    QAction *mnuLinksOrderByNone = nullptr;
    QAction *mnuLinksOrderByCaption = nullptr;
    QAction *mnuLinksOrderByURL = nullptr;
    QAction *mnuLinksOrderBySource = nullptr;
    QAction *mnuLinksOrderByDesc = nullptr;
    // The whole menu over a list with items, only the capture submenu over an empty one.
    void showLinksMenu(const QPoint &position, bool listHasItems);
    void mnuLinks_Click();
    void mnuLinksOpen_Click();
    void mnuLinksOpenNewWin_Click();
    void mnuLinksAddToFav_Click();
    void mnuLinksRemoveSelected_Click();
    void mnuLinksRemoveAll_Click();
    void mnuLinksRemoveEmails_Click();
    void mnuLinksOrderBy_Click(int SortKey);
    void mnuLinksOrderByNone_Click();
    void mnuLinksOrderByDesc_Click();

private:
    void Form_Initialize();
    void createFavoritesMenu();
    void createLinksMenu();
};
