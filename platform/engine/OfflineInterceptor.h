#pragma once

#include <QWebEngineUrlRequestInterceptor>

#include <functional>

// Refuses every request that would go over the network while the user works offline.
// The check is asked at each such request (the engine calls in on the user-interface
// thread), never for local pages.
class OfflineInterceptor : public QWebEngineUrlRequestInterceptor
{
public:
    using OfflineCheck = std::function<bool()>;

    explicit OfflineInterceptor(OfflineCheck isOffline, QObject *parent = nullptr);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // http, https, ftp, ws and wss; file, about, data, qrc, blob and the like are local.
    static bool needsNetwork(const QUrl &url);

private:
    OfflineCheck m_isOffline;
};
