#include "EngineTest.h"
#include "LoopbackServer.h"

#include "platform/engine/OfflineInterceptor.h"
#include "platform/store/RegistryKeys.h"

#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QtEndian>

namespace {

void setOffline(quint32 flag)
{
    QByteArray data(4, '\0');
    qToLittleEndian(flag, data.data());
    Registry::instance().setValue(RegRoot::CurrentUser, RegKeys::InternetSettings, RegValueNames::GlobalUserOffline,
                                  RegValue{RegType::Dword, data});
}

class OfflineTest : public EngineTest
{
protected:
    void TearDown() override
    {
        EngineTest::TearDown();
        EngineProfile::setPostPlatformTokenSource({});
    }
};

} // namespace

TEST(OfflineInterceptor, RefusesOnlyWhatNeedsTheNetwork)
{
    const struct { const char *url; bool network; } cases[] = {
        {"http://127.0.0.1/", true},   {"HTTPS://example.org/", true}, {"ftp://example.org/f", true},
        {"ws://127.0.0.1:1/", true},   {"wss://example.org/", true},   {"file:///tmp/a.html", false},
        {"about:blank", false},        {"data:text/html,x", false},    {"qrc:/icons/a.png", false},
        {"blob:file:///1234", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(OfflineInterceptor::needsNetwork(QUrl(QString::fromLatin1(c.url))), c.network);
    }
}

// The flag is read at each request, so switching it needs no call into the engine;
// the tokens reach the header the server sees.
TEST_F(OfflineTest, OfflineRefusesWebPagesButLoadsLocalOnesUntilSwitchedBack)
{
    LoopbackServer server("<html><head><title>Ze serveru</title></head><body>web</body></html>");
    ASSERT_TRUE(server.isListening());
    const QString local = writePage(QStringLiteral("local.html"), "<html><head><meta charset='utf-8'><title>Místní</title></head></html>");
    EngineProfile::setPostPlatformTokenSource([] { return QStringList{QStringLiteral("Vorlan 2.40.164")}; });
    setOffline(1);

    BrowserControl &control = newControl();
    BrowserEventLog &log = logOf(0);
    ASSERT_TRUE(navigateAndWait(control, log, server.address(QStringLiteral("/page.html")))) << log.describe();
    EXPECT_EQ(server.connections(), 0);
    EXPECT_NE(control.LocationName(), QStringLiteral("Ze serveru"));

    ASSERT_TRUE(navigateAndWait(control, log, local)) << log.describe();
    EXPECT_EQ(control.LocationName(), QString::fromUtf8("Místní"));

    setOffline(0);
    ASSERT_TRUE(navigateAndWait(control, log, server.address(QStringLiteral("/page.html")))) << log.describe();
    EXPECT_EQ(control.LocationName(), QStringLiteral("Ze serveru"));
    ASSERT_FALSE(server.requests().isEmpty());
    EXPECT_TRUE(server.requests().front().contains("; Vorlan 2.40.164)")) << server.requests().front().toStdString();
}

TEST_F(OfflineTest, InlineImagesFollowTheDisplaySwitch)
{
    const struct { const char *name; std::optional<QByteArray> stored; bool shown; } cases[] = {
        {"missing", std::nullopt, true},
        {"yes", QByteArray("yes", 4), true},
        {"no", QByteArray("no", 3), false},
        {"No in capitals", QByteArray("No", 3), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.stored)
            Registry::instance().setValue(RegRoot::CurrentUser, RegKeys::ExplorerMain, RegValueNames::DisplayInlineImages,
                                          RegValue{RegType::String, *c.stored});
        QWebEngineProfile *profile = EngineProfile::profileForNewPage();
        EXPECT_EQ(profile->settings()->testAttribute(QWebEngineSettings::AutoLoadImages), c.shown);
    }
}
