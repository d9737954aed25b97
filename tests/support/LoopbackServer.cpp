#include "LoopbackServer.h"
#include "ToolRun.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {

QByteArray pathOf(const QByteArray &request)
{
    const QByteArray line = request.left(request.indexOf("\r\n"));
    return line.split(' ').value(1);
}

qsizetype contentLength(const QByteArray &head)
{
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
            return line.mid(colon + 1).trimmed().toLongLong();
    }
    return 0;
}

} // namespace

LoopbackServer::LoopbackServer(QByteArray page)
    : m_server(std::make_unique<QTcpServer>())
    , m_page(std::move(page))
{
    listen();
}

LoopbackServer::LoopbackServer(QByteArray page, const QString &certificateFile, const QString &keyFile)
    : m_page(std::move(page))
    , m_secure(true)
{
    m_server = std::make_unique<QSslServer>();
    if (setCertificate(certificateFile, keyFile))
        listen();
    else
        m_server.reset();
}

bool LoopbackServer::setCertificate(const QString &certificateFile, const QString &keyFile)
{
    auto *server = qobject_cast<QSslServer *>(m_server.get());
    QFile certificate(certificateFile), key(keyFile);
    if (!server || !certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
        return false;
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(certificate.readAll(), QSsl::Pem));
    tls.setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa, QSsl::Pem));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    server->setSslConfiguration(tls);
    return true;
}

LoopbackServer::~LoopbackServer() = default;

void LoopbackServer::listen()
{
    m_server->listen(QHostAddress::LocalHost);
    // A secure server offers a connection once its handshake is done.
    connect(m_server.get(), &QTcpServer::newConnection, this, &LoopbackServer::accept);
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &LoopbackServer::accept);
}

QString LoopbackServer::address(const QString &path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(m_secure ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(m_server ? m_server->serverPort() : 0)
        .arg(path);
}

void LoopbackServer::route(const QByteArray &path, Route answer)
{
    m_routes.append({path, std::move(answer)});
}

LoopbackResponse LoopbackServer::answer(const QByteArray &head) const
{
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QByteArray target = requestLine.size() > 1 ? requestLine.at(1) : QByteArray();
    const QByteArray path = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
    for (const auto &[routed, route] : m_routes) {
        if (routed == path)
            return route(head);
    }
    LoopbackResponse page;
    page.body = m_pages.value(pathOf(head), m_page);
    return page;
}

void LoopbackServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        ++m_connections;
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = buffer->left(end);
            // A request with a body (a form sent by POST) is taken once the body is whole.
            const qsizetype length = contentLength(head);
            if (buffer->size() < end + 4 + length)
                return;
            m_bodies << buffer->mid(end + 4, length);
            buffer->clear();
            m_requests << head;
            const QByteArray path = pathOf(head);
            if (m_held.contains(path))
                return;
            QTimer::singleShot(m_delays.take(path), socket, [this, socket, head] {
                const LoopbackResponse response = answer(head);
                QByteArray reply = "HTTP/1.0 " + response.status + "\r\n";
                for (const QByteArray &header : response.headers)
                    reply += header + "\r\n";
                const qint64 length = response.announcedLength >= 0 ? response.announcedLength : response.body.size();
                reply += "Content-Length: " + QByteArray::number(length) + "\r\nConnection: close\r\n\r\n";
                socket->write(reply);
                socket->write(response.body);
                if (!response.keepOpen)
                    socket->disconnectFromHost();
            });
        });
    }
}

bool LoopbackServer::makeSelfSignedCertificate(const QString &folder, QString *certificateFile, QString *keyFile)
{
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty())
        return false;
    *certificateFile = folder + QStringLiteral("/certificate.pem");
    *keyFile = folder + QStringLiteral("/key.pem");
    return runTool(openssl, {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                            QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                            QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                            QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                            QStringLiteral("-keyout"), *keyFile, QStringLiteral("-out"), *certificateFile})
        .succeeded;
}

int LoopbackServer::requestsFor(const QByteArray &path) const
{
    return int(std::count_if(m_requests.begin(), m_requests.end(),
                             [&path](const QByteArray &request) { return pathOf(request) == path; }));
}
