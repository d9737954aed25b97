#pragma once

#include <QByteArray>
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

private:
    void accept();

    QTcpServer m_server;
    QByteArray m_page;
    int m_connections = 0;
    QList<QByteArray> m_requests;
};
