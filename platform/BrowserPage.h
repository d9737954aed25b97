#pragma once

#include <QWebEnginePage>

#include <functional>

// The page behind a BrowserControl. It only turns the engine's virtual hooks into
// calls the control can answer; everything the forms see is raised by the control.
class BrowserPage : public QWebEnginePage
{
public:
    // Answers whether a navigation may go ahead.
    using NavigationFilter = std::function<bool(const QUrl &url, bool isMainFrame)>;

    BrowserPage(QWebEngineProfile *profile, QObject *parent);

    void setNavigationFilter(NavigationFilter filter);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    // New windows belong to the window layer, which hears of them through
    // newWindowRequested; the page never opens one of its own.
    QWebEnginePage *createWindow(WebWindowType type) override;

private:
    NavigationFilter m_filter;
};
