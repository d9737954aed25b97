#include "platform/engine/BrowserPage.h"

#include "platform/controls/MessageBox.h"
#include "platform/engine/LeaveQuestion.h"
#include "platform/engine/PostedPageWatch.h"

#include <QAction>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

#include <utility>

namespace {

// The engine comes with no Czech captions for the actions of its page menu.
constexpr std::pair<QWebEnginePage::WebAction, const char *> kActionTexts[] = {
    {QWebEnginePage::Back, "Zpět"},
    {QWebEnginePage::Forward, "Dále"},
    {QWebEnginePage::Stop, "Zastavit"},
    {QWebEnginePage::Reload, "Obnovit"},
    {QWebEnginePage::ReloadAndBypassCache, "Obnovit celou stránku"},
    {QWebEnginePage::Cut, "Vyjmout"},
    {QWebEnginePage::Copy, "Kopírovat"},
    {QWebEnginePage::Paste, "Vložit"},
    {QWebEnginePage::Undo, "Vrátit zpět"},
    {QWebEnginePage::Redo, "Znovu"},
    {QWebEnginePage::SelectAll, "Vybrat vše"},
    {QWebEnginePage::PasteAndMatchStyle, "Vložit jako prostý text"},
    {QWebEnginePage::OpenLinkInThisWindow, "Otevřít odkaz v tomto okně"},
    {QWebEnginePage::OpenLinkInNewWindow, "Otevřít odkaz v novém okně"},
    {QWebEnginePage::OpenLinkInNewBackgroundTab, "Otevřít odkaz v novém okně na pozadí"},
    {QWebEnginePage::CopyLinkToClipboard, "Kopírovat adresu odkazu"},
    {QWebEnginePage::DownloadLinkToDisk, "Uložit odkaz jako…"},
    {QWebEnginePage::CopyImageToClipboard, "Kopírovat obrázek"},
    {QWebEnginePage::CopyImageUrlToClipboard, "Kopírovat adresu obrázku"},
    {QWebEnginePage::DownloadImageToDisk, "Uložit obrázek jako…"},
    {QWebEnginePage::CopyMediaUrlToClipboard, "Kopírovat adresu média"},
    {QWebEnginePage::ToggleMediaControls, "Zobrazit či skrýt ovládání"},
    {QWebEnginePage::ToggleMediaLoop, "Přehrávat dokola"},
    {QWebEnginePage::ToggleMediaPlayPause, "Přehrát či pozastavit"},
    {QWebEnginePage::ToggleMediaMute, "Ztlumit či zapnout zvuk"},
    {QWebEnginePage::DownloadMediaToDisk, "Uložit médium jako…"},
    {QWebEnginePage::InspectElement, "Prozkoumat prvek"},
    {QWebEnginePage::ExitFullScreen, "Ukončit celou obrazovku"},
    {QWebEnginePage::RequestClose, "Zavřít stránku"},
    {QWebEnginePage::Unselect, "Zrušit výběr"},
    {QWebEnginePage::SavePage, "Uložit stránku"},
    {QWebEnginePage::ViewSource, "Zobrazit zdrojový kód stránky"},
    {QWebEnginePage::ToggleBold, "Tučné"},
    {QWebEnginePage::ToggleItalic, "Kurzíva"},
    {QWebEnginePage::ToggleUnderline, "Podtržené"},
    {QWebEnginePage::ToggleStrikethrough, "Přeškrtnuté"},
    {QWebEnginePage::AlignLeft, "Zarovnat vlevo"},
    {QWebEnginePage::AlignCenter, "Zarovnat na střed"},
    {QWebEnginePage::AlignRight, "Zarovnat vpravo"},
    {QWebEnginePage::AlignJustified, "Zarovnat do bloku"},
    {QWebEnginePage::Indent, "Zvětšit odsazení"},
    {QWebEnginePage::Outdent, "Zmenšit odsazení"},
    {QWebEnginePage::InsertOrderedList, "Číslovaný seznam"},
    {QWebEnginePage::InsertUnorderedList, "Seznam s odrážkami"},
};

} // namespace

BrowserPage::BrowserPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    for (const auto &[webAction, text] : kActionTexts)
        action(webAction)->setText(QString::fromUtf8(text));
    // The program has windows, no tabs: a link opens in a new window, offered once.
    action(QWebEnginePage::OpenLinkInNewTab)->setVisible(false);
    LeaveQuestion::translate();
    connect(this, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) { onAddressChanged(url); });
    m_postedWatch = new PostedPageWatch(this);
    setUrlRequestInterceptor(m_postedWatch);
    connect(this, &QWebEnginePage::loadingChanged, m_postedWatch, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus
            || info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
            m_postedWatch->loadEnded(info);
    });
}

void BrowserPage::triggerAction(WebAction action, bool checked)
{
    const bool reload = action == QWebEnginePage::Reload || action == QWebEnginePage::ReloadAndBypassCache;
    if (reload && m_postedWatch->shownByPost() && !PostedPageWatch::userAgreesToResend(QWebEngineView::forPage(this)))
        return;
    QWebEnginePage::triggerAction(action, checked);
}

void BrowserPage::setLeaveRefusedHandler(std::function<void()> handler)
{
    m_leaveRefused = std::move(handler);
}

void BrowserPage::onAddressChanged(const QUrl &url)
{
    const QUrl address = url.adjusted(QUrl::RemoveFragment);
    if (address == m_dialogAddress)
        return;
    m_dialogAddress = address;
    m_dialogsShown = 0;
    m_dialogsStopped = false;
}

void BrowserPage::setNavigationFilter(NavigationFilter filter)
{
    m_filter = std::move(filter);
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    return !m_filter || m_filter(url, type, isMainFrame);
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
    if (m_dialogsStopped)
        return;
    showDialog(QStringLiteral("Zpráva ze stránky %1").arg(pageName(securityOrigin, url())), msg,
               MsgBoxStyle::Information, nullptr);
}

bool BrowserPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &msg)
{
    if (LeaveQuestion::isLeaveQuestion(msg)) {
        const bool leave = showDialog(QStringLiteral("Otázka ze stránky %1").arg(pageName(securityOrigin, url())),
                                      LeaveQuestion::text(), MsgBoxStyle::OKCancel | MsgBoxStyle::Question, nullptr,
                                      Asker::Engine)
            == MsgBoxResult::OK;
        if (!leave && m_leaveRefused)
            m_leaveRefused();
        return leave;
    }
    if (m_dialogsStopped)
        return false;
    return showDialog(QStringLiteral("Otázka ze stránky %1").arg(pageName(securityOrigin, url())), msg,
                      MsgBoxStyle::OKCancel | MsgBoxStyle::Question, nullptr)
        == MsgBoxResult::OK;
}

bool BrowserPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                                   QString *result)
{
    if (m_dialogsStopped)
        return false;
    QString answer = defaultValue;
    const bool accepted = showDialog(QStringLiteral("Dotaz ze stránky %1").arg(pageName(securityOrigin, url())), msg,
                                     MsgBoxStyle::OKCancel, &answer)
        == MsgBoxResult::OK;
    if (accepted && result)
        *result = answer;
    return accepted;
}

int BrowserPage::showDialog(const QString &title, const QString &text, int style, QString *answer, Asker asker)
{
    MessageBoxRequest request;
    request.prompt = text;
    request.style = style;
    request.title = title;
    request.text = answer;
    QWebEngineView *view = QWebEngineView::forPage(this);
    request.parent = view;
    // The user can still close the page's window, or work in the others, while a page
    // asks; a page that asks without end could otherwise hold the whole program.
    request.blocks = view;
    bool stop = false;
    if (asker == Asker::Page && m_dialogsShown++ > 0) {
        request.checkBoxText = QStringLiteral("Další dialogy této stránky nezobrazovat");
        request.checked = &stop;
    }
    if (m_dialogDepth++ == 0)
        m_dialogOwner = std::make_unique<QObject>();
    request.owner = m_dialogOwner.get();
    const int result = showMessageBox(request);
    if (stop)
        m_dialogsStopped = true;
    if (--m_dialogDepth == 0) {
        m_dialogOwner.reset();
        if (m_orphanedView)
            m_orphanedView->deleteLater();
    }
    return result;
}

void BrowserPage::controlGone()
{
    m_filter = {};
    m_leaveRefused = {};
    // The dialogs' loops return only after the control is gone; what they answer then
    // goes to the engine alone.
    m_dialogOwner.reset();
}

void BrowserPage::deleteViewAfterDialog(QWebEngineView *view)
{
    m_orphanedView = view;
}
