#include "LoopbackServer.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {

QByteArray pathOf(const QByteArray &request)
{
    const QByteArray line = request.left(request.indexOf("\r\n"));
    return line.split(' ').value(1);
}

} // namespace

LoopbackServer::LoopbackServer(QByteArray page)
    : m_page(std::move(page))
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackServer::accept);
}

QString LoopbackServer::address(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

void LoopbackServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        ++m_connections;
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            m_requests << buffer->left(end);
            const QByteArray path = pathOf(m_requests.last());
            if (m_held.contains(path))
                return;
            QTimer::singleShot(m_delays.take(path), socket, [this, socket, path] {
                socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n\r\n");
                socket->write(m_pages.value(path, m_page));
                socket->disconnectFromHost();
            });
        });
    }
}

int LoopbackServer::requestsFor(const QByteArray &path) const
{
    return int(std::count_if(m_requests.begin(), m_requests.end(),
                             [&path](const QByteArray &request) { return pathOf(request) == path; }));
}
