#include "platform/engine/BrowserPage.h"

#include "platform/controls/MessageBox.h"

#include <QWebEngineView>

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

namespace {

// Names the page by its host, or by its whole address where it has none (files).
QString pageName(const QUrl &securityOrigin, const QUrl &page)
{
    if (!securityOrigin.host().isEmpty())
        return securityOrigin.host();
    return page.toDisplayString();
}

} // namespace

void BrowserPage::javaScriptAlert(const QUrl &securityOrigin, const QString &msg)
{
    showDialog(QStringLiteral("Zpráva ze stránky %1").arg(pageName(securityOrigin, url())), msg,
               MsgBoxStyle::Information, nullptr);
}

bool BrowserPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &msg)
{
    return showDialog(QStringLiteral("Otázka ze stránky %1").arg(pageName(securityOrigin, url())), msg,
                      MsgBoxStyle::OKCancel | MsgBoxStyle::Question, nullptr)
        == MsgBoxResult::OK;
}

bool BrowserPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                                   QString *result)
{
    QString answer = defaultValue;
    const bool accepted = showDialog(QStringLiteral("Dotaz ze stránky %1").arg(pageName(securityOrigin, url())), msg,
                                     MsgBoxStyle::OKCancel, &answer)
        == MsgBoxResult::OK;
    if (accepted && result)
        *result = answer;
    return accepted;
}

int BrowserPage::showDialog(const QString &title, const QString &text, int style, QString *answer)
{
    MessageBoxRequest request;
    request.prompt = text;
    request.style = style;
    request.title = title;
    request.text = answer;
    QWebEngineView *view = QWebEngineView::forPage(this);
    request.parent = view;
    if (m_dialogDepth++ == 0)
        m_dialogOwner = std::make_unique<QObject>();
    request.owner = m_dialogOwner.get();
    const int result = showMessageBox(request);
    if (--m_dialogDepth == 0) {
        m_dialogOwner.reset();
        if (m_orphanedView)
            m_orphanedView->deleteLater();
    }
    return result;
}

void BrowserPage::deleteViewAfterDialog(QWebEngineView *view)
{
    m_orphanedView = view;
    m_dialogOwner.reset();
}
