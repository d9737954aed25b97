#pragma once

#include <QByteArray>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

class QWebEngineLoadingInfo;
class QWidget;

// Knows whether the document a page shows came by a POST, so that a reload, which
// sends the form's data again, is asked about first. The engine reports a form sent by
// POST and one sent by GET alike, and a reload of either as a reload; only its request
// interceptor sees the method, of every request the page makes (on the user-interface
// thread), before the document that answers it is shown.
class PostedPageWatch : public QWebEngineUrlRequestInterceptor
{
public:
    explicit PostedPageWatch(QObject *parent = nullptr);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // Called when a load of the page has ended: the document shown now came by POST
    // when the last request for the page's main document asked for this address so.
    // A document that came without a request (from the page's memory of documents
    // before) counts as not posted unless that request was its own.
    void loadEnded(const QWebEngineLoadingInfo &info);

    bool shownByPost() const { return m_shownByPost; }

    // Asks the user whether to send the form again (default: no); true on "Ano".
    static bool userAgreesToResend(QWidget *parent);

private:
    QUrl m_requestedUrl;
    QByteArray m_requestMethod;
    bool m_shownByPost = false;
};
