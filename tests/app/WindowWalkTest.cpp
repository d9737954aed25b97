#include "app/WindowWalk.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct WalkCase
{
    const char *name;
    std::set<int> open;
    int active;
    int count; // as the table counts them; -1 takes the number of open windows
    bool forward;
    int target;
    bool skipped;
};

TEST(WindowWalk, FindsTheNextOpenNumberInCyclicOrder)
{
    constexpr int kMax = 30000;
    const WalkCase cases[] = {
        {"next wraps from the highest to the lowest", {3, 7, 12}, 12, -1, true, 3, true},
        {"previous wraps from the lowest to the highest", {3, 7, 12}, 3, -1, false, 12, true},
        {"next skips closed numbers", {3, 7, 12}, 3, -1, true, 7, true},
        {"adjacent numbers need no skipping", {4, 5}, 4, -1, true, 5, false},
        {"previous to an adjacent number", {4, 5}, 5, -1, false, 4, false},
        {"one window: nothing", {5}, 5, -1, true, 0, false},
        {"one window backwards: nothing", {5}, 5, -1, false, 0, false},
        {"past the last number comes 1", {1, kMax}, kMax, -1, true, 1, false},
        {"before 1 comes the last number", {1, kMax}, 1, -1, false, kMax, false},
        {"wraps past the end after skipping", {2, kMax - 5}, kMax - 5, -1, true, 2, true},
        {"a count the table does not back finds nothing", {}, 4, 3, true, 0, false},
        {"the active window alone in the table finds itself", {9}, 9, 2, true, 9, true},
    };
    for (const WalkCase &c : cases) {
        SCOPED_TRACE(c.name);
        const auto used = [&c](int n) { return c.open.count(n) > 0; };
        const int count = c.count < 0 ? int(c.open.size()) : c.count;
        const WindowWalk walk = c.forward ? nextWindow(c.active, count, used, kMax)
                                          : previousWindow(c.active, count, used, kMax);
        EXPECT_EQ(walk.target, c.target);
        if (walk.target != 0) {
            EXPECT_EQ(walk.skipped, c.skipped);
        }
    }
}

} // namespace

namespace {

TEST(WindowList, LinesNumberTheFirstNineAndShowCaptionsLiterally)
{
    EXPECT_EQ(windowListText(1, QStringLiteral("Zprávy")), QStringLiteral("&1 Zprávy"));
    EXPECT_EQ(windowListText(9, QStringLiteral("A & B")), QStringLiteral("&9 A && B"));
    EXPECT_EQ(windowListText(10, QStringLiteral("Deset")), QStringLiteral("Deset"));
}

} // namespace
