// Addresses that cannot pose as others, in the real main window: the pages come from a
// server of the test's own that stands in as the proxy for every host name.
#include "Waits.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "platform/controls/StatusBar.h"
#include "platform/engine/BrowserControl.h"
#include "platform/engine/EngineProfile.h"

#include "LoopbackServer.h"
#include "MainWindowTest.h"

#include <QComboBox>
#include <QNetworkProxy>
#include <QTest>

namespace {

constexpr int kDeadlineMs = 30000;

class ShownAddresses : public MainWindowTest
{
protected:
    // The engine reads the proxy once: one server serves the whole suite.
    static void SetUpTestSuite()
    {
        server = new LoopbackServer("<p>stránka</p>");
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"),
                                                         QUrl(server->address({})).port()));
    }

    static void TearDownTestSuite()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        delete server;
        server = nullptr;
    }

    // The engine takes up a new proxy only at a later request: the test's pages wait
    // until one has come through it.
    void SetUp() override
    {
        MainWindowTest::SetUp();
        const QString probe = QStringLiteral("http://vorlan.invalid/zkouska");
        for (int attempt = 0; attempt < 5 && proxy.requestsFor(probe.toUtf8()) == 0; ++attempt) {
            NewWindow(probe);
            waitFor([&] { return proxy.requestsFor(probe.toUtf8()) > 0; }, kDeadlineMs / 5);
        }
        ASSERT_GT(proxy.requestsFor(probe.toUtf8()), 0) << "the engine never used the proxy";
    }

    // Opens a window on the address and waits until its page has loaded from the proxy.
    frmWeb *open(const QString &address)
    {
        const qsizetype before = proxy.requests().size();
        NewWindow(address);
        frmWeb *window = windowTable().slot(windowTable().WindowNumber);
        if (!window || !waitFor([&] { return proxy.requests().size() > before && !window->Web->Busy(); }, kDeadlineMs))
            return nullptr;
        QTest::qWait(200);
        return window;
    }

    // Every text the main window shows an address in.
    QStringList shownTexts(frmWeb *window) const
    {
        QStringList texts = {main->txtAddress->currentText(), window->windowTitle(), main->windowTitle(),
                             main->sbStatusBar->panel(1).text()};
        for (int i = 0; i < main->txtAddress->count(); ++i)
            texts << main->txtAddress->itemText(i);
        return texts;
    }

    static LoopbackServer *server;
    LoopbackServer &proxy = *server;
};

LoopbackServer *ShownAddresses::server = nullptr;

TEST_F(ShownAddresses, ALookAlikeHostShowsItsAceFormAndALatinOneShowsInCzech)
{
    frmWeb *window = open(QStringLiteral("http://xn--80ak6aa92e.com/ucet"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(main->txtAddress->currentText(), QStringLiteral("http://xn--80ak6aa92e.com/ucet"));
    EXPECT_GE(main->txtAddress->findText(QStringLiteral("http://xn--80ak6aa92e.com/ucet")), 0);
    for (const QString &text : shownTexts(window))
        EXPECT_FALSE(text.contains(QChar(0x0430))) << text.toStdString();

    window = open(QStringLiteral("http://příklad.cz/cesta"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(main->txtAddress->currentText(), QStringLiteral("http://příklad.cz/cesta"));
    EXPECT_GE(main->txtAddress->findText(QStringLiteral("http://příklad.cz/cesta")), 0);
    for (const QString &text : shownTexts(window))
        EXPECT_FALSE(text.contains(QStringLiteral("xn--pklad"))) << text.toStdString();
    // The shown text loads the same page again.
    EXPECT_EQ(QUrl::fromUserInput(main->txtAddress->currentText()).host(QUrl::EncodeUnicode),
              QStringLiteral("xn--pklad-zsa96e.cz"));
}

TEST_F(ShownAddresses, ARightToLeftOverrideShowsEscapedInTheListTheFieldAndTheTitle)
{
    const QString escaped = QStringLiteral("http://vorlan.invalid/smlouva%E2%80%AEfdp.exe");
    proxy.route(escaped.toUtf8(), [](const QByteArray &) {
        LoopbackResponse response;
        response.headers = {"Content-Type: text/html; charset=utf-8"};
        response.body = "<p>smlouva</p>";
        return response;
    });
    frmWeb *window = open(escaped);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(main->txtAddress->currentText(), escaped);
    EXPECT_GE(main->txtAddress->findText(escaped), 0);
    const QStringList texts = shownTexts(window);
    for (const QString &text : texts)
        EXPECT_FALSE(text.contains(QChar(0x202E))) << text.toStdString();
}

} // namespace
