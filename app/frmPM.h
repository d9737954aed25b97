#pragma once

#include <QWidget>

class ImageList;

// The hidden form that owns the panes' pop-up menus and their images.
class frmPM : public QWidget
{
    Q_OBJECT

public:
    frmPM();

    ImageList *imlMenu = nullptr;
};
