#include "platform/engine/PageRequests.h"

#include "platform/controls/LoginDialog.h"
#include "platform/controls/MessageBox.h"
#include "platform/engine/FileDownload.h"
#include "platform/engine/ShownAddress.h"

#include <QAuthenticator>
#include <QCryptographicHash>
#include <QPointer>
#include <QSet>
#include <QSslCertificate>
#include <QTimer>
#include <QUrl>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace {

QSet<QString> &acceptedCertificates()
{
    static QSet<QString> accepted;
    return accepted;
}

// A "yes" holds for the certificate the user was shown, not for whatever another
// certificate the same server presents later.
QString certificateKey(const QWebEngineCertificateError &error)
{
    const QUrl url = error.url();
    const QList<QSslCertificate> chain = error.certificateChain();
    const QByteArray digest = chain.isEmpty() ? QByteArray() : chain.constFirst().digest(QCryptographicHash::Sha256);
    return url.host() + QLatin1Char(':') + QString::number(url.port(443)) + QLatin1Char('/')
        + QString::number(int(error.type())) + QLatin1Char('/') + QString::fromLatin1(digest.toHex());
}

QString serverName(const QUrl &url)
{
    const QString host = ShownHost(url.host());
    return url.port() < 0 ? host : host + QLatin1Char(':') + QString::number(url.port());
}

} // namespace

PageRequests::PageRequests(QWebEnginePage *page, QWidget *view, Actions actions)
    : QObject(page)
    , m_page(page)
    , m_view(view)
    , m_actions(std::move(actions))
{
    connect(page, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *authenticator) { askLogin(url, authenticator, QString()); });
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, this, &PageRequests::askLogin);
    connect(page, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl &origin, QWebEnginePage::Feature feature) {
                m_page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
            });
    // A new document asks afresh.
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        m_logins.clear();
        m_refusedCertificates.clear();
    });
    connect(page, &QWebEnginePage::certificateError, this, &PageRequests::onCertificateError);
    // The dialog runs a loop of its own, which must not run inside the engine's call.
    // A page asking again while its print dialog is open gets no second dialog over it.
    connect(page, &QWebEnginePage::printRequested, this, [this] {
        if (m_printing || !m_actions.print)
            return;
        m_printing = true;
        const QPointer<PageRequests> self(this);
        m_actions.print();
        if (self)
            m_printing = false;
    }, Qt::QueuedConnection);
    connect(page->profile(), &QWebEngineProfile::downloadRequested, this, &PageRequests::onDownloadRequested);
}

void PageRequests::answersStandForRetry()
{
    // Only a part that asks again after taking an answer was refused it.
    for (Login &login : m_logins)
        login.addresses.clear();
}

void PageRequests::askLogin(const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost)
{
    // The engine reads the answer when this returns, so the dialog runs here. An empty
    // authenticator cancels the login and the server's own answer shows; one left as it
    // came would send empty credentials and be asked again and again.
    LoginRequest request;
    request.proxy = !proxyHost.isEmpty();
    request.server = request.proxy ? proxyHost : serverName(url);
    request.realm = authenticator->realm();
    request.parent = m_view;
    const QString key = QString::number(request.proxy) + QLatin1Char('\n') + request.server + QLatin1Char('\n')
        + request.realm;
    // The page's other parts behind the same login (its images, its frames) ask one
    // after another: they take the answer the user gave for the page. A part that asks
    // again was refused what it got, and the user is asked.
    auto answered = std::find_if(m_logins.begin(), m_logins.end(), [&](const Login &login) { return login.key == key; });
    if (answered != m_logins.end() && !answered->addresses.contains(url)) {
        answered->addresses.insert(url);
        if (!answered->given) {
            *authenticator = QAuthenticator();
            return;
        }
        authenticator->setUser(answered->user);
        authenticator->setPassword(answered->password);
        return;
    }
    const QPointer<PageRequests> self(this);
    const bool given = LoginDialog::ask(request);
    if (!self) {
        *authenticator = QAuthenticator();
        return;
    }
    // The dialog's loop may have changed the answers meanwhile.
    m_logins.removeIf([&](const Login &login) { return login.key == key; });
    m_logins.append({key, {url}, given, request.user, request.password});
    if (!given) {
        *authenticator = QAuthenticator();
        return;
    }
    authenticator->setUser(request.user);
    authenticator->setPassword(request.password);
}

void PageRequests::onCertificateError(const QWebEngineCertificateError &error)
{
    const QString key = certificateKey(error);
    QWebEngineCertificateError deferred(error);
    if (error.isOverridable() && acceptedCertificates().contains(key)) {
        deferred.acceptCertificate();
        return;
    }
    // What the document asks for later from a server the user stopped is stopped too.
    if (m_refusedCertificates.contains(key)) {
        deferred.rejectCertificate();
        return;
    }
    // The engine holds the page until the answer; the question waits for the next turn.
    // The page's other parts from the same server (its images, its frames) wait for the
    // same answer instead of asking once each.
    deferred.defer();
    const bool asking = m_waitingCertificates.contains(key);
    m_waitingCertificates[key].append(deferred);
    if (!asking)
        QTimer::singleShot(0, this, [this, key] { answerCertificate(key); });
}

void PageRequests::answerCertificate(const QString &key)
{
    const QWebEngineCertificateError error = m_waitingCertificates.value(key).constFirst();
    const QString problem = certificateProblem(error.type(), error.description());
    const QString text = certificateQuestion(serverName(error.url()), problem, error.isOverridable());
    const QString title = QStringLiteral("Nedůvěryhodný certifikát");
    const QPointer<PageRequests> self(this);
    bool goOn = false;
    if (!error.isOverridable()) {
        MsgBox(text, MsgBoxStyle::Critical, title, m_view);
    } else {
        goOn = MsgBox(text, MsgBoxStyle::YesNo | MsgBoxStyle::Exclamation | MsgBoxStyle::DefaultButton2, title, m_view)
            == MsgBoxResult::Yes;
    }
    if (!self)
        return;
    if (goOn)
        acceptedCertificates().insert(key);
    else
        m_refusedCertificates.insert(key);
    for (QWebEngineCertificateError waiting : m_waitingCertificates.take(key)) {
        if (goOn && waiting.isOverridable())
            waiting.acceptCertificate();
        else
            waiting.rejectCertificate();
    }
}

QString PageRequests::certificateProblem(int errorType, const QString &engineText)
{
    using E = QWebEngineCertificateError;
    switch (errorType) {
    case E::SslPinnedKeyNotInCertificateChain: return QStringLiteral("certifikát nemá klíč, který server pro sebe ohlásil");
    case E::CertificateCommonNameInvalid: return QStringLiteral("certifikát je vystaven na jiný název serveru");
    case E::CertificateDateInvalid: return QStringLiteral("certifikát ještě neplatí, nebo už neplatí");
    case E::CertificateAuthorityInvalid:
        return QStringLiteral("certifikát nevydala důvěryhodná certifikační autorita (server si jej mohl vystavit sám)");
    case E::CertificateContainsErrors: return QStringLiteral("certifikát obsahuje chyby");
    case E::CertificateNoRevocationMechanism: return QStringLiteral("u certifikátu nelze zjistit, zda nebyl odvolán");
    case E::CertificateUnableToCheckRevocation: return QStringLiteral("nepodařilo se ověřit, zda certifikát nebyl odvolán");
    case E::CertificateRevoked: return QStringLiteral("certifikát byl odvolán");
    case E::CertificateInvalid: return QStringLiteral("certifikát je neplatný");
    case E::CertificateWeakSignatureAlgorithm: return QStringLiteral("certifikát je podepsán slabým algoritmem");
    case E::CertificateNonUniqueName: return QStringLiteral("certifikát je vystaven na název, který není jedinečný");
    case E::CertificateWeakKey: return QStringLiteral("certifikát má slabý klíč");
    case E::CertificateNameConstraintViolation:
        return QStringLiteral("certifikát je vystaven na název, pro který jeho autorita certifikáty vydávat nesmí");
    case E::CertificateValidityTooLong: return QStringLiteral("certifikát má příliš dlouhou platnost");
    case E::CertificateTransparencyRequired: return QStringLiteral("certifikát není veřejně zaznamenán, jak se vyžaduje");
    case E::CertificateSymantecLegacy: return QStringLiteral("certifikát vydala autorita, které se už nedůvěřuje");
    case E::CertificateKnownInterceptionBlocked:
        return QStringLiteral("certifikát patří zařízení, které spojení odposlouchává");
    case E::SslObsoleteVersion: return QStringLiteral("server používá zastaralou verzi zabezpečeného spojení");
    default:
        return engineText.isEmpty() ? QStringLiteral("certifikát nelze ověřit")
                                    : QStringLiteral("certifikát nelze ověřit (%1)").arg(engineText);
    }
}

QString PageRequests::certificateQuestion(const QString &host, const QString &problem, bool overridable)
{
    const QString told = QStringLiteral("Certifikát serveru %1 není důvěryhodný: %2.\n\n").arg(host, problem);
    if (!overridable)
        return told + QStringLiteral("Spojení s tímto serverem není bezpečné a stránku nelze otevřít.");
    return told
        + QStringLiteral("Kdo spojení odposlouchává, může se za server vydávat. Chcete stránku přesto otevřít? "
                         "Volba platí pro tento server do ukončení programu.");
}

void PageRequests::forgetAcceptedCertificates()
{
    acceptedCertificates().clear();
}

void PageRequests::onDownloadRequested(QWebEngineDownloadRequest *request)
{
    if (request->isSavePageDownload() || request->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    // Its window may have gone meanwhile, so any page's requests take it.
    if (DownloadRequests::instance().continueRunning(request))
        return;
    if (request->page() != m_page)
        return;
    const bool closeAfter = m_openedByPage && showsNothing();
    auto *download = new FileDownload(request);
    const QPointer<PageRequests> self(this);
    emit DownloadRequests::instance().Requested(download);
    if (closeAfter && self && m_actions.closeWindow)
        QTimer::singleShot(0, this, [this] { m_actions.closeWindow(); });
}

bool PageRequests::showsNothing() const
{
    const QString address = m_page->url().toString();
    return (address.isEmpty() || address == QLatin1String("about:blank")) && m_page->history()->count() <= 1;
}
