#include "platform/engine/OfflineInterceptor.h"

#include <QUrl>

OfflineInterceptor::OfflineInterceptor(OfflineCheck isOffline, QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent)
    , m_isOffline(std::move(isOffline))
{
}

void OfflineInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (needsNetwork(info.requestUrl()) && m_isOffline && m_isOffline())
        info.block(true);
}

bool OfflineInterceptor::needsNetwork(const QUrl &url)
{
    static const QStringList networkSchemes = {QStringLiteral("http"), QStringLiteral("https"),
                                               QStringLiteral("ftp"), QStringLiteral("ws"),
                                               QStringLiteral("wss")};
    return networkSchemes.contains(url.scheme(), Qt::CaseInsensitive);
}
