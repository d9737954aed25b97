#include "EngineTest.h"

#include "core/RegistryServices.h"
#include "platform/store/Registry.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace {

using EngineWarmUp = EngineTest;

// Pages nobody shows: the controls' pages belong to their views, not to the profile.
QList<QWebEnginePage *> sparePages()
{
    return QCoreApplication::instance()->findChildren<QWebEnginePage *>();
}

} // namespace

TEST_F(EngineWarmUp, TheEngineStartsBeforeAnyWindowAndItsSparePageGoesOnceTheFirstPageLoaded)
{
    ASSERT_TRUE(sparePages().isEmpty());
    EngineProfile::warmUp();
    EngineProfile::warmUp();
    ASSERT_EQ(sparePages().size(), 1);
    QWebEnginePage *spare = sparePages().first();
    QSignalSpy loaded(spare, &QWebEnginePage::loadFinished);
    ASSERT_TRUE(waitUntil([&] { return !loaded.isEmpty(); }));
    EXPECT_TRUE(loaded.first().first().toBool());

    // The first window takes the running engine; the spare page stays while its first
    // page loads and goes once it has loaded.
    BrowserControl &control = newControl();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(sparePages().size(), 1);
    ASSERT_TRUE(navigateAndWait(control, logOf(0), fileUrl(writePage(QStringLiteral("a.htm"),
        "<html><head><title>Warm</title></head><body>x</body></html>"))));
    EXPECT_EQ(control.LocationName(), QStringLiteral("Warm"));
    EXPECT_TRUE(waitUntil([] { return sparePages().isEmpty(); }));
    // Once the engine runs, a later warm-up starts nothing more.
    EngineProfile::warmUp();
    EXPECT_TRUE(sparePages().isEmpty());
}

// The engine starts before the program's own start-up: its warm-up reads no registry
// value (a first read would seed and write the registry file out of the start-up's
// order), and the first browser control still gets the values the start-up stored.
TEST_F(EngineWarmUp, ReadsNoRegistryAndTheFirstControlGetsTheRegistrysValues)
{
    EngineProfile::warmUp();
    EXPECT_FALSE(QFileInfo::exists(env.appFolder() + QStringLiteral("windows/registry.reg")));

    RegSetString(HKEY_LOCAL_MACHINE, RegKeys::PostPlatform, QStringLiteral("Vorlan 9.8.7"), QString());
    Registry::instance().setValue(RegRoot::CurrentUser, RegKeys::ExplorerMain, RegValueNames::DisplayInlineImages,
                                  RegValue{RegType::String, QByteArray("no", 3)});
    newControl();
    QWebEngineProfile *profile = QCoreApplication::instance()->findChild<QWebEngineProfile *>();
    ASSERT_NE(profile, nullptr);
    EXPECT_TRUE(profile->httpUserAgent().contains(QStringLiteral("; Vorlan 9.8.7)"))) << profile->httpUserAgent().toStdString();
    EXPECT_FALSE(profile->settings()->testAttribute(QWebEngineSettings::AutoLoadImages));
}
