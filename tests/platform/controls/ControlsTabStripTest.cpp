#include "ControlsTest.h"

#include "platform/controls/TabStrip.h"

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

TEST_F(TabStripTest, AnAmpersandInACaptionIsShownAsText)
{
    tabs.add("amp", "Start & co");
    tabs.setCaption("key 1", "A && B");
    EXPECT_EQ(tabs.caption("amp"), QStringLiteral("Start & co"));
    EXPECT_EQ(tabs.caption("key 1"), QStringLiteral("A && B"));
    // The bar shows "&" as a letter only when it is doubled.
    EXPECT_EQ(bar()->tabText(tabs.indexOfKey("amp") - 1), QStringLiteral("Start && co"));
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

} // namespace
