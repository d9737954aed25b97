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

    // The files pop-up over the folder tree (frmPMFiles.cpp); it acts on the tree's
    // selected node.
    QMenu *mnuFiles = nullptr;
    QAction *mnuFilesExpand = nullptr;
    QAction *mnuFilesCollapse = nullptr;
    QAction *mnuFilesOpen = nullptr;
    QAction *mnuFilesOpenNewWin = nullptr;
    QAction *mnuFilesAddToFav = nullptr;
    QMenu *mnuFilesCopyTo = nullptr;
    std::array<QAction *, 10> mnuFilesCopyToQ{};
    QAction *mnuFilesCopyToAnother = nullptr;
    QAction *mnuFilesCopyChange = nullptr;
    QMenu *mnuFilesMoveTo = nullptr;
    std::array<QAction *, 10> mnuFilesMoveToQ{};
    QAction *mnuFilesMoveToAnother = nullptr;
    QAction *mnuFilesMoveChange = nullptr;
    QAction *mnuFilesDelete = nullptr;
    QAction *mnuFilesRename = nullptr;
    QMenu *mnuFilesOpenWithM = nullptr;
    QAction *mnuFilesOpenWithAssoc = nullptr;
    QAction *mnuFilesOpenWithEdit = nullptr;
    QAction *mnuFilesOpenWithPrint = nullptr;
    // Members 1 to 15.
    std::array<QAction *, 16> mnuFilesOpenWith{};
    QAction *mnuFilesOpenWithChange = nullptr;

    void mnuFiles_Click();
    void mnuFilesExpand_Click();
    void mnuFilesCollapse_Click();
    void mnuFilesOpen_Click();
    void mnuFilesOpenNewWin_Click();
    void mnuFilesAddToFav_Click();
    void mnuFilesCopyToQ_Click(int Index);
    void mnuFilesCopyToAnother_Click();
    void mnuFilesMoveToQ_Click(int Index);
    void mnuFilesMoveToAnother_Click();
    void mnuFilesDelete_Click();
    void mnuFilesRename_Click();
    void mnuFilesOpenWith_Click(int Index);
    // The search results' pop-up (frmPMFindFiles.cpp).
    QMenu *mnuFindFiles = nullptr;
    QAction *mnuFindFilesOpen = nullptr;
    QAction *mnuFindFilesOpenNW = nullptr;
    QAction *mnuFindFilesAddtoFav = nullptr;
    QAction *mnuFindFilesStart = nullptr;
    QAction *mnuFindFilesStop = nullptr;
    QAction *mnuFindFilesClear = nullptr;
    QMenu *mnuFindFilesOrderBy = nullptr;
    QAction *mnuFindFilesOrderByName = nullptr;
    QAction *mnuFindFilesOrderByTitle = nullptr;
    QAction *mnuFindFilesOrderByPath = nullptr;
    QAction *mnuFindFilesOrderByDateTime = nullptr;
    QAction *mnuFindFilesOrderBySize = nullptr;
    QAction *mnuFindFilesOrderByAsc = nullptr;
    // Opens the menu at the pointer, its default item chosen by whether the list has rows.
    void popUpFindFiles(bool hasRows);
    void mnuFindFiles_Click(bool hasRows);
    void mnuFindFilesOrderByColumn_Click(int column);
    void mnuFindFilesOrderByAsc_Click();

private:
    void Form_Initialize();
    void createFavoritesMenu();
    void createLinksMenu();
    void createFilesMenu();
    void createFindFilesMenu();
};
