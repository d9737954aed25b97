#include "app/MainGeometry.h"

#include "platform/system/ErrorState.h"

#include <gtest/gtest.h>

using namespace MainGeometry;

TEST(MainGeometry, AWindowOffEveryScreenIsBroughtBack)
{
    const QList<QRect> screens = {QRect(0, 0, 1280, 1000), QRect(1280, 0, 1024, 768)};
    struct Case { const char *name; QRect window; QRect expected; } cases[] = {
        {"on the first screen", {100, 100, 800, 600}, {100, 100, 800, 600}},
        {"on the second screen", {1400, 50, 600, 400}, {1400, 50, 600, 400}},
        {"partly off but grabbable", {-700, -10, 800, 600}, {-700, -10, 800, 600}},
        {"far to the right", {20000, 100, 800, 600}, {480, 100, 800, 600}},
        {"above every screen", {100, -5000, 800, 600}, {100, 0, 800, 600}},
        {"only a sliver shows", {1270, 990, 800, 600}, {480, 400, 800, 600}},
        {"larger than the screen", {5000, 5000, 3000, 2000}, {0, 0, 1280, 1000}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ontoScreen(c.window, screens), c.expected);
    }
    EXPECT_EQ(ontoScreen(QRect(9000, 9000, 10, 10), {}), QRect(9000, 9000, 10, 10));
}
