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

private:
    void Form_Initialize();
    void createFilesMenu();
};
