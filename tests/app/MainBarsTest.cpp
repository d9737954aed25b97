#include "app/frmMain.h"
#include "platform/controls/CoolBar.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/Toolbar.h"
#include "platform/system/Units.h"

#include "MainWindowTest.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

using Units::twipsToPixels;

namespace {

class MainBars : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        main->LoadSettings(); // a first start's layout, as the program applies it
        main->resize(1000, 800);
        settle();
    }

    static void settle() { QTest::qWait(0); }

    void choose(const char *item)
    {
        main->menuItem(QString::fromLatin1(item))->trigger();
        settle();
    }

    bool checked(const char *item) const { return main->menuItem(QString::fromLatin1(item))->isChecked(); }

    // Every button the toolbar holds is shown in full inside it, and the toolbar inside its bar.
    static ::testing::AssertionResult allButtonsShown(const Toolbar *bar)
    {
        if (!bar->isVisible() || !bar->parentWidget()->rect().contains(bar->geometry()))
            return ::testing::AssertionFailure() << "the toolbar is cut off by its bar";
        for (int i = 1; i <= bar->count(); ++i) {
            const QToolButton *button = bar->button(i).widget();
            if (button && (!button->isVisible() || !bar->rect().contains(button->geometry())))
                return ::testing::AssertionFailure() << "button \"" << bar->button(i).key().toStdString()
                                                     << "\" is not shown";
        }
        return ::testing::AssertionSuccess();
    }

    int standardRowHeight() const
    {
        for (const CoolBarLayout::BandPlace &place : main->cbTop->arrangement().places)
            if (place.band == 0)
                return place.height;
        return 0;
    }
};

} // namespace

TEST_F(MainBars, EveryWindowCommandIsOnTheBottomBar)
{
    EXPECT_TRUE(allButtonsShown(main->tbToolbar[3]));
    EXPECT_TRUE(allButtonsShown(main->tbToolbar[1]));
}

TEST_F(MainBars, EachBandItemHidesOnlyItsOwnBand)
{
    choose("mnuViewAddress");
    EXPECT_FALSE(main->txtAddress->isVisible());
    EXPECT_FALSE(checked("mnuViewAddress"));
    EXPECT_TRUE(checked("mnuViewStandard"));
    EXPECT_TRUE(allButtonsShown(main->tbToolbar[1])) << "the zoom band joined the toolbar's row";
    EXPECT_TRUE(main->sliZoom->isVisible());
    EXPECT_GT(main->sliZoom->width(), 0);

    choose("mnuViewStandard");
    choose("mnuViewAddress");
    EXPECT_FALSE(main->tbToolbar[1]->isVisible());
    EXPECT_TRUE(main->txtAddress->isVisible());
    EXPECT_TRUE(main->sliZoom->isVisible());
    choose("mnuViewStandard");
    EXPECT_TRUE(allButtonsShown(main->tbToolbar[1]));
}

TEST_F(MainBars, ButtonTextSwitchFitsTheStandardBandToItsButtons)
{
    CoolBarBand &band = main->cbTop->band(1);
    Toolbar *bar = main->tbToolbar[1];
    ASSERT_EQ(band.minHeight(), twipsToPixels(540));
    const int withText = standardRowHeight();

    choose("mnuViewShowText");
    EXPECT_EQ(band.minHeight(), twipsToPixels(330));
    EXPECT_EQ(standardRowHeight(), std::max(twipsToPixels(330), bar->minimumSizeHint().height()))
        << "the band does not stay as tall as it was with text";
    EXPECT_LT(standardRowHeight(), withText);

    choose("mnuViewShowText");
    EXPECT_EQ(band.minHeight(), twipsToPixels(540));
    EXPECT_EQ(standardRowHeight(), withText);
    EXPECT_GE(bar->height(), bar->sizeHint().height()) << "the captions are not clipped";
    EXPECT_TRUE(allButtonsShown(bar));
}

TEST_F(MainBars, TheWindowMenuOverTheTabsWaitsForTheRightButtonsRelease)
{
    main->tbsWindows->add(QStringLiteral("key 1"), QStringLiteral("Jedna"));
    main->tbsWindows->add(QStringLiteral("key 2"), QStringLiteral("Dvě"));
    auto *tabs = main->tbsWindows->findChild<QTabBar *>();
    ASSERT_TRUE(tabs && tabs->isVisible());
    const QPoint over = tabs->tabRect(1).center();

    QTest::mousePress(tabs, Qt::RightButton, {}, over);
    QTest::mouseMove(tabs, over + QPoint(3, 0));
    QTest::mouseMove(tabs, over + QPoint(6, 1));
    EXPECT_FALSE(main->mnuwindow->isVisible()) << "moving with the button held opens nothing";
    QTest::mouseRelease(tabs, Qt::RightButton, {}, over + QPoint(6, 1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return main->mnuwindow->isVisible(); }, 5000));
    main->mnuwindow->hide();

    QTest::mouseClick(tabs, Qt::LeftButton, {}, over);
    EXPECT_FALSE(main->mnuwindow->isVisible()) << "the left button only picks the tab";
}

// On a small screen the status text keeps a width it can be read in: the panels move to
// a row of their own rather than squeeze it beside the window tabs.
TEST_F(MainBars, TheStatusTextStaysReadableInASmallWindow)
{
    StatusPanel &status = main->sbStatusBar->panel(1);
    const int readable = std::min(300, status.fontMetrics().averageCharWidth() * 28);
    for (const QSize size : {QSize(800, 600), QSize(640, 480), QSize(1000, 800)}) {
        SCOPED_TRACE(size.width());
        main->resize(size);
        settle();
        QTest::qWait(50);
        EXPECT_GE(status.width(), readable - 2) << "the status text cannot be read";
        EXPECT_TRUE(status.isVisible());
        EXPECT_LE(main->sbStatusBar->geometry().right(), main->cbBottom->width());
    }
}
