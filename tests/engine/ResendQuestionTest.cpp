// A page that came by POST is sent again only when the user agrees, whichever road to a
// reload the user takes.
#include "Waits.h"

#include "app/frmMain.h"
#include "browser/frmWeb.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/Toolbar.h"

#include "LoopbackServer.h"
#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

constexpr int kDeadlineMs = 30000;

bool waitUntil(const std::function<bool()> &condition)
{
    return waitFor(condition, kDeadlineMs);
}

class ResendQuestion : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        server.setPage("/", R"(<title>Formulář</title><body style="margin:0"><form method="post" action="/vysledek">
            <input type="hidden" name="castka" value="100">
            <input type="submit" value="Zaplatit" style="display:block;width:200px;height:100px;margin:0"></form>)");
        server.route("/vysledek", [this](const QByteArray &) {
            LoopbackResponse response;
            response.body = "<title>Zaplaceno " + QByteArray::number(posts()) + "</title>";
            return response;
        });
    }

    int posts() const
    {
        return int(std::count_if(server.requests().begin(), server.requests().end(),
                                 [](const QByteArray &head) { return head.startsWith("POST /vysledek "); }));
    }

    // Sends the form as the user does, and waits for its answer.
    frmWeb *pay()
    {
        frmWeb *window = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Formulář"));
        if (!window)
            return nullptr;
        QWidget *view = window->Web->focusProxy();
        QWidget *target = view->focusProxy() ? view->focusProxy() : view;
        QTest::mouseMove(target, {50, 50});
        QTest::qWait(100);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, {50, 50});
        return waitUntil([&] { return window->windowTitle() == "Zaplaceno 1" && !window->Web->Busy(); }) ? window : nullptr;
    }

    // F5 with the keyboard in the page.
    void pressF5(frmWeb *window)
    {
        QApplication::setActiveWindow(main);
        window->Web->setFocusToPage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    }

    // The question is asked and answered; nothing more goes out for a while.
    bool askedOnce(qsizetype before)
    {
        return waitUntil([&] { return boxes.shown.size() == before + 1; });
    }

    LoopbackServer server{"<title>Jinde</title>"};
    ScriptedMessageBoxes boxes;
};

TEST_F(ResendQuestion, F5OnAPostedPageAsksAndSendsOnlyOnAno)
{
    frmWeb *window = pay();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(posts(), 1);

    boxes.answers = {MsgBoxResult::No};
    pressF5(window);
    ASSERT_TRUE(askedOnce(0));
    const MessageBoxRequest &asked = boxes.shown.first();
    EXPECT_TRUE(asked.prompt.contains(QStringLiteral("Odeslat data formuláře znovu?"))) << asked.prompt.toStdString();
    EXPECT_EQ(asked.buttons(), MsgBoxStyle::YesNo);
    EXPECT_EQ(asked.defaultButton(), MsgBoxStyle::DefaultButton2) << "sending again is never the default";
    QTest::qWait(1000);
    EXPECT_EQ(posts(), 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zaplaceno 1"));

    boxes.answers = {MsgBoxResult::Yes};
    pressF5(window);
    ASSERT_TRUE(askedOnce(1));
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == "Zaplaceno 2" && !window->Web->Busy(); }));
    QTest::qWait(500);
    EXPECT_EQ(posts(), 2);
}

TEST_F(ResendQuestion, EveryOtherRoadToAReloadAsksTooAndAPageGotByGetReloadsUnasked)
{
    frmWeb *window = pay();
    ASSERT_NE(window, nullptr);
    QWebEnginePage *page = window->Web->findChild<QWebEngineView *>()->page();
    struct Road { const char *name; std::function<void()> take; };
    const Road roads[] = {
        {"the toolbar's button", [&] {
             QToolButton *button = main->tbToolbar[1]->button(QStringLiteral("refresh")).widget();
             QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
         }},
        {"Stránka → Obnovit", [&] { main->mnuViewRefresh_Click(); }},
        {"Načíst znovu", [&] { main->mnuPageReload_Click(); }},
        {"the page menu's Obnovit", [&] { page->action(QWebEnginePage::Reload)->trigger(); }},
        {"the page menu's Obnovit celou stránku", [&] { page->action(QWebEnginePage::ReloadAndBypassCache)->trigger(); }},
    };
    for (const Road &road : roads) {
        SCOPED_TRACE(road.name);
        const qsizetype before = boxes.shown.size();
        boxes.answers = {MsgBoxResult::No};
        road.take();
        EXPECT_TRUE(askedOnce(before));
    }
    QTest::qWait(1000);
    EXPECT_EQ(posts(), 1);

    // The same address got by GET is no form's answer.
    window->Web->Navigate(server.address(QStringLiteral("/vysledek")));
    ASSERT_TRUE(waitUntil([&] { return server.requestsFor("/vysledek") == 2 && !window->Web->Busy(); }));
    const qsizetype before = boxes.shown.size();
    pressF5(window);
    ASSERT_TRUE(waitUntil([&] { return server.requestsFor("/vysledek") == 3; }));
    EXPECT_EQ(boxes.shown.size(), before);
    EXPECT_EQ(posts(), 1);
}

TEST_F(ResendQuestion, APostedPageReachedThroughTheHistoryAsksToo)
{
    frmWeb *window = pay();
    ASSERT_NE(window, nullptr);
    window->Web->Navigate(server.address(QStringLiteral("/jinde")));
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == "Jinde" && !window->Web->Busy(); }));
    window->Web->GoBack();
    ASSERT_TRUE(waitUntil([&] { return window->Web->LocationURL().endsWith("/vysledek") && !window->Web->Busy(); }));
    QTest::qWait(500);
    boxes.answers = {MsgBoxResult::No};
    pressF5(window);
    EXPECT_TRUE(askedOnce(0));
    QTest::qWait(1000);
    EXPECT_EQ(posts(), 1);
}

} // namespace
