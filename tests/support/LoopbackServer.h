#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QTcpServer>

// A web server on 127.0.0.1 that answers every request with one fixed page and
// remembers the requests it got.
class LoopbackServer : public QObject
{
public:
    explicit LoopbackServer(QByteArray page);

    bool isListening() const { return m_server.isListening(); }
    QString address(const QString &path) const;
    int connections() const { return m_connections; }
    // The head of every request read so far (request line and headers).
    const QList<QByteArray> &requests() const { return m_requests; }
    // How many requests asked for the path (as the request line gives it).
    int requestsFor(const QByteArray &path) const;

    // Requests for the path get this page instead of the fixed one.
    void setPage(const QByteArray &path, QByteArray page) { m_pages.insert(path, std::move(page)); }
    // Requests for the path are never answered: a resource that keeps its page loading.
    void hold(const QByteArray &path) { m_held.insert(path); }
    // The first request for the path is answered only after the delay: a site slow to
    // answer once.
    void delayFirst(const QByteArray &path, int ms) { m_delays.insert(path, ms); }

private:
    void accept();

    QTcpServer m_server;
    QByteArray m_page;
    int m_connections = 0;
    QList<QByteArray> m_requests;
    QHash<QByteArray, QByteArray> m_pages;
    QSet<QByteArray> m_held;
    QHash<QByteArray, int> m_delays;
};
