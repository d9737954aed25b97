#pragma once

#include "browser/ProgressText.h"
#include "browser/ZoomMath.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QVariant>

#include <functional>

class BrowserControl;
class QPushButton;
class QTimer;
class QWidget;

// A browser window: a child window of the main frame hosting one browser control.
// It is known by its number, kept in its Tag as decimal digits. What it has to show
// in the main window it reports by its signals; the main window decides whether the
// window is the active one and applies them.
class frmWeb : public QMdiSubWindow
{
    Q_OBJECT

public:
    frmWeb();
    ~frmWeb() override;

    BrowserControl *Web = nullptr;
    QWidget *picWhite = nullptr;
    QTimer *tmrVisible = nullptr;
    // Hidden buttons whose Enabled state records whether this window can go back or forward.
    QPushButton *back = nullptr;
    QPushButton *forward = nullptr;

    int ShiftState = 0;
    QString ProgressText;

    QString tag() const { return m_tag; }
    // Setting the number is the window's first use: its Load runs here.
    void setTag(const QString &tag);
    int number() const;

    // Shows the window inside the main frame.
    void showInFrame();

    // Whether closing the window now would ask its page first: the user has given the
    // page input, none of its dialogs is open, it has not agreed to go yet and the
    // program is not ending.
    bool asksBeforeClosing() const;
    // Asks the page whether the window may close (its leave handler may ask the user);
    // answer(true) once it may, and from then on the window closes without asking
    // again, until forgetPageAgreement. The answer never comes once the window is gone.
    void askPageToClose(std::function<void(bool mayClose)> answer);
    void forgetPageAgreement() { m_pageAgreed = false; }

    // Reports the window's address, so that the main window's address combo and
    // related commands come in line with it.
    void ChngAddr();

    // Browser control events (frmWebEvents.cpp).
    void WebBrw_BeforeNavigate(const QString &URL, int Flags, const QString &TargetFrameName,
                               const QVariant &PostData, const QString &Headers, bool &Cancel);
    void WebBrw_CommandStateChange(int Command, bool Enable);
    void WebBrw_DownloadComplete();
    void WebBrw_FrameNewWindow(const QString &URL, int Flags, const QString &TargetFrameName,
                               const QVariant &PostData, const QString &Headers, bool &Processed);
    void WebBrw_NavigateComplete(const QString &URL);
    void WebBrw_NewWindow(const QString &URL, int Flags, const QString &TargetFrameName, const QVariant &PostData,
                          const QString &Headers, bool &Processed);
    void WebBrw_ProgressChange(int Progress, int ProgressMax);
    void WebBrw_Quit();
    void WebBrw_StatusTextChange(const QString &Text);
    void WebBrw_TitleChange(const QString &Text);
    // The steps of a completed download that need the new document; the image fit and
    // the element inspector join here.
    void DocumentLoaded();

    void Form_KeyDown(int keyCode, int shift);
    void Form_KeyUp();
    // The window sees the keys pressed anywhere inside it before its controls do;
    // returns true when the key was the window's own.
    bool filterKeyEvent(QEvent *event);

    // Image zoom (frmWebZoom.cpp). Each window remembers the image it shows, so
    // zooming one window never distorts another's image.
    ZoomMath::ZoomMemory Zoom;
    void resetZoomAfterDownload();
    void resetZoomAfterNavigate();
    void ZoomImg();
    void ZoomFrames(int percent);
    void ZoomNow();

    // Element inspector (frmWebInspector.cpp).
    void DocEvents_onmouseover(const QVariantMap &element);

Q_SIGNALS:
    // The window was counted and asked for its first page.
    void Loaded();
    // The window became the active child window, with the state it recorded.
    void Activated(bool canGoBack, bool canGoForward, const QString &progressText);
    // The window's address, as the user reads it; image: the address names a picture.
    void AddressChanged(const QString &shownText, bool image);
    // Going back (command 2) or forward (command 1) became possible or impossible.
    void CommandStateChanged(int command, bool enabled);
    void ZoomChanged(int percent);
    // A navigation completed on a page with a document.
    void PageVisited(const QString &address);
    void ProgressChanged(const ProgressDisplay &display);
    void StatusTextChanged(const QString &text);
    void CaptionChanged(const QString &caption);
    void MaximizedChanged(bool maximized);
    // The mouse went over an element of the page showing the address.
    void ElementPointed(const QVariantMap &element, const QString &address);
    // Keys for the main window: Alt+D or Insert, F12, Ctrl+F12.
    void AddressKeyPressed();
    // Tab (next) or Shift+Tab left the page: the keyboard goes on to the main window's
    // next stop, as the window is one stop of that round.
    void FocusPassedOn(bool next);
    void PaneKeyPressed();
    void PanelCloseKeyPressed();
    // A link to a favorites file was not loaded; the file's own address is to open.
    void ShortcutNavigationCancelled(const QString &path);
    // The window closed after it gave up its number.
    void Closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Image zoom: the image's size is read and set by scripts; answers that arrive
    // after a reset of the memory are dropped.
    void withImage(const std::function<void(ZoomMath::ImageSize)> &then);
    void setImageSize(ZoomMath::ImageSize size, const std::function<void(ZoomMath::ImageSize)> &then);
    int m_zoomGeneration = 0;

    void connectBrowserEvents();
    void openRequestedWindow(const QString &URL, int Flags, const QString &TargetFrameName, const QVariant &PostData,
                             const QString &Headers, bool &Processed);
    void openWindowForPage(const QString &URL);
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void tmrVisible_Timer();

    QString m_tag;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_pageAgreed = false; // the page agreed to go: closing asks it no more
    QPointer<frmWeb> m_opener; // the window whose page asked for this one
};
