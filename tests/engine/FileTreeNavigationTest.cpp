#include "Waits.h"
#include "app/frmMain.h"
#include "browser/LinksPaneRules.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/FileSettings.h"
#include "core/SharedState.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/StatusPanel.h"
#include "platform/controls/TreeView.h"
#include "platform/engine/BrowserControl.h"

#include "LoopbackServer.h"
#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QApplication>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

namespace {

// The folder tree beside a real browser window, clicked and keyed as a user does.
class FileTreeNavigation : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        docs = env.path("home/Documents");
        for (const char *name : {"a.html", "b.html", "c.html", " #d.html "})
            env.writeFile(QString("home/Documents/") + name,
                          QByteArray("<title>") + QByteArray(name).trimmed() + "</title><p>x</p>");
        env.writeFile("home/Documents/sub/in.html", "<title>in</title>");
        start = env.writeFile("pages/start.html", "<title>Start</title>");
        shared().PersonalDir = docs;
        FileSettings::Pattern.save("*.*");
        window = openWindow(start, "Start");
        ASSERT_NE(window, nullptr);
        main->mnuViewPane_Click(2);
        tree = main->trwPath;
        QApplication::setActiveWindow(main);
        tree->node(docs).setExpanded(true);
        QCoreApplication::processEvents();
    }

    void click(const QString &text, Qt::MouseButton button = Qt::LeftButton)
    {
        QTreeWidget *widget = tree->treeWidget();
        const auto items = widget->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        QTest::mouseClick(widget->viewport(), button, {}, widget->visualItemRect(items.value(0)).center());
    }

    void clickNavPanel()
    {
        StatusPanel &panel = main->sbFileBar->panel(QStringLiteral("nav"));
        QTest::mouseClick(&panel, Qt::LeftButton, {}, panel.rect().center());
    }

    bool titled(const QString &title) { return waitFor([&] { return window->windowTitle() == title; }, 30000); }

    QString docs;
    QString start;
    frmWeb *window = nullptr;
    TreeView *tree = nullptr;
};

TEST_F(FileTreeNavigation, AClickShowsTheExactFileAndALockedKeyboardShowsNothing)
{
    click("a.html");
    ASSERT_TRUE(titled("a.html"));
    click(" #d.html ");
    EXPECT_TRUE(waitFor([&] { return QUrl(window->Web->LocationURL()).toLocalFile() == docs + "/ #d.html "; }, 30000))
        << "a name with blanks at its ends and a \"#\" shows that very file, not " << window->Web->LocationURL().toStdString();

    click("a.html");
    ASSERT_TRUE(titled("a.html"));
    clickNavPanel();
    QTest::keyClick(tree->treeWidget(), Qt::Key_Down);
    EXPECT_EQ(shared().LastNodeKey, docs + "/b.html");
    QTest::qWait(1000);
    EXPECT_EQ(window->windowTitle(), "a.html") << "the locked tree only selects";
    click("c.html");
    ASSERT_TRUE(titled("c.html")) << "a click acts on a locked tree";
    EXPECT_FALSE(shared().NavOnSelect);
    clickNavPanel();
    QTest::keyClick(tree->treeWidget(), Qt::Key_Up);
    EXPECT_TRUE(titled("b.html")) << "unlocked, the keyboard shows the file";

    click("a.html", Qt::RightButton);
    QTest::qWait(1000);
    EXPECT_EQ(window->windowTitle(), "b.html") << "the right button only selects";
    // The right button brought up the tree's pop-up menu; the user leaves it with Esc.
    QWidget *menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// A favorites file picked in the folder tree opens its address, but never a script:
// that would run in the page the window shows now.
TEST_F(FileTreeNavigation, AScriptShortcutIsRefusedAndAnAddressOpens)
{
    env.writeFile("home/Documents/skript.url", "[InternetShortcut]\r\nURL=javascript:document.title='ran';'ran'\r\n");
    env.writeFile("home/Documents/odkaz.url", "[InternetShortcut]\r\nURL=" + QUrl::fromLocalFile(docs + "/a.html").toEncoded() + "\r\n");
    tree->node(docs).setExpanded(false);
    tree->node(docs).setExpanded(true);
    QCoreApplication::processEvents();
    ScriptedMessageBoxes boxes;

    click("skript.url");
    QTest::qWait(1500);
    EXPECT_EQ(window->windowTitle(), "Start") << "the shortcut's script ran in the shown page";
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, ScriptLinkRefusedMessage);

    click("odkaz.url");
    EXPECT_TRUE(titled("a.html")) << "a shortcut to a page still opens it";
    EXPECT_EQ(boxes.shown.size(), 1);

    // The same over a window that shows no page yet.
    NewWindow(QString());
    frmWeb *blank = windowTable().slot(windowTable().WindowNumber);
    ASSERT_TRUE(waitFor([&] { return blank->windowTitle() == "about:blank" && !blank->Web->Busy(); }, 30000));
    QApplication::setActiveWindow(main);
    click("skript.url");
    QTest::qWait(1500);
    EXPECT_EQ(evaluate(blank, "document.body ? document.body.textContent : ''").toString(), "")
        << "the shortcut's script ran in the empty page";
    EXPECT_EQ(boxes.shown.size(), 2);
}

// Only the scheme makes a script: "javascript:" further on is part of an ordinary path.
TEST_F(FileTreeNavigation, AShortcutWithJavascriptInItsPathOpens)
{
    LoopbackServer server("<html><head><title>Dokumentace</title></head><body>docs</body></html>");
    env.writeFile("home/Documents/docs.url",
                  "[InternetShortcut]\r\nURL=" + server.address("/docs/javascript:void").toUtf8() + "\r\n");
    tree->node(docs).setExpanded(false);
    tree->node(docs).setExpanded(true);
    QCoreApplication::processEvents();
    ScriptedMessageBoxes boxes;

    click("docs.url");
    EXPECT_TRUE(titled("Dokumentace"));
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.value(0).prompt.toStdString();
    EXPECT_EQ(server.requestsFor("/docs/javascript:void"), 1);
    EXPECT_EQ(window->Web->LocationURL(), server.address("/docs/javascript:void"));
}

TEST_F(FileTreeNavigation, FoldersShowWithNavDirs)
{
    click("sub");
    QTest::qWait(1000);
    EXPECT_EQ(window->windowTitle(), "Start") << "NavDirs is off at first";
    EXPECT_EQ(tree->node(docs + "/sub").children(), 2) << "but the click reads the folder";
    shared().NavDirs = true;
    click("sub");
    EXPECT_TRUE(waitFor([&] { return QUrl(window->Web->LocationURL()).toLocalFile() == docs + "/sub/"; }, 30000))
        << window->Web->LocationURL().toStdString();
}

} // namespace
