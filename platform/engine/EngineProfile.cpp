#include "platform/engine/EngineProfile.h"

#include "platform/engine/OfflineInterceptor.h"
#include "platform/store/RegistryKeys.h"
#include "platform/store/RegistryRead.h"
#include "platform/system/Singleton.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QUrl>

#include <optional>
#include <utility>

namespace {

struct ProfileState
{
    QPointer<QWebEngineProfile> profile;
    QPointer<QWebEnginePage> warmPage; // keeps the engine busy starting until a window needs it
    QString engineAgent; // the engine's own User-Agent, before any token
    EngineProfile::TokenSource tokens;
};

ProfileState &state()
{
    return Singleton<ProfileState>::instance();
}

std::optional<QString> textOf(const std::optional<RegValue> &value)
{
    if (!value || (value->type != RegType::String && value->type != RegType::ExpandString))
        return std::nullopt;
    const qsizetype end = value->data.indexOf('\0');
    return QString::fromUtf8(end < 0 ? value->data : value->data.left(end));
}

// The first profile brings the engine up, and the engine reads its start-up choices
// (such as its locale) only then: whatever it must know from its start is set here,
// before that. Nothing here reads the registry, so the engine can start before the
// program's own start-up touches any file.
QWebEngineProfile *createProfile()
{
    const QString languages = EngineProfile::chooseLanguage();
    auto *profile = new QWebEngineProfile(QCoreApplication::instance());
    profile->setHttpAcceptLanguage(languages);
    // The offline value is read at each network request, never here.
    profile->setUrlRequestInterceptor(new OfflineInterceptor(&RegistryRead::isOffline, profile));
    return profile;
}

void applyRegistrySettings(QWebEngineProfile *profile)
{
    profile->setHttpUserAgent(userAgentWithTokens(state().engineAgent, EngineProfile::postPlatformTokens()));
    profile->settings()->setAttribute(QWebEngineSettings::AutoLoadImages, EngineProfile::inlineImagesShown());
}

QString cleanedToken(const QString &token)
{
    QString kept;
    for (const QChar c : token) {
        const bool printable = c.unicode() >= 0x20 && c.unicode() < 0x7f;
        if (printable && c != QLatin1Char('(') && c != QLatin1Char(')') && c != QLatin1Char('\\'))
            kept += c;
    }
    return kept.simplified();
}

// The index of the ")" that closes the first comment, or -1.
qsizetype firstCommentEnd(const QString &agent)
{
    const qsizetype open = agent.indexOf(QLatin1Char('('));
    return open < 0 ? -1 : agent.indexOf(QLatin1Char(')'), open);
}

QWebEngineProfile *sharedProfile()
{
    ProfileState &s = state();
    if (!s.profile) {
        s.profile = createProfile();
        s.engineAgent = s.profile->httpUserAgent();
    }
    return s.profile;
}

} // namespace

QWebEngineProfile *EngineProfile::profileForNewPage()
{
    QWebEngineProfile *profile = sharedProfile();
    applyRegistrySettings(profile);
    return profile;
}

void EngineProfile::releaseSparePageAfter(QWebEnginePage *page)
{
    QWebEnginePage *spare = std::exchange(state().warmPage, nullptr);
    if (!spare)
        return;
    QObject::connect(page, &QWebEnginePage::loadFinished, spare, &QObject::deleteLater);
    QObject::connect(page, &QObject::destroyed, spare, &QObject::deleteLater);
}

void EngineProfile::warmUp()
{
    ProfileState &s = state();
    if (s.profile)
        return;
    QWebEngineProfile *profile = sharedProfile();
    s.warmPage = new QWebEnginePage(profile, profile);
    s.warmPage->load(QUrl(QStringLiteral("about:blank")));
}

void EngineProfile::resetInstance()
{
    ProfileState &s = state();
    delete s.warmPage.data();
    delete s.profile.data();
    s.engineAgent.clear();
}

void EngineProfile::setPostPlatformTokenSource(TokenSource source)
{
    state().tokens = std::move(source);
}

QStringList EngineProfile::postPlatformTokens()
{
    const TokenSource &source = state().tokens;
    if (source)
        return source();
    // Every value name under the Post Platform key joins the User-Agent.
    return RegistryRead::valueNames(HKEY_LOCAL_MACHINE, RegKeys::PostPlatform);
}

bool EngineProfile::inlineImagesShown()
{
    const auto text = textOf(RegistryRead::value(HKEY_CURRENT_USER, RegKeys::ExplorerMain, RegValueNames::DisplayInlineImages));
    return !text || text->trimmed().compare(QLatin1String("no"), Qt::CaseInsensitive) != 0;
}

QString EngineProfile::chooseLanguage()
{
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    return QStringLiteral("cs-CZ,cs;q=0.9,en;q=0.5");
}

QString userAgentWithTokens(const QString &base, const QStringList &tokens)
{
    QStringList kept;
    for (const QString &token : tokens) {
        const QString cleaned = cleanedToken(token);
        if (!cleaned.isEmpty() && !kept.contains(cleaned, Qt::CaseInsensitive))
            kept << cleaned;
    }
    if (kept.isEmpty())
        return base;
    const QString joined = kept.join(QLatin1String("; "));
    const qsizetype end = firstCommentEnd(base);
    if (end < 0)
        return base.isEmpty() ? QLatin1Char('(') + joined + QLatin1Char(')')
                              : base + QLatin1String(" (") + joined + QLatin1Char(')');
    const bool emptyComment = base.at(end - 1) == QLatin1Char('(');
    return base.left(end) + (emptyComment ? QString() : QStringLiteral("; ")) + joined + base.mid(end);
}
