// Windows a page opens itself: a form sent to a new window, a window a script writes
// into, a window named by links, a pop-up that closes itself.
#include "Waits.h"

#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"

#include "LoopbackServer.h"
#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QPointer>
#include <QTest>

namespace {

constexpr int kDeadlineMs = 30000;

bool waitUntil(const std::function<bool()> &condition)
{
    return waitFor(condition, kDeadlineMs);
}

LoopbackResponse pageTitled(const QByteArray &title, const QByteArray &body = {})
{
    LoopbackResponse response;
    response.body = "<title>" + title + "</title>" + body;
    return response;
}

class PageWindows : public MainWindowTest
{
protected:
    // A user's click into the main window, brought to the front: the pointer moves onto
    // the spot first.
    void click(frmWeb *window, QPoint point)
    {
        main->activateWindow();
        ASSERT_TRUE(waitFor([this] { return QApplication::activeWindow() == main; }, 5000));
        QWidget *view = window->Web->focusProxy();
        QWidget *target = view->focusProxy() ? view->focusProxy() : view;
        QTest::mouseMove(target, point);
        QTest::qWait(100);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, point);
    }

    static frmWeb *newest() { return windowTable().slot(windowTable().WindowNumber); }

    // The one thing on a test page: a block the user clicks at (50, 50).
    static QByteArray pageWith(const QByteArray &title, const QByteArray &clickable)
    {
        return "<title>" + title + "</title><body style='margin:0'>" + clickable + "</body>";
    }

    LoopbackServer server{"<title>Jinde</title>"};
    ScriptedMessageBoxes boxes;
};

TEST_F(PageWindows, AFormSentToANewWindowArrivesAsAPostWithItsData)
{
    server.setPage("/", pageWith("Formulář", R"(<form method="post" action="/post?blank" target="_blank">
        <input type="hidden" name="a" value="2">
        <input type="submit" value="Odeslat" style="display:block;width:200px;height:100px;margin:0"></form>)"));
    server.route("/post", [](const QByteArray &) { return pageTitled("Přijato"); });
    frmWeb *opener = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Formulář"));
    ASSERT_NE(opener, nullptr);

    click(opener, {50, 50});
    ASSERT_TRUE(waitUntil([&] { return windowTable().WindowNumber == 2 && newest() && newest()->windowTitle() == "Přijato"; }));
    const qsizetype sent = server.requests().indexOf(server.requests().last());
    EXPECT_TRUE(server.requests().at(sent).startsWith("POST /post?blank ")) << server.requests().at(sent).toStdString();
    EXPECT_EQ(server.bodies().at(sent), QByteArray("a=2"));
    EXPECT_EQ(server.requestsFor("/post?blank"), 1) << "the window fetched its address once more";
    EXPECT_EQ(newest()->Web->LocationURL(), server.address(QStringLiteral("/post?blank")));
    EXPECT_EQ(main->txtAddress->currentText(), server.address(QStringLiteral("/post?blank")));
    EXPECT_EQ(shared().WindowCount, 2);
    EXPECT_EQ(main->ActiveForm(), newest());
    EXPECT_TRUE(main->isActiveByTab(newest()));
}

// The engine ends the program when it draws what a script wrote into a new window's
// first document: the window shows a copy of it as a document of its own, and the
// script's handle stays the window the user sees.
TEST_F(PageWindows, AWindowAScriptOpensEmptyAndWritesIntoShowsTheTextAndGoesOnward)
{
    server.setPage("/", pageWith("Pisatel", R"(<div style="width:200px;height:100px" onclick="
        window.w = window.open('', '_blank');
        w.document.write('<title>Napsáno</title><p>Text od otvírače</p>'
            + '<script>document.write(\'<p>jednou</p>\'); opener.document.title += \'!\';</scr' + 'ipt>');
        w.document.close();">napsat</div>)"));
    server.route("/dalsi", [](const QByteArray &) { return pageTitled("Další"); });
    frmWeb *opener = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Pisatel"));
    ASSERT_NE(opener, nullptr);

    click(opener, {50, 50});
    ASSERT_TRUE(waitUntil([&] { return shared().WindowCount == 2; }));
    QPointer<frmWeb> written = newest();
    ASSERT_NE(written, nullptr);
    QWidget *view = written->Web->focusProxy();
    ASSERT_TRUE(waitUntil([&] { return written && view->isVisible(); }));
    QTest::qWait(500); // drawn, and the program still runs
    ASSERT_TRUE(written);
    EXPECT_EQ(written->windowTitle(), QStringLiteral("Napsáno"));
    EXPECT_EQ(evaluate(written, QStringLiteral("document.body.innerText")), QStringLiteral("Text od otvírače\n\njednou"));
    EXPECT_EQ(opener->windowTitle(), QStringLiteral("Pisatel!")) << "the written script ran again";
    EXPECT_EQ(evaluate(written, QStringLiteral("window.opener !== null")), true);

    // The opener's handle names the shown window: what it writes there shows, and it
    // sends the window onward.
    opener->Web->runScript(QStringLiteral("w.document.body.insertAdjacentHTML('beforeend', '<p>Dopsáno</p>')"));
    EXPECT_TRUE(waitUntil([&] { return evaluate(written, QStringLiteral("document.body.innerText")).toString().endsWith("Dopsáno"); }));
    opener->Web->runScript(QStringLiteral("w.location.href = '/dalsi'"));
    EXPECT_TRUE(waitUntil([&] { return written && written->windowTitle() == QStringLiteral("Další"); }));
    EXPECT_EQ(shared().WindowCount, 2);
    EXPECT_EQ(server.requestsFor("/dalsi"), 1);

    // Written into before its own address has loaded, which the writing stops.
    opener->Web->runScript(QStringLiteral("window.open('/dalsi').document.write('<p>Text od otvírače</p>')"));
    ASSERT_TRUE(waitUntil([&] { return shared().WindowCount == 3; }));
    ASSERT_TRUE(waitUntil([&] { return newest()->Web->focusProxy()->isVisible(); }));
    QTest::qWait(500);
    EXPECT_EQ(evaluate(newest(), QStringLiteral("document.body.innerText")), QStringLiteral("Text od otvírače"));

    // Writing that is never closed shows once it has rested; a base address written in
    // does not give the copy another site's rights.
    QString elsewhere = server.address(QStringLiteral("/jinde/"));
    elsewhere.replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));
    opener->Web->runScript(QStringLiteral("var v = window.open(''); v.document.write('<base href=\"%1\"><p>Neuzavřeno</p>');"
                                          "setTimeout(function () { v.document.write('<p>Později</p>'); }, 300);").arg(elsewhere));
    ASSERT_TRUE(waitUntil([&] { return shared().WindowCount == 4; }));
    ASSERT_TRUE(waitUntil([&] { return newest()->Web->focusProxy()->isVisible(); }));
    QTest::qWait(500);
    EXPECT_EQ(evaluate(newest(), QStringLiteral("document.body.innerText")), QStringLiteral("Neuzavřeno\n\nPozději"));
    EXPECT_EQ(evaluate(newest(), QStringLiteral("self.origin")), evaluate(opener, QStringLiteral("self.origin")));
    EXPECT_EQ(evaluate(newest(), QStringLiteral("document.baseURI")), elsewhere);

    // More than the engine takes whole: the window stays empty rather than drawing it.
    opener->Web->runScript(QStringLiteral("var big = window.open('');"
                                          "big.document.write('<title>Velké</title>' + '<b>x</b>'.repeat(300000)); big.document.close();"));
    ASSERT_TRUE(waitUntil([&] { return shared().WindowCount == 5 && newest()->windowTitle() == QStringLiteral("Velké"); }));
    QTest::qWait(2000);
    EXPECT_FALSE(newest()->Web->focusProxy()->isVisible());
}

TEST_F(PageWindows, ALinkNamingAWindowReusesItAndThatPopUpClosingItselfGivesTheOpenerBack)
{
    int visits = 0;
    server.setPage("/", pageWith("Odkazy", R"(<a href="/cil" target="jmeno" style="display:block;width:200px;height:100px">cíl</a>)"));
    server.route("/cil", [&visits](const QByteArray &) { return pageTitled("Cíl " + QByteArray::number(++visits)); });
    // Window 1 is another one, so that the opener is not the window the frame falls back on.
    frmWeb *other = openWindow(server.address(QStringLiteral("/jinde")), QStringLiteral("Jinde"));
    ASSERT_NE(other, nullptr);
    frmWeb *opener = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Odkazy"));
    ASSERT_NE(opener, nullptr);

    click(opener, {50, 50});
    ASSERT_TRUE(waitUntil([&] { return newest() != opener && newest()->windowTitle() == "Cíl 1"; }));
    QPointer<frmWeb> named = newest();
    main->windowArea()->setActiveSubWindow(opener);
    click(opener, {50, 50});
    ASSERT_TRUE(waitUntil([&] { return named && named->windowTitle() == "Cíl 2"; }));
    QTest::qWait(300);
    EXPECT_EQ(main->ActiveForm(), named.data()) << "the named window was not brought to the front";
    EXPECT_TRUE(main->isActiveByTab(named));
    // Behind, it loads what its own script asks, long after any click, and stays behind.
    main->windowArea()->setActiveSubWindow(opener);
    QTest::qWait(3100);
    named->Web->runScript(QStringLiteral("location.href = '/cil'"));
    ASSERT_TRUE(waitUntil([&] { return named && named->windowTitle() == "Cíl 3"; }));
    QTest::qWait(300);
    EXPECT_EQ(main->ActiveForm(), opener);
    EXPECT_EQ(shared().WindowCount, 3);
    EXPECT_EQ(windowTable().WindowNumber, 3);

    main->windowArea()->setActiveSubWindow(named);
    ASSERT_TRUE(main->isActiveByTab(named));
    named->Web->runScript(QStringLiteral("window.close()"));
    ASSERT_TRUE(waitUntil([&] { return !named; }));
    EXPECT_EQ(main->ActiveForm(), opener);
    EXPECT_TRUE(main->isActiveByTab(opener));
}

} // namespace
