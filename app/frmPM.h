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

private:
    void Form_Initialize();
};
