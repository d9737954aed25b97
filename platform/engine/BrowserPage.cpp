#include "platform/engine/BrowserPage.h"

#include "platform/controls/MessageBox.h"

#include <QAction>
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
