#include "platform/BrowserPage.h"

BrowserPage::BrowserPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
}

void BrowserPage::setNavigationFilter(NavigationFilter filter)
{
    m_filter = std::move(filter);
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame)
{
    return !m_filter || m_filter(url, isMainFrame);
}

QWebEnginePage *BrowserPage::createWindow(WebWindowType)
{
    return nullptr;
}
