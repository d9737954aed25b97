#include "Waits.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/store/SettingsStore.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/Toolbar.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {

// A main window with real browser windows: the window walk, the Window menu and the tabs.
class PanelTabs : public MainWindowTest
{
protected:
    // Opens windows 1..last and closes those not kept, so the numbers have gaps.
    void openWindows(int last, std::initializer_list<int> kept)
    {
        for (int n = 1; n <= last; ++n)
            NewWindow(QString());
        for (int n = 1; n <= last; ++n) {
            if (std::find(kept.begin(), kept.end(), n) == kept.end())
                windowTable().slot(n)->close();
        }
        ASSERT_EQ(shared().WindowCount, int(kept.size()));
    }

    void activate(int number) { main->mdiArea->setActiveSubWindow(windowTable().slot(number)); }
    int active() const { return main->ActiveForm() ? main->ActiveForm()->number() : 0; }

    ScriptedMessageBoxes boxes;
};

TEST_F(PanelTabs, NextAndPreviousWalkTheOpenNumbers)
{
    openWindows(12, {3, 7, 12});
    activate(12);
    main->mnuWindowNext_Click();
    EXPECT_EQ(active(), 3);
    EXPECT_TRUE(windowTable().WindowSwitchDone);
    main->mnuWindowPrevious_Click();
    EXPECT_EQ(active(), 12);
    main->tbToolbar_ButtonClick(3, QStringLiteral("next"));
    EXPECT_EQ(active(), 3);
    main->tbToolbar_ButtonClick(3, QStringLiteral("next"));
    EXPECT_EQ(active(), 7);
    EXPECT_EQ(main->tbsWindows->selectedKey(), WindowTabKey(7));

    windowTable().slot(3)->close();
    windowTable().slot(12)->close();
    main->mnuWindowNext_Click();
    EXPECT_EQ(active(), 7) << "one window: nothing to walk to";
}

TEST_F(PanelTabs, ATabClickActivatesItsWindowAndClearsTheLoadedMark)
{
    openWindows(2, {1, 2});
    EXPECT_EQ(active(), 2);
    main->tbsWindows->setImage(WindowTabKey(1), QStringLiteral("prgyes"));
    main->tbsWindows->select(WindowTabKey(1));
    EXPECT_TRUE(waitFor([&] { return active() == 1; }, 5000));
    EXPECT_EQ(main->tbsWindows->image(WindowTabKey(1)), QString());
}

TEST_F(PanelTabs, APresetWithoutAFolderReportsTheMissingTarget)
{
    SaveSetting(PresetSections::Save, QStringLiteral("Caption3"), QStringLiteral("Bez složky"));
    openWindows(1, {1});
    main->tbToolbar_ButtonMenuClick(1, QStringLiteral("save"), QStringLiteral("sav3"), 7);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Cílová cesta neexistuje."));
    EXPECT_EQ(shared().DialogOperation, 5);
}

TEST_F(PanelTabs, CloseWindowButtonClosesTheActiveWindow)
{
    openWindows(2, {1, 2});
    main->tbToolbar_ButtonClick(3, QStringLiteral("closewin"));
    EXPECT_EQ(shared().WindowCount, 1);
    EXPECT_EQ(windowTable().slot(2), nullptr);
}

} // namespace

namespace {

} // namespace

