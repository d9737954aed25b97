#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class BrowserPage;
class PageProcessGuard;
class PageRequests;
class QPrinter;
class QTimer;
class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;
class QWebEngineView;

// The commands CommandStateChange reports on.
namespace BrowserCommand {
constexpr int Forward = 1;
constexpr int Back = 2;
} // namespace BrowserCommand

enum class ScriptWorld {
    Main,       // the page's own scripts see what runs here
    Application // isolated from the page's scripts, same document
};

// The browser control of the program: a web view that raises the browser events
// below and offers the browser's methods, so that no form touches the engine.
//
// One accepted navigation raises, in this order:
//   BeforeNavigate, StatusTextChange(address), ProgressChange(1..100, 100) ...,
//   NavigateComplete (once the new document is committed), CommandStateChange for
//   Forward and Back, ProgressChange(0, 100), StatusTextChange(""), DownloadComplete.
// TitleChange comes whenever the document's title changes, usually between
// NavigateComplete and DownloadComplete.
//
// Progress: ProgressMax is always 100. While a page loads, Progress runs from 1 to
// 100 (the engine's 0 at the start is reported as 1); once the load has ended
// (finished, failed or stopped) Progress is 0. So Progress 0 always means "done" and
// never the start of a load, and a window can show "N %" and "Hotovo" from it.
//
// BeforeNavigate is raised for the main frame only, for navigations the page starts
// itself as well as for Navigate, GoBack, GoForward and Refresh; the engine does not
// ask about "about:blank", which loads without it. Frames navigate unasked.
// "cancel" is a reference: a slot connected directly (the default in the user-interface
// thread; never Qt::QueuedConnection) sets it to refuse the navigation. A refused
// navigation raises nothing further: no progress, no NavigateComplete, no
// DownloadComplete. Navigate and the other commands called from a BeforeNavigate slot
// run on the next turn of the event loop, because the engine cannot start a
// navigation while it is deciding one; so a slot may refuse one address and send the
// control to another, whose events follow as usual. A load already under way whose
// redirect is refused still ends with ProgressChange(0, 100) and DownloadComplete.
//
// NavigateComplete follows a failed load too (the engine then shows its error page
// under the failed address) and an address change within the document (a fragment, a
// script rewriting the history); a stopped load that never reached a document ends
// without it. Before a document's own title the engine reports a stand-in made from
// the address as TitleChange.
//
// NewWindow is raised while the engine waits for the answer to a page's request for a
// window (window.open, a link or a form with a target): the control made for the new
// window meanwhile takes the request over (takeWindowRequest), and so shows what the
// page asked for, a form's data, the window's name and its opener included. The engine
// keeps the request for that call only, so the slot makes the window at once and shows
// no dialog of its own before the call has returned. The engine ends the whole program
// when it draws what a script wrote into such a window's first, empty document (window.open
// and document.write): the window's view stays hidden until a document of its own has
// loaded, and what the opener wrote is shown as a copy loaded as that document, under the
// origin it was written in, its scripts and load handler not run a second time (they ran
// in the first document). The opener's handle still names the window, writes into it
// and sends it onward. A request no control took over is
// dropped with the window the engine prepared; the control opens no window of its own
// whatever "processed" says: opening one is the window layer's business. The engine does
// not say which frame asked, so every request arrives as NewWindow; FrameNewWindow is
// declared for the window layer's connections and is not raised. The engine does not
// expose the flags, target name, post data or headers of a request either: they arrive as
// 0 and empty values. The engine names neither an address it refuses to open in a new
// window (a "javascript:" one above all) nor an empty one (a window a script opens to
// write into): such a request raises NewWindow with an empty address, except when the
// user has just clicked a "javascript:" link, or pressed Enter on one, that itself asks for
// a new window (its target names another window, or Shift, Ctrl or the middle button was
// used): then NewWindow carries that link's address, on the next turn of the event loop,
// with no request to take over. A script link whose own script opens a window raises it
// with the empty address and the request. A request for an address the
// engine would not show (a scheme it does not know) raises nothing either; the user is
// told, as by Navigate.
//
// A page whose process does not answer (a huge text file being laid out, a script in
// an endless loop) would ignore Stop and keep a new address from loading: Stop and
// Navigate ask the page's process for a sign of life, and a process that gives none
// for several seconds is ended (see PageProcessGuard); one that is the program's own
// stays, and StatusTextChange says that the page does not answer. Whenever a page's
// process ends, for that or any other reason, the control shows an empty white page
// under the same address until the next page arrives, keeps its history and title,
// and the load under way ends as a stopped one (ProgressChange(0, 100),
// DownloadComplete); an address asked for meanwhile then loads in a new process.
//
// Logins, downloads, permission requests, a page's window.print() and certificate
// errors are answered as PageRequests describes.
//
// Quit (the page asked to close its window) is raised on the next turn of the event
// loop, so its slot may close the window; a page with a leave handler has asked the user
// first, so the window closes without asking again. No slot may delete the control
// directly; use deleteLater().
//
// A page may ask the user whether to leave it (its leave handler), once the user has
// given it input: the engine asks before another address loads, and askToClose asks
// before its window closes. LeaveRefused follows when the user chose to stay.
class BrowserControl : public QWidget
{
    Q_OBJECT

public:
    explicit BrowserControl(QWidget *parent = nullptr);
    ~BrowserControl() override;

    // Readies a window that will hold browser controls, before it is first shown. The
    // engine's view is drawn through the graphics library; a window that held no such
    // view is drawn without it, and the first control shown in it makes the toolkit
    // make the window's surface anew: the window flickers, and the first page waits
    // for that and for the graphics library's start. A prepared window is drawn
    // through the library from its first showing on.
    static void prepareWindow(QWidget *window);

    // Loads what the user typed: an address, or a file path absolute or relative to
    // the current folder ("www.example.org" goes over http; an existing file whose name
    // holds "#", "?" or "%" loads that file). Blank text does nothing; other text that
    // makes no address, or an address the engine will not show (an unknown scheme, more
    // than 2,097,152 characters), leaves the page as it is and tells the user in a
    // message box.
    void Navigate(const QString &text);
    void GoBack();
    void GoForward();
    void Refresh();
    void Stop();
    // Reloads; level 3 reloads completely, bypassing the cache.
    void Refresh2(int level);

    // Finds text on the page from the current match on (an empty text clears the
    // highlighting); the callback, when given, learns whether anything matched.
    void findText(const QString &text, bool backward, std::function<void(bool found)> callback = {});
    // Asks for a printer with the platform's print dialog and prints the page on it.
    void printWithDialog();

    // The current address as the engine shows it (blanks and letters readable,
    // reserved characters percent-encoded, a password left out); "" before the first page.
    QString LocationURL() const;
    // The document's title; the engine falls back to a form of the address.
    QString LocationName() const;
    // True while an accepted navigation is loading.
    bool Busy() const;
    // Whether the last load that ended showed its document; false after a failed or
    // stopped load, whose window shows the engine's error page or nothing.
    bool lastLoadSucceeded() const { return m_lastLoadSucceeded; }
    // Counts the loads started in this control: a script's answer that arrives after
    // the number changed may describe a page that is gone.
    quint64 navigationNumber() const { return m_navigationNumber; }

    // The control's window was opened at a page's request: should its first address
    // turn out to be a file to download, the window would stay empty, so it asks to be
    // closed (Quit) once the download has been answered.
    void setOpenedByPage();
    // Called on a control made while NewWindow is raised, before anything is loaded in
    // it (a page that loaded anything cannot take a request a script writes into): the
    // control shows the page's request from now on and is not to be sent to an address
    // for it. False, and nothing done, when no request waits.
    bool takeWindowRequest();
    bool showsWindowRequest() const { return m_showsWindowRequest; }

    void setFocusToPage();
    // Whether the keyboard is in the page itself (not in a bar laid over it).
    bool pageHasFocus() const;

    // Whether the page would be asked before its window closes: the user has given it
    // input (before that the engine never lets a page ask) and none of its own dialogs
    // is open (closing the window then closes the dialog too).
    bool asksBeforeClosing() const;
    // Whether one of the page's own dialogs, the leave question among them, is open.
    bool pageDialogOpen() const;
    // Asks the page whether its window may close: its leave handler runs and may ask the
    // user. answer(true) once it may (at once when it cannot ask), answer(false) when
    // the user chose to stay. A page that gives no answer within a few seconds, no
    // question being open, may close. The answer never comes once the control is gone.
    void askToClose(std::function<void(bool mayClose)> answer);

    // Runs a script in the current document; the callback gets its result (an empty
    // QVariant when the document went away). The callback never runs once the control
    // is being destroyed.
    void runScript(const QString &script, std::function<void(const QVariant &)> callback = {},
                   ScriptWorld world = ScriptWorld::Main);

    // Saves the page as a complete page: the document at path, its images and styles in
    // a folder beside it named after the document with "_files". The engine writes
    // whatever is at those names, so callers give it a place of its own. done learns
    // whether everything was written; it never runs once the control is gone. Only the
    // engine's request for this save is followed here; other downloads go to DownloadRequests.
    // requested runs when the engine asks to write the save, before any of it is written.
    void savePage(const QString &path, std::function<void(bool saved)> done,
                  std::function<void()> requested = {});
    // Before every save the engine makes sure this folder exists, and creates it (for
    // itself only) when it does not, whatever path the save is given; by the time the
    // save is requested it has done so. The engine takes no folder from the program for
    // this: it reads the user's download folder at its first save and keeps it, and so
    // does this.
    static QString engineDownloadFolder();

    // What Navigate makes of the user's text, relative paths resolved in workingFolder.
    static QUrl addressFromUserText(const QString &text, const QString &workingFolder);

Q_SIGNALS:
    void BeforeNavigate(const QString &url, int flags, const QString &targetFrameName,
                        const QVariant &postData, const QString &headers, bool &cancel);
    void NavigateComplete(const QString &url);
    void DownloadComplete();
    void ProgressChange(int progress, int progressMax);
    void StatusTextChange(const QString &text);
    void TitleChange(const QString &text);
    void CommandStateChange(int command, bool enable);
    void NewWindow(const QString &url, int flags, const QString &targetFrameName,
                   const QVariant &postData, const QString &headers, bool &processed);
    void FrameNewWindow(const QString &url, int flags, const QString &targetFrameName,
                        const QVariant &postData, const QString &headers, bool &processed);
    void Quit();
    // The page asked whether to leave it and the user chose to stay.
    void LeaveRefused();
    // A link or form the user has just activated in another window's page sent this page
    // to an address (its target names this window, or the other page's script sends it):
    // the user expects to see this window in front. Not raised for the first load of a
    // window a page opened, which the window layer places itself.
    void FrontWanted();
    // The mouse entered an element of the top document (not of its frames). The values
    // are read in a script world the page cannot reach, from real mouse events only:
    // "tag" (upper case), "href" (a link's address, an image's full address), "size",
    // "face", "color", "name", "type", the parent's "parentSize", "parentFace",
    // "parentColor" and "parentAction", and the selection's "selectionType". A value the
    // element does not have is null; an attribute it has but leaves unset is "".
    void ElementHovered(const QVariantMap &element);

private:
    struct LoadState
    {
        bool active = false;
        bool swallowed = false; // the navigation was refused: nothing of it is raised
        bool committed = false; // NavigateComplete has been raised for it
    };

    void installElementHover();
    bool decideNavigation(const QUrl &url, bool isMainFrame);
    void acceptNavigation(const QUrl &url);
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void startLoad(const QUrl &url);
    void endLoad(bool documentShown);
    void onLoadProgress(int progress);
    void onUrlChanged();
    void onNewWindowRequested(QWebEngineNewWindowRequest &request);
    // Whether a navigation of this page of the given type (QWebEnginePage::NavigationType)
    // comes from a link or form the user has just activated in another control's page.
    bool sentHereByClickElsewhere(int type) const;
    void noteActivation(bool byKey, Qt::KeyboardModifiers modifiers, Qt::MouseButton button);
    // The script link the user has just clicked or pressed Enter on, when the link itself
    // asked for a new window (its target names another window, or a key or button for a
    // new window was held); "" otherwise, as when a link's script opens a window.
    QString scriptLinkForNewWindow() const;
    // While the view of a window a page opened is hidden: loads what a script wrote into
    // its first document as a document of the window's own, once the writing is done.
    void lookAtWrittenDocument();
    void showWrittenDocument(const QVariantMap &written);
    void stopWrittenWatch();
    void raiseNewWindow(const QString &url);
    // Whether the engine shows pages of the address's scheme.
    static bool showsScheme(const QUrl &url);
    void raiseCommandStates();
    void reportUnusableAddress(const QString &message);
    // Runs one of the page's actions (QWebEnginePage::WebAction).
    void trigger(int action);
    void runOrDefer(std::function<void()> action);
    void onRenderProcessEnded(const QUrl &next);
    void reportTooLongAddress();
    void installCloseQuestion();
    void watchPageInput(QObject *object);
    void onWindowCloseRequested();
    void answerClose(bool mayClose);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:

    QWebEngineView *m_view = nullptr;
    PageProcessGuard *m_processGuard = nullptr;
    bool m_endingLoad = false; // DownloadComplete is being raised
    BrowserPage *m_page = nullptr;
    PageRequests *m_requests = nullptr; // logins, downloads, permissions, printing, certificates
    LoadState m_load;
    QList<QUrl> m_refusedAddresses; // refused since the last accepted navigation
    QString m_hoveredLink;          // the link under the pointer, "" when none
    QString m_pointedLink;          // the same as the page's script world last told it
    QString m_pointedTarget;        // the window that link opens in
    QString m_focusedLink;          // the link the keyboard is on, "" when none
    QString m_focusedTarget;
    // The user's last click, or Enter, in this page.
    struct
    {
        QElapsedTimer since;
        bool byKey = false;
        Qt::KeyboardModifiers modifiers;
        Qt::MouseButton button = Qt::NoButton;
    } m_activation;
    QUrl m_undecidedAddress;        // loaded by Navigate, not yet asked about by the engine
    int m_decidingDepth = 0;
    // Dropped first thing in the destructor: the engine answers pending scripts with
    // empty results while the page is torn down, when a QPointer to the control would
    // still look valid.
    std::shared_ptr<bool> m_alive;
    quint64 m_navigationNumber = 0;
    bool m_lastLoadSucceeded = false;
    bool m_showsWindowRequest = false; // took a page's request for a window over
    // Polls a hidden window's first document for what a script wrote into it.
    QTimer *m_writtenWatch = nullptr;
    QString m_lastWritten; // what the last look found written, while the writing goes on
    int m_writtenUnchanged = 0; // looks since it last changed
    bool m_writtenLookPending = false;
    // Kept until the engine has finished printing on it.
    std::unique_ptr<QPrinter> m_printer;
    bool m_pageTouched = false; // the user has pressed a key or a mouse button in the page
    std::vector<std::function<void(bool)>> m_closeAnswers; // waiting for the page's answer
    QTimer *m_closeDeadline = nullptr;
    QElapsedTimer m_leaveRefused; // since the user last chose to stay on the page
};
