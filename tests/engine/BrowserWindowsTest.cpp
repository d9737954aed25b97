#include "Waits.h"
#include "app/frmMain.h"
#include "app/panel/frmPM.h"
#include "app/frmSplash.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/Forms.h"
#include "platform/store/SettingsStore.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/Toolbar.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QTest>
#include <QTimer>

namespace {

// A main window with browser windows in it, torn down after each test.
class BrowserWindows : public MainWindowTest
{
protected:
    bool enabled(const char *name) const { return main->menuItem(QString::fromLatin1(name))->isEnabled(); }

    ScriptedMessageBoxes boxes;
};

TEST_F(BrowserWindows, NumbersAreNeverReusedAndTabsCarryThem)
{
    NewWindow(QString());
    NewWindow(QString());
    NewWindow(QString());
    WindowTable &table = windowTable();
    ASSERT_EQ(shared().WindowCount, 3);
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        ASSERT_NE(table.slot(n), nullptr);
        EXPECT_EQ(table.slot(n)->tag(), QString::number(n));
        EXPECT_TRUE(table.used(n));
        EXPECT_TRUE(main->tbsWindows->contains(WindowTabKey(n)));
    }
    EXPECT_EQ(main->tbsWindows->selectedKey(), WindowTabKey(3)) << "the newest window is the active one";

    table.slot(2)->close();
    EXPECT_EQ(shared().WindowCount, 2);
    EXPECT_EQ(table.slot(2), nullptr);
    EXPECT_FALSE(table.used(2));
    EXPECT_FALSE(main->tbsWindows->contains(WindowTabKey(2)));

    NewWindow(QStringLiteral("about:blank"));
    EXPECT_NE(table.slot(4), nullptr);
    EXPECT_EQ(table.slot(2), nullptr);
    EXPECT_EQ(main->tbsWindows->selectedKey(), WindowTabKey(4));
}

TEST_F(BrowserWindows, NumbersBeyondTheTableOpenNothingAndAreLogged)
{
    windowTable().WindowNumber = kMaxWindowNumber;
    NewWindow(QStringLiteral("http://127.0.0.1:1/page"));
    NewWindow(QStringLiteral("http://127.0.0.1:1/again"));
    EXPECT_EQ(windowTable().WindowNumber, kMaxWindowNumber + 2);
    EXPECT_EQ(shared().WindowCount, 0);
    EXPECT_EQ(main->tbsWindows->count(), 0);
    EXPECT_TRUE(boxes.shown.isEmpty());
    const QStringList lines = env.logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(";NewWindow;http://127.0.0.1:1/page")));
    EXPECT_FALSE(windowTable().CreatingWindow);
}

TEST_F(BrowserWindows, CommandsFollowTheOpenWindows)
{
    EXPECT_FALSE(enabled("mnuWindowClose"));
    EXPECT_FALSE(enabled("mnuFilePrint"));
    EXPECT_FALSE(enabled("mnuPageSaveHTML"));
    // The two background saves are offered until the first window's states apply.
    EXPECT_TRUE(enabled("mnuPageSaveToAction"));
    EXPECT_TRUE(enabled("mnuPageSaveBack"));
    EXPECT_FALSE(main->txtAddress->isEnabled());

    NewWindow(QString());
    EXPECT_TRUE(enabled("mnuWindowClose"));
    EXPECT_TRUE(enabled("mnuGoHome"));
    EXPECT_TRUE(enabled("mnuPageSaveBack"));
    EXPECT_FALSE(enabled("mnuWindowNext")) << "one window: nothing to switch to";
    EXPECT_TRUE(main->txtAddress->isEnabled());
    EXPECT_TRUE(main->tbToolbar[1]->button(QStringLiteral("gohome")).isEnabled());
    EXPECT_FALSE(main->tbToolbar[1]->button(QStringLiteral("back")).isEnabled());

    NewWindow(QString());
    EXPECT_TRUE(enabled("mnuWindowNext"));
    EXPECT_TRUE(enabled("mnuWindowPrevious"));

    // Closing one of two leaves the switching commands as they are.
    windowTable().slot(2)->close();
    EXPECT_TRUE(enabled("mnuWindowNext"));

    windowTable().slot(1)->close();
    EXPECT_EQ(shared().WindowCount, 0);
    for (const char *name : {"mnuWindowNext", "mnuWindowPrevious", "mnuFilePrint", "mnuWindowClose", "mnuGoHome",
                             "mnuViewRefresh", "mnuPageSaveHTML", "mnuPageSaveBack"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(enabled(name));
    }
    EXPECT_FALSE(main->txtAddress->isEnabled());
    EXPECT_FALSE(main->tbToolbar[1]->button(QStringLiteral("save")).isEnabled());
}

TEST_F(BrowserWindows, ClosingABackgroundWindowKeepsTheActiveAddress)
{
    NewWindow(QString());
    NewWindow(QString());
    ASSERT_EQ(main->tbsWindows->selectedKey(), WindowTabKey(2));
    main->txtAddress->setEditText(QStringLiteral("typed by the user"));
    windowTable().slot(1)->close();
    EXPECT_EQ(main->txtAddress->currentText(), QStringLiteral("typed by the user"));
    windowTable().slot(2)->close();
    EXPECT_EQ(main->txtAddress->currentText(), QString());
}

TEST_F(BrowserWindows, TheFirstWindowIsMaximisedAndLoadsItsAddress)
{
    const QString page = env.writeFile(QStringLiteral("pages/first.html"), "<title>Prvni</title><p>x</p>");
    NewWindow(page);
    frmWeb *window = windowTable().slot(1);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(main->menuItem(QStringLiteral("mnuWindowMaximize"))->text(), QStringLiteral("&Obnovit okno"));
    EXPECT_TRUE(waitFor([&] { return window->Web->LocationURL().endsWith(QStringLiteral("first.html")); }, 20000));
}

TEST_F(BrowserWindows, ExitClosesEveryWindowAndReleasesItsSlot)
{
    NewWindow(QString());
    NewWindow(QString());
    Forms::get<frmSplash>();
    ASSERT_TRUE(Forms::isLoaded<frmPM>());
    main->mnuFileExit_Click();
    EXPECT_EQ(shared().WindowCount, 0);
    EXPECT_FALSE(windowTable().used(1));
    EXPECT_FALSE(windowTable().used(2));
    EXPECT_FALSE(Forms::isLoaded<frmMain>());
    EXPECT_FALSE(Forms::isLoaded<frmSplash>());
    EXPECT_FALSE(Forms::isLoaded<frmPM>());
    // The configuration is saved once the windows are gone.
    EXPECT_FALSE(GetSetting(QStringLiteral("Settings"), QStringLiteral("MainWidth")).isEmpty());
    EXPECT_FALSE(QFile::exists(env.appFolder() + QStringLiteral("LogError.txt")));
}

// The main window is drawn for browser windows from its first showing: the first one
// opens in the same native window (making it anew would make the frame flicker and
// hold up the first page).
TEST_F(BrowserWindows, TheFirstBrowserWindowKeepsTheMainWindowsNativeWindow)
{
    QTest::qWait(50);
    const WId before = main->winId();
    const QString page = env.writeFile(QStringLiteral("pages/first.htm"), "<title>First</title><p>x</p>");
    ASSERT_NE(openWindow(page, QStringLiteral("First")), nullptr);
    QTest::qWait(50);
    EXPECT_EQ(main->winId(), before);
}

} // namespace
