#include "app/PanelRules.h"

#include <gtest/gtest.h>

namespace {

using namespace PanelRules;

TEST(PanelRules, PaneCycle)
{
    const std::pair<int, int> cycle[] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {5, 6}, {6, 1}, {0, 0}, {7, 0}};
    for (const auto &[pane, next] : cycle) {
        SCOPED_TRACE(pane);
        EXPECT_EQ(nextPane(pane), next);
    }
}

TEST(PanelRules, TheFirstVisibleContainerIsTheShownPane)
{
    EXPECT_EQ(firstShownPane({false, false, false, false, false}), 0);
    EXPECT_EQ(firstShownPane({false, false, true, false, true}), 2);
    EXPECT_EQ(firstShownPane({true, false, false, false, true}), 4) << "member 0 is no pane";
}

TEST(PanelRules, Titles)
{
    const struct { int pane; bool nav; const char *title; } cases[] = {
        {1, true, "Oblíbené"},
        {2, true, "Složky a soubory"},
        {2, false, "Složky a soubory (uzamčeno)"},
        {3, false, "Hledat soubory"},
        {4, true, "Odkazy"},
        {5, true, "Hledat na Internetu"},
        {6, true, "Historie"},
        {7, true, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pane);
        EXPECT_EQ(paneTitle(c.pane, c.nav), QString::fromUtf8(c.title));
    }
}

TEST(PanelRules, SplitterBarKeepsItsDistanceFromBothEdges)
{
    const struct { int grip, x, width, left; } cases[] = {
        {4845, -4345, 15000, 690}, // dragged to 500 twips from the panel's edge
        {4845, 0, 15000, 4845},
        {4845, 9465, 15000, 14310},
        {4845, 20000, 15000, 14310},
        {0, 690, 15000, 690},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(splitterBarLeft(c.grip, c.x, c.width), c.left);
    }
    EXPECT_EQ(panelWidthAfterDrag(690), 750);
}

TEST(PanelRules, SplitterToolTipShowsWholePixels)
{
    EXPECT_EQ(splitterToolTip(690), QStringLiteral("Šířka: 46 pixelů"));
    EXPECT_EQ(splitterToolTip(704), QStringLiteral("Šířka: 46 pixelů"));
    EXPECT_EQ(splitterToolTip(705), QStringLiteral("Šířka: 47 pixelů"));
    EXPECT_EQ(splitterToolTip(29.5), QStringLiteral("Šířka: 2 pixelů")) << "30 after rounding half to even";
    EXPECT_EQ(splitterToolTip(30.5), QStringLiteral("Šířka: 2 pixelů"));
}

TEST(PanelRules, LayoutFollowsThePanelSize)
{
    const PanelGeometry g = panelGeometry(4905, 6000, 6000, 60);
    EXPECT_EQ(g.borderWidth, 4845);
    EXPECT_EQ(g.topWidth, 4845);
    EXPECT_EQ(g.borderHeight, 6020);
    EXPECT_EQ(g.paneLeft, 30);
    EXPECT_EQ(g.paneTop, 480);
    EXPECT_EQ(g.paneHeight, 5510);
    EXPECT_EQ(g.paneWidth, 4785);
    EXPECT_EQ(g.gripLeft, 4845);
    EXPECT_EQ(g.gripHeight, 6000);
    EXPECT_EQ(g.closeLeft, 4485);
    EXPECT_EQ(g.titleWidth, 4665);
    EXPECT_EQ(listHeight(g, 0, 0), 5540);
    EXPECT_EQ(listHeight(g, 1110, 300), 4130);
}

} // namespace
