#include "ControlsTest.h"

#include "platform/StatusBar.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

class StatusBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar.addPanel({}, 100, PanelAutoSize::Spring);
        bar.addPanel("prg", 60, PanelAutoSize::None);
        bar.addPanel("zoom", 50, PanelAutoSize::None, "Zvětšení obrázku");
    }

    void showBar()
    {
        bar.resize(600, 24);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    }

    StatusBar bar;
};

TEST_F(StatusBarTest, AddressesPanelsByKeyAndByIndex)
{
    EXPECT_EQ(bar.count(), 3);
    bar.panel(1).setText("Načítání...");
    bar.panel("prg").setText("40 %");
    EXPECT_EQ(bar.panel(1).text(), QStringLiteral("Načítání..."));
    EXPECT_EQ(bar.panel(2).text(), QStringLiteral("40 %"));
    EXPECT_EQ(bar.panel(3).toolTip(), QStringLiteral("Zvětšení obrázku"));
    EXPECT_EQ(bar.indexOfKey("zoom"), 3);
    EXPECT_EQ(bar.keyAt(1), QString());
}

TEST_F(StatusBarTest, ADuplicateKeyFailsAndAddsNothing)
{
    EXPECT_EQ(raised([&] { bar.addPanel("prg", 10); }), ErrorNumber::KeyNotUnique);
    EXPECT_EQ(bar.count(), 3);
    EXPECT_EQ(raised([&] { bar.addPanel({}, 10); }), 0) << "panels without a key are reached by index";
    EXPECT_EQ(bar.count(), 4);
}

TEST_F(StatusBarTest, MissingPanelsFail)
{
    const std::pair<ItemRef, int> table[] = {
        {"nav", ErrorNumber::ElementNotFound},
        {"", ErrorNumber::ElementNotFound},
        {0, ErrorNumber::SubscriptOutOfRange},
        {4, ErrorNumber::SubscriptOutOfRange},
    };
    for (const auto &[ref, number] : table) {
        SCOPED_TRACE(ref.isIndex() ? std::to_string(ref.index()) : ref.key().toStdString());
        EXPECT_EQ(raised([&] { bar.panel(ref).setText("x"); }), number);
    }
}

TEST_F(StatusBarTest, PictureAndVisibility)
{
    StatusPanel &panel = bar.panel("prg");
    panel.setPicture(solid(Qt::green));
    EXPECT_EQ(colourOf(panel.picture()), QColor(Qt::green));
    panel.setPicture({});
    EXPECT_TRUE(panel.picture().isNull());

    panel.setVisible(false);
    EXPECT_FALSE(panel.visible());
    panel.setVisible(true);
    EXPECT_TRUE(panel.visible()) << "the panel's own flag, though the bar is not shown";
}

TEST_F(StatusBarTest, SpringPanelTakesTheRoomTheOthersLeave)
{
    showBar();
    EXPECT_EQ(bar.panel("prg").width(), 60);
    EXPECT_EQ(bar.panel("zoom").width(), 50);
    EXPECT_GT(bar.panel(1).width(), 400);
    bar.panel(1).setText(QString(500, QLatin1Char('x')));
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.panel("prg").width(), 60) << "a long text does not push the fixed panels";
}

TEST_F(StatusBarTest, ClicksReportThePanelKeyAndIndex)
{
    showBar();
    QSignalSpy clicked(&bar, &StatusBar::panelClicked);
    QSignalSpy doubleClicked(&bar, &StatusBar::panelDoubleClicked);
    QTest::mouseClick(&bar.panel("zoom"), Qt::LeftButton);
    QTest::mouseDClick(&bar.panel(1), Qt::LeftButton);
    ASSERT_GE(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toString(), QStringLiteral("zoom"));
    EXPECT_EQ(clicked[0][1].toInt(), 3);
    ASSERT_EQ(doubleClicked.count(), 1);
    EXPECT_EQ(doubleClicked[0][0].toString(), QString());
    EXPECT_EQ(doubleClicked[0][1].toInt(), 1);
}

} // namespace
