#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>

class QWebEnginePage;
class QWidget;

// Keeps a page whose process does not answer (a script in an endless loop, a huge text
// being laid out) from holding its window, without ever ending a page that is merely
// busy or a process that is not the page's any more.
//
// When the user stops the page or sends it to a new address, its process is asked for
// a sign of life. The process asked about is held from that moment (its id may be
// reused by another process once it is gone); when it gives no answer for kAnswerMs and
// the page is still in it, it is ended. A page that moves to another process meanwhile
// has left the hung one: nothing is ended then. The program's own process (every page
// runs in it when the engine is told to use a single process) is never ended: the
// guard reports notAnswering instead. When pages of other windows share the process,
// the user decides: they would lose what they show and what was typed in them.
//
// Whenever the page's process ends, for that or any other reason, the guard lays an
// empty white cover over the view until the next page arrives: at the first load start,
// address change, load that shows a document, or new process.
class PageProcessGuard : public QObject
{
    Q_OBJECT

public:
    // A page that works for a few seconds (a long script, a large document laid out)
    // answers well within this; a user who asked for something and sees nothing happen
    // for longer takes the page for dead.
    static constexpr int kAnswerMs = 5000;

    // The cover is laid over the control, which holds the page's view.
    PageProcessGuard(QWebEnginePage *page, QWidget *control);
    ~PageProcessGuard() override;

    // The user stopped the page or asked for a new address: its process is asked for a
    // sign of life. retry is loaded once an unanswering process has been ended (empty:
    // nothing); the latest request decides it.
    void expectAnswer(const QUrl &retry);

    // What the latest request asked for has come without leaving the page (a file to
    // save): nothing is loaded once an unanswering process has been ended.
    void forgetRetry();

    // Whether the page waits for the user (one of its own dialogs is open). Its process
    // runs no script until the dialog is answered, and neither does any page sharing
    // it: such a process is not taken for a hung one.
    void setWaitsForUser(std::function<bool()> waits) { m_waitsForUser = std::move(waits); }

    // The empty page is shown: the page's process ended and no next page came yet.
    bool coverShown() const;

Q_SIGNALS:
    // The page's process ended; retry is the address to load now (empty: none).
    void processEnded(const QUrl &retry);
    // The page gives no answer and its process is the program's own: it stays.
    void notAnswering();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Check;

    void onNoAnswer(quint64 number);
    void endProcess();
    // Asks the user whether to end a process that pages of other windows share.
    bool userAgreesToEnd(const QStringList &others);
    void forgetCheck();
    void showCover();
    void hideCover();
    QString pageName() const;

    QWebEnginePage *m_page;
    QWidget *m_control;
    QWidget *m_cover;
    std::unique_ptr<Check> m_check;
    quint64 m_checkNumber = 0;
    QUrl m_retry;
    std::function<bool()> m_waitsForUser;
    QUrl m_retryAfterEnd;
    bool m_asking = false;
    bool m_keyboardInPage = false; // when its process ended
    // Dropped first thing in the destructor: script answers arrive after it.
    std::shared_ptr<bool> m_alive;
};
