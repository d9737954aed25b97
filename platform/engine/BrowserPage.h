#pragma once

#include <QPointer>
#include <QWebEnginePage>

#include <functional>
#include <memory>

class PostedPageWatch;
class QWebEngineView;

// The page behind a BrowserControl. It only turns the engine's virtual hooks into
// calls the control can answer; everything the forms see is raised by the control.
class BrowserPage : public QWebEnginePage
{
public:
    // Answers whether a navigation may go ahead.
    using NavigationFilter = std::function<bool(const QUrl &url, NavigationType type, bool isMainFrame)>;

    BrowserPage(QWebEngineProfile *profile, QObject *parent);

    void setNavigationFilter(NavigationFilter filter);
    // Called when the user chose to stay on the page when it asked whether to leave; from
    // inside the engine's call that asked.
    void setLeaveRefusedHandler(std::function<void()> handler);

    // True while one of the page's own dialogs (alert, confirm, prompt) is open; the
    // engine's call that opened it is then still running.
    bool dialogOpen() const { return m_dialogDepth > 0; }
    // The page's own dialogs are modal to its view alone. From its second dialog on the
    // user may stop the page's dialogs; they stay stopped until it loads another address.
    bool dialogsStopped() const { return m_dialogsStopped; }
    // The control the page works for is going. Nothing the page raises afterwards, nor
    // the answer of a dialog of it still open, reaches the control: its navigation filter
    // and leave handler are dropped, and an open dialog closes, answered as cancelled.
    void controlGone();
    // The view is going away while a dialog of the page is open: the view is deleted
    // once the engine's call that opened the dialog has returned.
    void deleteViewAfterDialog(QWebEngineView *view);

    // A reload of a document that came by POST sends the form's data again: every road
    // to a reload (the program's commands and the page's own menu) asks the user first.
    void triggerAction(WebAction action, bool checked = false) override;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    // New windows belong to the window layer, which hears of them through
    // newWindowRequested; the page never opens one of its own.
    QWebEnginePage *createWindow(WebWindowType type) override;

    // The page's dialogs are the program's own message boxes, in Czech.
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                          QString *result) override;

private:
    enum class Asker { Page, Engine };
    int showDialog(const QString &title, const QString &text, int style, QString *answer, Asker asker = Asker::Page);
    void onAddressChanged(const QUrl &url);

    NavigationFilter m_filter;
    PostedPageWatch *m_postedWatch;
    std::function<void()> m_leaveRefused;
    // The page's own dialogs since it loaded the address (without its fragment).
    QUrl m_dialogAddress;
    int m_dialogsShown = 0;
    bool m_dialogsStopped = false;
    int m_dialogDepth = 0;
    QPointer<QWebEngineView> m_orphanedView;
    // Lives while a dialog is open; deleting it closes the dialog.
    std::unique_ptr<QObject> m_dialogOwner;
};
