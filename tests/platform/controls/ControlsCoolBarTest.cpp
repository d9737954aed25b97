#include "ControlsTest.h"

#include "platform/controls/CoolBar.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Bar
{
    CoolBar bar;
    QLabel *one = new QLabel(QStringLiteral("1"));
    QLabel *two = new QLabel(QStringLiteral("2"));
    Bar()
    {
        bar.resize(600, 10);
        bar.addBand(QStringLiteral("one"), QString(), one).setMinHeight(30);
        CoolBarBand &second = bar.addBand(QStringLiteral("two"), QStringLiteral("Dva"), two);
        second.setMinHeight(20);
        second.setNewRow(true);
    }
};

} // namespace

TEST(ControlsCoolBar, HidingABandTakesItsChildOutAndTheBarShrinks)
{
    Bar b;
    EXPECT_EQ(b.bar.height(), 30 + 2 + 20);
    b.bar.band(QStringLiteral("one")).setVisible(false);
    EXPECT_FALSE(b.bar.band(1).isVisible());
    EXPECT_TRUE(b.one->isHidden());
    EXPECT_EQ(b.bar.height(), 20);
    EXPECT_EQ(b.two->geometry().top(), 0);
    b.bar.band(1).setVisible(true);
    EXPECT_FALSE(b.one->isHidden());
    EXPECT_EQ(b.bar.height(), 52);
}

TEST(ControlsCoolBar, TheCaptionComesBeforeTheChild)
{
    Bar b;
    EXPECT_EQ(b.one->geometry().left(), b.bar.headerWidth(b.bar.band(1)));
    EXPECT_GT(b.two->geometry().left(), b.one->geometry().left());
    EXPECT_EQ(b.two->geometry().right(), 599);
}

TEST(ControlsCoolBar, DraggingABandsGripResizesTheBandBeforeIt)
{
    CoolBar bar;
    bar.resize(600, 10);
    bar.addBand(QStringLiteral("left"), QString(), new QLabel).setWidth(200);
    bar.addBand(QStringLiteral("right"), QStringLiteral("Okna"), new QLabel);
    int resized = 0;
    QObject::connect(&bar, &CoolBar::bandResized, [&](int index) { resized = index; });
    const int gripX = bar.arrangement().places[1].x + 2;
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(gripX, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(gripX + 50, 5), bar.mapToGlobal(QPointF(gripX + 50, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &move);
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(gripX + 50, 5));
    EXPECT_EQ(bar.band(1).width(), 250);
    EXPECT_EQ(bar.arrangement().places[1].x, 250);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(raised([&] { bar.band(1).setWidth(-1); }), ErrorNumber::InvalidPropertyValue);
    EXPECT_EQ(bar.band(1).width(), 250);
}
