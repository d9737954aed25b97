#include "ControlsTest.h"

#include "platform/TabStrip.h"

#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

class TabStripTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        images.add("prgno", solid(Qt::red));
        images.add("prgyes", solid(Qt::green));
        tabs.setImageList(&images);
        for (const char *key : {"key 1", "key 2", "key 3"})
            tabs.add(key, QString::fromLatin1(key).toUpper());
    }

    QStringList keys() const
    {
        QStringList result;
        for (int i = 1; i <= tabs.count(); ++i)
            result << tabs.keyAt(i);
        return result;
    }

    void showStrip()
    {
        tabs.resize(400, 40);
        tabs.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));
    }

    QTabBar *bar() const { return tabs.findChild<QTabBar *>(); }

    ImageList images;
    TabStrip tabs;
};

TEST_F(TabStripTest, AddsTabsAtTheEndOrAtAnIndex)
{
    tabs.add("first", "F", 1);
    tabs.add("third", "T", 3);
    EXPECT_EQ(keys(), (QStringList{"first", "key 1", "third", "key 2", "key 3"}));
    EXPECT_EQ(tabs.indexOfKey("key 2"), 4);
    EXPECT_EQ(tabs.caption("third"), QStringLiteral("T"));
    EXPECT_EQ(raised([&] { tabs.add("late", "L", 7); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_FALSE(tabs.contains("late"));
}

TEST_F(TabStripTest, AnAmpersandInACaptionIsShownAsText)
{
    tabs.add("amp", "Start & co");
    tabs.setCaption("key 1", "A && B");
    EXPECT_EQ(tabs.caption("amp"), QStringLiteral("Start & co"));
    EXPECT_EQ(tabs.caption("key 1"), QStringLiteral("A && B"));
    // The bar shows "&" as a letter only when it is doubled.
    EXPECT_EQ(bar()->tabText(tabs.indexOfKey("amp") - 1), QStringLiteral("Start && co"));
}

TEST_F(TabStripTest, RemovingATabRenumbersTheLaterOnes)
{
    tabs.remove("key 2");
    EXPECT_EQ(keys(), (QStringList{"key 1", "key 3"}));
    EXPECT_EQ(tabs.indexOfKey("key 3"), 2);
    EXPECT_EQ(tabs.indexOfKey("key 2"), 0);
    tabs.remove(1);
    EXPECT_EQ(keys(), QStringList{"key 3"});
    EXPECT_EQ(raised([&] { tabs.add("key 2", "back"); }), 0) << "a removed key is free again";
    EXPECT_EQ(tabs.indexOfKey("key 2"), 2);
}

TEST_F(TabStripTest, SelectingFromCodeRaisesClickedOnlyWhenTheSelectionMoves)
{
    QSignalSpy clicked(&tabs, &TabStrip::clicked);
    EXPECT_EQ(tabs.selectedKey(), QStringLiteral("key 1"));
    tabs.select("key 3");
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(tabs.selectedKey(), QStringLiteral("key 3"));
    EXPECT_EQ(tabs.selectedIndex(), 3);
    tabs.select(3);
    EXPECT_EQ(clicked.count(), 1) << "the tab already was selected";
}

TEST_F(TabStripTest, AddingAndRemovingNeverRaiseClicked)
{
    TabStrip fresh;
    QSignalSpy freshClicked(&fresh, &TabStrip::clicked);
    fresh.add("only", "O");
    EXPECT_EQ(fresh.selectedKey(), QStringLiteral("only")) << "the first tab is selected as it comes";
    EXPECT_EQ(freshClicked.count(), 0);

    tabs.select("key 3");
    tabs.select("key 2");
    QSignalSpy clicked(&tabs, &TabStrip::clicked);
    tabs.remove("key 2");
    EXPECT_EQ(tabs.selectedKey(), QStringLiteral("key 3")) << "the previously selected tab takes over";
    EXPECT_EQ(clicked.count(), 0);
    tabs.clear();
    EXPECT_EQ(tabs.selectedKey(), QString());
    EXPECT_EQ(tabs.selectedIndex(), 0);
}

TEST_F(TabStripTest, AClickOnAnotherTabRaisesClicked)
{
    showStrip();
    QSignalSpy clicked(&tabs, &TabStrip::clicked);
    QTest::mouseClick(bar(), Qt::LeftButton, {}, bar()->tabRect(1).center());
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(tabs.selectedKey(), QStringLiteral("key 2"));
}

TEST_F(TabStripTest, AButtonReleaseReportsButtonAndPosition)
{
    showStrip();
    QSignalSpy mouseUp(&tabs, &TabStrip::mouseUp);
    const QPoint pos = bar()->tabRect(2).center();
    QTest::mouseClick(bar(), Qt::RightButton, Qt::ShiftModifier, pos);
    ASSERT_EQ(mouseUp.count(), 1);
    EXPECT_EQ(mouseUp[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(mouseUp[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(mouseUp[0][2].toPoint(), bar()->mapTo(&tabs, pos));
}

TEST_F(TabStripTest, TheImageShownFollowsTheImageKey)
{
    tabs.setImage("key 1", "prgno");
    EXPECT_EQ(colourOf(bar()->tabIcon(0)), QColor(Qt::red));
    EXPECT_EQ(raised([&] { tabs.setImage("key 1", "busy"); }), ErrorNumber::ElementNotFound);
    EXPECT_EQ(tabs.image(1), QStringLiteral("prgno")) << "a failed assignment changes nothing";
    tabs.setImage("key 1", {});
    EXPECT_TRUE(bar()->tabIcon(0).isNull());
}

} // namespace
