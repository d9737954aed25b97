#include "platform/system/Units.h"

#include <gtest/gtest.h>

#include <utility>

TEST(Units, HalvesGoToTheEvenNeighbour)
{
    const std::pair<double, int> cases[] = {
        {12.5, 12}, {37.5, 38}, {0.5, 0}, {1.5, 2}, {99.5, 100}, {-2.5, -2}, {44.4, 44}, {44.6, 45},
    };
    for (const auto &[value, expected] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(Units::roundHalfEven(value), expected);
        EXPECT_EQ(Units::roundHalfEvenToInt(value), expected);
    }
}

TEST(Units, TwipsAreFifteenToAPixelRoundedHalfToEven)
{
    const std::pair<double, int> cases[] = {{0, 0}, {15, 1}, {11520, 768}, {4905, 327}, {22.5, 2}, {37.5, 2}, {-15, -1}};
    for (const auto &[twips, pixels] : cases) {
        SCOPED_TRACE(twips);
        EXPECT_EQ(Units::twipsToPixels(twips), pixels);
    }
    for (int pixels : {0, 1, 327, 1024, -10}) {
        SCOPED_TRACE(pixels);
        EXPECT_EQ(Units::twipsToPixels(Units::pixelsToTwips(pixels)), pixels);
    }
}
