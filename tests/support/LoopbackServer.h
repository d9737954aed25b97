#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QTcpServer>

#include <functional>
#include <memory>

// What the server answers to one request.
struct LoopbackResponse
{
    QByteArray status = "200 OK";
    QList<QByteArray> headers = {"Content-Type: text/html; charset=utf-8"}; // "Name: value"
    QByteArray body;
    // A slow server's answer: the length it announces (-1: the body's) and a connection
    // it keeps open after the body.
    qint64 announcedLength = -1;
    bool keepOpen = false;
};

// A web server on 127.0.0.1 that answers every request with one fixed page, or what a
// route gives for its path, and remembers the requests it got. A secure one speaks
// https with a certificate of the test's own.
class LoopbackServer : public QObject
{
public:
    using Route = std::function<LoopbackResponse(const QByteArray &head)>;

    explicit LoopbackServer(QByteArray page);
    // Over https with the certificate and key in these PEM files.
    LoopbackServer(QByteArray page, const QString &certificateFile, const QString &keyFile);
    ~LoopbackServer() override;
    // A secure server shows this certificate to the connections that come from now on.
    bool setCertificate(const QString &certificateFile, const QString &keyFile);

    bool isListening() const { return m_server && m_server->isListening(); }
    QString address(const QString &path) const;
    int connections() const { return m_connections; }
    // The head of every request read so far (request line and headers).
    const QList<QByteArray> &requests() const { return m_requests; }
    // The body of every request read so far (empty for most), in the same order.
    const QList<QByteArray> &bodies() const { return m_bodies; }
    // How many requests asked for the path (as the request line gives it).
    int requestsFor(const QByteArray &path) const;

    // Requests for the path get this page instead of the fixed one.
    void setPage(const QByteArray &path, QByteArray page) { m_pages.insert(path, std::move(page)); }
    // Requests for the path are never answered: a resource that keeps its page loading.
    void hold(const QByteArray &path) { m_held.insert(path); }
    // The first request for the path is answered only after the delay: a site slow to
    // answer once.
    void delayFirst(const QByteArray &path, int ms) { m_delays.insert(path, ms); }

    // Requests for the path (the query left out) get what the route answers.
    void route(const QByteArray &path, Route answer);

    // Makes a self-signed certificate for 127.0.0.1 and its key in the folder with the
    // openssl program; false when there is none.
    static bool makeSelfSignedCertificate(const QString &folder, QString *certificateFile, QString *keyFile);

private:
    void listen();
    void accept();
    LoopbackResponse answer(const QByteArray &head) const;

    std::unique_ptr<QTcpServer> m_server;
    QByteArray m_page;
    bool m_secure = false;
    int m_connections = 0;
    QList<QByteArray> m_requests;
    QList<QByteArray> m_bodies;
    QList<QPair<QByteArray, Route>> m_routes;
    QHash<QByteArray, QByteArray> m_pages;
    QSet<QByteArray> m_held;
    QHash<QByteArray, int> m_delays;
};
