#pragma once

#include <QWidget>

class BrowserControl;
class QLabel;

// A background save: a small window that loads the page afresh in a browser control
// of its own, offers the save-file dialog once that first load has ended, saves and
// closes. The user goes on working meanwhile; several may run at once, each deleting
// itself when it closes.
class frmS : public QWidget
{
    Q_OBJECT

public:
    frmS();

    QLabel *Label1 = nullptr;
    BrowserControl *wbr = nullptr;

    // Shows the window and loads the address.
    void start(const QString &address);

Q_SIGNALS:
    // The save is over (saved, cancelled or failed) and the window is closing.
    void finished();

private:
    void wbr_DownloadComplete();
    void offerSave();
    void finish();

    bool m_loadEnded = false;
};
