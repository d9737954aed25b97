#include "ControlsTest.h"

#include "platform/controls/StatusBar.h"

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

TEST_F(StatusBarTest, OnABarTooNarrowThePanelsShrinkAndNeitherOverlapNorLeaveIt)
{
    // Placed by its owner, as the cool bar places it: a top-level window would keep its
    // layout's minimum.
    QWidget owner;
    bar.setParent(&owner);
    owner.resize(600, 24);
    owner.show();
    for (const int width : {150, 60, 600}) {
        SCOPED_TRACE(width);
        bar.setGeometry(0, 0, width, 24);
        QCoreApplication::processEvents();
        int right = 0;
        for (int i = 1; i <= bar.count(); ++i) {
            const QRect place = bar.panel(i).geometry();
            EXPECT_GE(place.left(), right);
            right = place.right() + 1;
        }
        EXPECT_LE(right, width);
    }
    // The spring panel gives up its room first, down to a width its text can be read in;
    // then the others give up theirs.
    const int readable = std::min(100, bar.panel(1).fontMetrics().averageCharWidth() * 28);
    bar.setGeometry(0, 0, 114 + readable, 24);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.panel("prg").width(), 60);
    EXPECT_NEAR(bar.panel(1).width(), readable, 2);
    bar.setGeometry(0, 0, 64 + readable, 24);
    QCoreApplication::processEvents();
    EXPECT_NEAR(bar.panel(1).width(), readable, 2) << "the status text stays readable";
    EXPECT_LT(bar.panel("prg").width(), 60);
    bar.setGeometry(0, 0, 600, 24);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.panel(1).width(), 600 - 114) << "wide enough, the given widths come back";
    bar.setParent(nullptr);
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
