#include "app/panel/PanelRules.h"

#include <gtest/gtest.h>

namespace {

using namespace PanelRules;

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

} // namespace
