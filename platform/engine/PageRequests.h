#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>
#include <QWebEngineCertificateError>
#include <QString>

#include <functional>

class QAuthenticator;
class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWidget;

// Answers what a page asks of the browser beyond its own dialogs: logins, files to
// download, permissions, printing and certificates the engine does not trust.
// - A login (the site's or the proxy's) is asked in the program's login dialog;
//   "Zrušit" lets the server's own refusal show. The other parts of the same document
//   behind the same login take the same answer unasked.
// - Every permission (location, notifications, camera, microphone, screen, mouse lock)
//   is refused at once: the program offers none of them.
// - A page's window.print() opens the print dialog of the page menu.
// - A certificate error asks whether to go on, stopping by default; going on holds for
//   the site and the error until the program ends. An error the engine does not let
//   anyone override is only told.
// - A download is handed to DownloadRequests. A window a page asked for that has shown
//   nothing when its address turns out to be a download would stay empty: it asks to
//   be closed.
class PageRequests : public QObject
{
public:
    struct Actions
    {
        std::function<void()> print;
        std::function<void()> closeWindow;
    };

    PageRequests(QWebEnginePage *page, QWidget *view, Actions actions);

    // The page's window was opened at a page's request.
    void setOpenedByPage(bool opened) { m_openedByPage = opened; }

    // The page fetches again what the user has just answered (its process ended before
    // it could show it): the answers given stand for the new requests.
    void answersStandForRetry();

    // What the certificate question says of an error type, in Czech.
    static QString certificateProblem(int errorType, const QString &engineText);
    // The question (or, when the error may not be overridden, the message) for an error.
    static QString certificateQuestion(const QString &host, const QString &problem, bool overridable);

    // Forgets the certificates accepted during this run (tests).
    static void forgetAcceptedCertificates();

private:
    void askLogin(const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost);
    void onCertificateError(const QWebEngineCertificateError &error);
    void answerCertificate(const QString &key);
    void onDownloadRequested(QWebEngineDownloadRequest *request);
    bool showsNothing() const;

    // The user's answers to the logins the current document asked for.
    struct Login
    {
        QString key; // the kind, the server and the realm
        QSet<QUrl> addresses; // the addresses the answer was given for
        bool given = false;
        QString user;
        QString password;
    };

    QWebEnginePage *m_page;
    QWidget *m_view;
    Actions m_actions;
    bool m_openedByPage = false;
    bool m_printing = false; // the print dialog runs
    QList<Login> m_logins;
    // Certificate errors waiting for the user's answer, by server and error.
    QHash<QString, QList<QWebEngineCertificateError>> m_waitingCertificates;
    QSet<QString> m_refusedCertificates; // stopped by the user for the current document

};
