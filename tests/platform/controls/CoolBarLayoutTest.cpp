#include "platform/controls/CoolBarLayout.h"

#include <gtest/gtest.h>

using CoolBarLayout::BandInput;
using CoolBarLayout::arrange;

namespace {

BandInput band(int width, int minWidth, int minHeight, bool newRow = false)
{
    BandInput b;
    b.width = width;
    b.minWidth = minWidth;
    b.minHeight = minHeight;
    b.newRow = newRow;
    return b;
}

struct Expected { int band, row, x, y, width, height; };

void expectPlaces(const CoolBarLayout::Result &result, const std::vector<Expected> &expected)
{
    ASSERT_EQ(result.places.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const auto &p = result.places[i];
        EXPECT_EQ(p.band, expected[i].band);
        EXPECT_EQ(p.row, expected[i].row);
        EXPECT_EQ(p.x, expected[i].x);
        EXPECT_EQ(p.y, expected[i].y);
        EXPECT_EQ(p.width, expected[i].width);
        EXPECT_EQ(p.height, expected[i].height);
    }
}

} // namespace

TEST(CoolBarLayout, NewRowStartsARowAndTheLastBandOfEachRowTakesTheRest)
{
    // The designed top bar: the toolbar alone, then address and zoom side by side.
    const auto result = arrange({band(875, 0, 36), band(300, 50, 22, true), band(133, 40, 17)}, 1000, 2);
    EXPECT_EQ(result.rowCount, 2);
    EXPECT_EQ(result.height, 36 + 2 + 22);
    expectPlaces(result, {{0, 0, 0, 0, 1000, 36}, {1, 1, 0, 38, 300, 22}, {2, 1, 300, 38, 700, 22}});
}

TEST(CoolBarLayout, NewRowOfTheFirstVisibleBandMakesNoEmptyRow)
{
    auto first = band(100, 0, 20, true);
    const auto result = arrange({first, band(100, 0, 20)}, 500, 2);
    EXPECT_EQ(result.rowCount, 1);
    expectPlaces(result, {{0, 0, 0, 0, 100, 20}, {1, 0, 100, 0, 400, 20}});
}

TEST(CoolBarLayout, HiddenBandsTakeNoRoomAndTheirRowBreakGoesWithThem)
{
    auto hiddenBreak = band(100, 0, 30, true);
    hiddenBreak.visible = false;
    const auto result = arrange({band(100, 0, 20), hiddenBreak, band(100, 0, 25)}, 400, 2);
    EXPECT_EQ(result.rowCount, 1);
    EXPECT_EQ(result.height, 25);
    expectPlaces(result, {{0, 0, 0, 0, 100, 25}, {2, 0, 100, 0, 300, 25}});
}

TEST(CoolBarLayout, WidthsNeverGoBelowHeaderPlusMinimum)
{
    struct Case { const char *name; int width, naturalWidth, headerWidth, minWidth; int expected; } cases[] = {
        {"zero asks for the whole child", 0, 300, 10, 40, 300},
        {"zero with no child asks for the narrowest", 0, 0, 10, 40, 50},
        {"too narrow is widened", 20, 300, 10, 40, 50},
        {"an asked width is kept, also below the child's own", 80, 300, 10, 40, 80},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto b = band(c.width, c.minWidth, 20);
        b.naturalWidth = c.naturalWidth;
        b.headerWidth = c.headerWidth;
        const auto result = arrange({b, band(0, 0, 20)}, 1000);
        EXPECT_EQ(result.places[0].width, c.expected);
    }
}

TEST(CoolBarLayout, AFixedBandShowsItsWholeChildAndIsNeitherStretchedNorCut)
{
    auto fixed = band(500, 125, 22);
    fixed.fixed = true;
    const auto alone = arrange({fixed}, 1000);
    EXPECT_EQ(alone.places[0].width, 125);
    const auto crowded = arrange({fixed, band(900, 10, 20)}, 600);
    EXPECT_EQ(crowded.places[0].width, 125);
    EXPECT_EQ(crowded.places[1].width, 475);
    fixed.naturalWidth = 170; // its child needs more than its minimum
    const auto wider = arrange({fixed, band(900, 10, 20)}, 600);
    EXPECT_EQ(wider.places[0].width, 170);
    EXPECT_EQ(wider.places[1].width, 430);
}

TEST(CoolBarLayout, AnOverfullRowIsNarrowedFromTheRight)
{
    const auto result = arrange({band(400, 100, 20), band(400, 100, 20), band(400, 150, 20)}, 800);
    // The last band gives up to its minimum first, then the one before it.
    expectPlaces(result, {{0, 0, 0, 0, 400, 20}, {1, 0, 400, 0, 250, 20}, {2, 0, 650, 0, 150, 20}});
}

TEST(CoolBarLayout, ABandThatWouldStickOutEvenAtItsNarrowestStartsARow)
{
    const auto result = arrange({band(400, 100, 20), band(400, 100, 20), band(400, 150, 30)}, 300);
    EXPECT_EQ(result.rowCount, 2);
    expectPlaces(result, {{0, 0, 0, 0, 200, 20}, {1, 0, 200, 0, 100, 20}, {2, 1, 0, 22, 300, 30}});
    // No narrower bar shows every band whole.
    auto hidden = band(400, 500, 20);
    hidden.visible = false;
    EXPECT_EQ(CoolBarLayout::narrowestBar({band(400, 100, 20), band(400, 150, 30), hidden}), 150);
}
