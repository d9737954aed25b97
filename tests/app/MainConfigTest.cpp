#include "app/frmMain.h"
#include "core/SharedState.h"
#include "platform/controls/CoolBar.h"
#include "platform/controls/Forms.h"
#include "platform/store/SettingsStore.h"

#include "TestEnvironment.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

// A main window that is loaded but, as at start-up, not yet shown.
class MainConfig : public TempEnvTest
{
protected:
    void SetUp() override { main = load(); }
    void TearDown() override { unload(); }

    frmMain *load()
    {
        frmMain *form = Forms::get<frmMain>();
        form->tmrNW->stop();
        return form;
    }
    void unload()
    {
        if (Forms::isLoaded<frmMain>())
            Forms::unload<frmMain>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Saves, then starts a new main window that restores what was saved.
    void restart()
    {
        main->SaveConfig();
        unload();
        main = load();
        main->LoadSettings();
    }
    QString setting(const char *section, const char *key) const
    {
        return GetSetting(QString::fromLatin1(section), QString::fromLatin1(key), QStringLiteral("<none>"));
    }
    using Pairs = std::initializer_list<std::pair<const char *, const char *>>;
    static void store(Pairs values)
    {
        for (const auto &[key, value] : values)
            SaveSetting(QStringLiteral("Settings"), QString::fromLatin1(key), QString::fromLatin1(value));
    }
    void expectStored(Pairs expected) const
    {
        for (const auto &[key, value] : expected)
            EXPECT_EQ(setting("Settings", key), QString::fromLatin1(value)) << key;
    }
    int logLines(const char *procedure) const
    {
        QFile file(shared().AppFolder + QStringLiteral("LogError.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        return QString::fromUtf8(file.readAll()).count(QString::fromLatin1(procedure));
    }
    bool checked(const char *item) const { return main->menuItem(QString::fromLatin1(item))->isChecked(); }

    frmMain *main = nullptr;
};

} // namespace

TEST_F(MainConfig, AFirstStartIsMaximisedWithTheDesignedBandsAndLogsOnce)
{
    const QRect before = main->geometry();
    main->LoadSettings();
    EXPECT_TRUE(main->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(main->geometry(), before);
    EXPECT_EQ(main->cbTop->band(QStringLiteral("standard")).width(), 0);
    EXPECT_EQ(main->cbTop->band(QStringLiteral("address")).width(), 55005 / 15);
    EXPECT_TRUE(main->cbTop->band(QStringLiteral("address")).newRow());
    EXPECT_EQ(main->cbTop->band(QStringLiteral("tools")).width(), 133);
    EXPECT_TRUE(main->cbBottom->band(QStringLiteral("windows")).newRow());
    EXPECT_EQ(main->cbBottom->band(QStringLiteral("status")).width(), 0);
    for (CoolBar *bar : {main->cbTop, main->cbBottom}) {
        for (int band = 1; band <= 3; ++band)
            EXPECT_TRUE(bar->band(band).isVisible());
    }
    EXPECT_TRUE(shared().AdjustImg);
    EXPECT_TRUE(checked("mnuAdjustImages"));
    EXPECT_EQ(logLines("LoadSettings"), 1);
}

TEST_F(MainConfig, ANormalWindowKeepsItsGeometryInTwips)
{
    main->setWindowState(Qt::WindowNoState);
    main->setGeometry(100, 80, 700, 500);
    main->picMain->setFixedWidth(250);
    restart();
    expectStored({{"WindowState", "0"}, {"MainLeft", "1500"}, {"MainTop", "1200"}, {"MainWidth", "10500"},
                  {"MainHeight", "7500"}});
    EXPECT_EQ(setting("Main", "Width"), QStringLiteral("3750"));
    EXPECT_EQ(main->windowState(), Qt::WindowNoState);
    EXPECT_EQ(main->pos(), QPoint(100, 80));
    EXPECT_EQ(main->size(), QSize(700, 500));
    EXPECT_EQ(main->picMain->width(), 250);
}

TEST_F(MainConfig, AMaximisedWindowLeavesTheStoredGeometryForWhenItIsMadeNormal)
{
    store({{"MainLeft", "1500"}});
    main->setWindowState(Qt::WindowMaximized);
    main->SaveConfig();
    expectStored({{"WindowState", "2"}, {"MainLeft", "1500"}, {"MainTop", "<none>"}});
    store({{"MainTop", "1500"}, {"MainWidth", "1500"}, {"MainHeight", "1500"}});
    unload();
    main = load();
    main->LoadSettings();
    EXPECT_TRUE(main->windowState() & Qt::WindowMaximized);
    // Where making the window normal takes it.
    EXPECT_EQ(main->normalGeometry(), QRect(100, 100, 100, 100));
    // Read again with the normal state stored, the window is placed there.
    store({{"WindowState", "0"}, {"MainLeft", "3000"}, {"MainTop", "3000"}});
    main->LoadSettings();
    EXPECT_EQ(main->windowState(), Qt::WindowNoState);
    EXPECT_EQ(main->geometry().topLeft(), QPoint(200, 200));
}

TEST_F(MainConfig, HiddenBandsStayHiddenAndTheirItemsUnchecked)
{
    main->mnuViewAddress_Click();
    main->mnuViewStatusBar_Click();
    main->mnuViewWindowControls_Click();
    EXPECT_FALSE(checked("mnuViewAddress"));
    restart();
    expectStored({{"Toolbar2Visible", "False"}, {"BottomToolbar3Visible", "False"}, {"BottomToolbar1Visible", "False"},
                  {"Toolbar1Visible", "True"}});
    const std::pair<const char *, bool> items[] = {
        {"mnuViewStandard", true},   {"mnuViewAddress", false},   {"mnuViewTools", true},
        {"mnuViewStatusBar", false}, {"mnuViewWindowList", true}, {"mnuViewWindowControls", false}};
    for (const auto &[item, shown] : items) {
        SCOPED_TRACE(item);
        EXPECT_EQ(checked(item), shown);
    }
    EXPECT_FALSE(main->cbTop->band(QStringLiteral("address")).isVisible());
    EXPECT_FALSE(main->cbBottom->band(QStringLiteral("status")).isVisible());
    main->mnuViewAddress_Click();
    EXPECT_TRUE(main->cbTop->band(QStringLiteral("address")).isVisible());
    EXPECT_TRUE(checked("mnuViewAddress"));
}

TEST_F(MainConfig, WidthsRowsAndPositionsAreStoredPerBand)
{
    main->cbTop->band(1).setWidth(500);
    main->cbBottom->band(2).setNewRow(false);
    main->SaveConfig();
    expectStored({{"Toolbar1Width", "7500"}, {"Toolbar3Width", "1995"}, {"Toolbar2NewRow", "True"},
                  {"Toolbar3NewRow", "False"}, {"Toolbar2Position", "2"}, {"BottomToolbar2NewRow", "False"},
                  {"BottomToolbar3Width", "0"}, {"BottomToolbar3Position", "3"}, {"Toolbar1NewRow", "<none>"},
                  {"BottomToolbar1Width", "<none>"}});
    EXPECT_EQ(setting("Main", "AdjustImg"), QStringLiteral("False"));
    EXPECT_EQ(setting("Main", "AppName"), setting("Main", "AppName").toLower());
}

TEST_F(MainConfig, AWindowStoredOffEveryScreenComesBackOntoTheScreen)
{
    store({{"WindowState", "0"}, {"MainLeft", "900000"}, {"MainTop", "1500"}, {"MainWidth", "9000"}, {"MainHeight", "6000"}});
    main->LoadSettings();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(QRect(main->pos(), main->size())));
    EXPECT_EQ(main->size(), QSize(600, 400));
    expectStored({{"MainLeft", "900000"}});
}

TEST_F(MainConfig, ViewMenuSwitchesBarsAndBands)
{
    for (const char *item : {"mnuViewToolbars", "mnuViewBottomBar", "mnuViewStandard", "mnuViewAddress",
                             "mnuViewTools", "mnuViewShowText", "mnuViewStatusBar", "mnuViewWindowList",
                             "mnuViewWindowControls", "mnuViewMainPanel"}) {
        SCOPED_TRACE(item);
        EXPECT_TRUE(checked(item));
    }
    main->mnuViewStandard_Click();
    main->mnuViewAddress_Click();
    main->mnuViewTools_Click();
    EXPECT_TRUE(main->cbTop->arrangement().places.empty());
    EXPECT_FALSE(main->cbTop->isHidden());
    EXPECT_TRUE(checked("mnuViewToolbars"));

    main->mnuViewWindowList_Click();
    main->mnuViewBottomBar_Click();
    EXPECT_TRUE(main->cbBottom->isHidden());
    EXPECT_FALSE(checked("mnuViewBottomBar"));
    main->mnuViewBottomBar_Click();
    EXPECT_FALSE(main->cbBottom->isHidden());
    EXPECT_TRUE(checked("mnuViewBottomBar"));
    EXPECT_FALSE(main->cbBottom->band(QStringLiteral("windows")).isVisible());
    EXPECT_TRUE(main->cbBottom->band(QStringLiteral("status")).isVisible());

    main->picMain->hide();
    main->mnuView_Click();
    EXPECT_FALSE(checked("mnuViewMainPanel"));
}
