#include "platform/engine/PostedPageWatch.h"

#include "platform/controls/MessageBox.h"

#include <QWebEngineLoadingInfo>

PostedPageWatch::PostedPageWatch(QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent)
{
}

void PostedPageWatch::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        return;
    m_requestedUrl = info.requestUrl();
    m_requestMethod = info.requestMethod();
}

void PostedPageWatch::loadEnded(const QWebEngineLoadingInfo &info)
{
    const QUrl shown = info.url().adjusted(QUrl::RemoveFragment);
    m_shownByPost = m_requestMethod == "POST" && m_requestedUrl.adjusted(QUrl::RemoveFragment) == shown;
}

bool PostedPageWatch::userAgreesToResend(QWidget *parent)
{
    const QString question = QStringLiteral(
        "Stránka je odpovědí na odeslaný formulář. Obnovením se jeho data odešlou znovu a to, co formulář "
        "udělal (například objednávka nebo platba), se může zopakovat.\n\nOdeslat data formuláře znovu?");
    return MsgBox(question, MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2, {}, parent)
        == MsgBoxResult::Yes;
}
