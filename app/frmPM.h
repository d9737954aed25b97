#pragma once

#include <QWidget>

#include <array>

class ImageList;
class QAction;
class QMenu;

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
    void createFindFilesMenu();
};
