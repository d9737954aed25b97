#include "app/frmMain.h"
#include "app/frmPM.h"
#include "browser/WindowTable.h"
#include "core/SharedState.h"
#include "platform/ButtonMenu.h"
#include "platform/Forms.h"
#include "platform/SettingsStore.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"

#include "ScriptedMessageBoxes.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace {

// A main window without browser windows, shown on the offscreen platform.
class MainPanel : public TempEnvTest
{
protected:
    void SetUp() override { open(); }

    void TearDown() override
    {
        close();
        resetWindowTable();
    }

    void open()
    {
        resetWindowTable();
        main = Forms::get<frmMain>();
        main->tmrNW->stop();
        main->show();
    }

    void close()
    {
        if (Forms::isLoaded<frmMain>())
            Forms::get<frmMain>()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    int pressed(const char *key) const { return main->tbToolbar[1]->button(QString::fromLatin1(key)).value(); }
    QString title() const { return main->tbMainPane->text(); }
    bool ticked(int pane) const { return main->mnuViewPane[size_t(pane)]->isChecked(); }
    bool popupTicked(int pane) const { return Forms::get<frmPM>()->mnuPaneViewItem[size_t(pane)]->isChecked(); }
    bool logged() const { return QFile::exists(env.appFolder() + QStringLiteral("LogError.txt")); }

    frmMain *main = nullptr;
    ScriptedMessageBoxes boxes;
};

TEST_F(MainPanel, StartsWithTheTitleStripOnly)
{
    EXPECT_FALSE(main->picMain->isHidden());
    EXPECT_EQ(title(), QStringLiteral("Oblíbené"));
    EXPECT_EQ(main->shownPane(), 0);
    EXPECT_EQ(pressed("favorites"), 0);
    EXPECT_EQ(pressed("folders"), 0);
    EXPECT_TRUE(ticked(1));
    EXPECT_TRUE(popupTicked(1));
    for (int pane : {5, 6}) {
        SCOPED_TRACE(pane);
        EXPECT_FALSE(main->mnuViewPane[size_t(pane)]->isVisible());
        EXPECT_FALSE(main->mnuViewPane[size_t(pane)]->isEnabled());
    }
    EXPECT_FALSE(main->sbFileBar->panel(QStringLiteral("nav")).picture().isNull());

    main->mnuViewMainPanel_Click();
    main->mnuViewMainPanel_Click();
    main->showNextPane();
    main->tbMainPane_DblClick();
    EXPECT_EQ(main->shownPane(), 0);
    EXPECT_EQ(title(), QStringLiteral("Oblíbené"));
    EXPECT_EQ(pressed("favorites"), 0);
    EXPECT_FALSE(shared().FavoritesLoaded);
}

TEST_F(MainPanel, ChoosingAPaneBuildsItOnce)
{
    const struct { int pane; bool nav; const char *title; bool SharedState::*built; } cases[] = {
        {1, true, "Oblíbené", &SharedState::FavoritesLoaded},
        {2, false, "Složky a soubory (uzamčeno)", &SharedState::FileTreeLoaded},
        {2, true, "Složky a soubory", &SharedState::FileTreeLoaded},
        {3, true, "Hledat soubory", &SharedState::SearchPaneReady},
        {4, true, "Odkazy", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        shared().NavOnSelect = c.nav;
        main->mnuViewPane_Click(c.pane);
        EXPECT_EQ(main->shownPane(), c.pane);
        EXPECT_EQ(title(), QString::fromUtf8(c.title));
        EXPECT_EQ(pressed("favorites"), c.pane == 1 ? 1 : 0);
        EXPECT_EQ(pressed("folders"), c.pane == 2 ? 1 : 0);
        for (int i = 1; i <= 6; ++i) {
            EXPECT_EQ(ticked(i), i == c.pane);
            EXPECT_EQ(popupTicked(i), i == c.pane);
        }
        if (c.built) {
            EXPECT_TRUE(shared().*c.built);
        }
    }
}

TEST_F(MainPanel, TheFirstShowingOfThePanelBuildsTheChosenPane)
{
    main->mnuViewPane_Click(2);
    main->mnuViewMainPanel_Click();
    shared().FileTreeLoaded = false;
    main->mnuViewMainPanel_Click();
    EXPECT_TRUE(shared().FileTreeLoaded);
    EXPECT_EQ(pressed("folders"), 1) << "showing the panel again presses its pane's button";
    EXPECT_FALSE(shared().FavoritesLoaded) << "only the shown pane is built";
}

TEST_F(MainPanel, F12AndTheTitleFollowThePaneCycle)
{
    const std::pair<int, int> steps[] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}};
    for (const auto &[from, to] : steps) {
        SCOPED_TRACE(from);
        main->mnuViewPane_Click(from);
        main->showNextPane();
        EXPECT_EQ(main->shownPane(), to);
        main->mnuViewPane_Click(from);
        main->tbMainPane_DblClick();
        EXPECT_EQ(main->shownPane(), to);
    }
}

TEST_F(MainPanel, HidingReleasesThePaneButtons)
{
    main->mnuViewPane_Click(2);
    main->mnuViewMainPanel_Click();
    EXPECT_TRUE(main->picMain->isHidden());
    EXPECT_FALSE(main->mnuViewMainPanel->isChecked());
    EXPECT_EQ(pressed("folders"), 0);
    main->mnuViewPane_Click(3);
    EXPECT_FALSE(main->picMain->isHidden()) << "choosing a pane shows the panel";
    EXPECT_TRUE(main->mnuViewMainPanel->isChecked());
}

TEST_F(MainPanel, ThePopupChoiceReleasesBothButtons)
{
    main->mnuViewPane_Click(2);
    Forms::get<frmPM>()->mnuPaneViewItem_Click(3);
    EXPECT_EQ(main->shownPane(), 3);
    EXPECT_EQ(pressed("folders"), 0);
    EXPECT_EQ(pressed("favorites"), 0);
    EXPECT_TRUE(ticked(3));
}

TEST_F(MainPanel, PaneButtonsShowOrHideThePanel)
{
    main->mnuViewPane_Click(2);
    Toolbar *bar = main->tbToolbar[1];
    bar->button(QStringLiteral("favorites")).setValue(1);
    main->tbToolbar_ButtonClick(1, QStringLiteral("favorites"));
    EXPECT_EQ(main->shownPane(), 1);
    EXPECT_EQ(pressed("favorites"), 1);
    bar->button(QStringLiteral("favorites")).setValue(0);
    main->tbToolbar_ButtonClick(1, QStringLiteral("favorites"));
    EXPECT_TRUE(main->picMain->isHidden());
    main->tbToolbar_ButtonClick(0, QStringLiteral("close"));
    EXPECT_FALSE(main->picMain->isHidden());
    main->tbToolbar_ButtonClick(0, QStringLiteral("close"));
    EXPECT_TRUE(main->picMain->isHidden());
}

TEST_F(MainPanel, DropDownsAreFilledFromTheSettingsAtEveryOpening)
{
    SaveSetting(PresetSections::Home, QStringLiteral("1"), QStringLiteral("http://a.example/"));
    SaveSetting(PresetSections::Home, QStringLiteral("Caption1"), QStringLiteral("A & B"));
    SaveSetting(PresetSections::Home, QStringLiteral("2"), QStringLiteral("http://b.example/"));
    SaveSetting(PresetSections::Save, QStringLiteral("1"), QStringLiteral("/data"));
    SaveSetting(PresetSections::Save, QStringLiteral("Caption1"), QStringLiteral("Data"));
    SaveSetting(PresetSections::Save, QStringLiteral("2"), QStringLiteral("/data2"));

    ButtonMenu &home = main->tbToolbar[1]->button(QStringLiteral("gohome")).menu();
    main->tbToolbar_ButtonDropDown(1, QStringLiteral("gohome"));
    ASSERT_EQ(home.count(), 34);
    EXPECT_EQ(home.itemText(QStringLiteral("hom")), QStringLiteral("Hlavní domovská stránka"));
    EXPECT_EQ(home.itemText(3), QStringLiteral("A && B"));
    EXPECT_EQ(home.itemTag(3), QStringLiteral("http://a.example/"));
    EXPECT_EQ(home.itemText(4), QString());
    EXPECT_TRUE(home.isItemEnabled(4));
    EXPECT_EQ(home.itemTag(4), QStringLiteral("http://b.example/"));
    EXPECT_EQ(home.itemText(34), QStringLiteral("Změnit seznam"));

    ButtonMenu &save = main->tbToolbar[1]->button(QStringLiteral("save")).menu();
    main->tbToolbar_ButtonDropDown(1, QStringLiteral("save"));
    EXPECT_EQ(save.itemText(QStringLiteral("sav1")), QStringLiteral("Data"));
    EXPECT_TRUE(save.isItemEnabled(QStringLiteral("sav1")));
    EXPECT_EQ(save.itemText(QStringLiteral("sav2")), QStringLiteral(" nevyužito"));
    EXPECT_FALSE(save.isItemEnabled(QStringLiteral("sav2")));
    EXPECT_EQ(save.itemTag(QStringLiteral("sav2")), QStringLiteral("/data2"));

    SaveSetting(PresetSections::Save, QStringLiteral("Caption2"), QStringLiteral("Druhá"));
    main->tbToolbar_ButtonDropDown(1, QStringLiteral("save"));
    EXPECT_EQ(save.itemText(QStringLiteral("sav2")), QStringLiteral("Druhá"));
    EXPECT_TRUE(save.isItemEnabled(QStringLiteral("sav2")));
    EXPECT_FALSE(logged());
}

TEST_F(MainPanel, WindowCommandsWithoutAWindowDoNothing)
{
    main->tbToolbar_ButtonClick(3, QStringLiteral("closewin"));
    main->tbToolbar_ButtonClick(3, QStringLiteral("next"));
    main->tbToolbar_ButtonClick(3, QStringLiteral("prev"));
    main->tbToolbar_ButtonMenuClick(1, QStringLiteral("save"), QStringLiteral("saveback"), 2);
    main->tbToolbar_ButtonMenuClick(1, QStringLiteral("save"), QStringLiteral("sav1"), 5);
    main->tbToolbar_ButtonMenuClick(1, QStringLiteral("gohome"), QStringLiteral("hom"), 1);
    main->mnuWinSize_Click(2);
    main->mnuWindowMaximize_Click();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(shared().WindowCount, 0);
}

TEST_F(MainPanel, ButtonTextIsSwitchedAndRemembered)
{
    QAction *item = main->menuItem(QStringLiteral("mnuViewShowText"));
    ToolbarButton &back = main->tbToolbar[1]->button(QStringLiteral("back"));
    ASSERT_TRUE(item->isChecked());
    main->mnuViewShowText_Click();
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(back.caption(), QString());
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("ButtonText")), QStringLiteral("False"));

    close();
    open();
    QAction *reopened = main->menuItem(QStringLiteral("mnuViewShowText"));
    EXPECT_FALSE(reopened->isChecked()) << "a user who switched the text off starts without it";
    EXPECT_EQ(main->tbToolbar[1]->button(QStringLiteral("back")).caption(), QString());
    reopened->trigger();
    EXPECT_TRUE(reopened->isChecked());
    EXPECT_EQ(main->tbToolbar[1]->button(QStringLiteral("back")).caption(), QStringLiteral("Zpět"));
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("ButtonText")), QStringLiteral("True"));
}

void sendMouse(QWidget *target, QEvent::Type type, int x, Qt::MouseButtons buttons)
{
    const QPointF local(x, 2);
    QMouseEvent event(type, local, target->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

TEST_F(MainPanel, TheSplitterStopsNearTheEdges)
{
    QWidget *grip = main->imgSplitter;
    const int gripLeftTwips = grip->x() * 15;
    sendMouse(grip, QEvent::MouseButtonPress, 0, Qt::LeftButton);
    EXPECT_TRUE(main->SplitterMoving);
    EXPECT_FALSE(main->picSplitter->isHidden());
    // 500 twips from the panel's left edge.
    sendMouse(grip, QEvent::MouseMove, (500 - gripLeftTwips) / 15, Qt::LeftButton);
    sendMouse(grip, QEvent::MouseMove, (500 - gripLeftTwips) / 15, Qt::LeftButton);
    EXPECT_EQ(grip->toolTip(), QStringLiteral("Šířka: 46 pixelů"));
    sendMouse(grip, QEvent::MouseButtonRelease, 0, Qt::NoButton);
    EXPECT_FALSE(main->SplitterMoving);
    EXPECT_TRUE(main->picSplitter->isHidden());
    EXPECT_EQ(main->picMain->width(), 750 / 15);
}

TEST_F(MainPanel, NoLayoutBeforeTheWindowHasLoaded)
{
    const QRect before = main->fraBorder->geometry();
    shared().MainFormLoaded = false;
    main->picMain->setFixedWidth(main->picMain->width() + 40);
    QCoreApplication::processEvents();
    EXPECT_EQ(main->fraBorder->geometry(), before);
    shared().MainFormLoaded = true;
    main->picMain_Resize();
    EXPECT_EQ(main->fraBorder->width(), main->picMain->width() - 4);
}

} // namespace
