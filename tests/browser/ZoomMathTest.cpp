#include "browser/ZoomMath.h"

#include "platform/system/ErrorState.h"

#include <gtest/gtest.h>

using namespace ZoomMath;

namespace {
ZoomMemory measured(ImageSize image)
{
    ZoomMemory memory;
    memory.measureOriginal(image);
    memory.measureTwips(image);
    return memory;
}
} // namespace

TEST(ZoomMath, SliderPercentScalesTheOriginalSize)
{
    const ZoomMemory memory = measured({400, 300});
    EXPECT_EQ(atPercent(memory, 150), (ImageSize{600, 450}));
    EXPECT_EQ(atPercent(memory, 100), (ImageSize{400, 300}));
    // 33 % of 3 pixels is 0.99: rounded to 1.
    EXPECT_EQ(atPercent(measured({3, 3}), 33), (ImageSize{1, 1}));
}

TEST(ZoomMath, AutomaticFitShrinksAlongTheLargerExcess)
{
    struct Case
    {
        const char *name;
        ImageSize image;
        int controlWidth, controlHeight;
        ImageSize fitted;
        int percent;
    } cases[] = {
        {"wide image, width fitted", {2000, 500}, 15650, 10650, {1000, 250}, 50},
        {"the other side may stay larger than the room", {2700, 800}, 10650, 2650, {667, 198}, 25},
        {"a fitting image keeps its size", {100, 50}, 15650, 10650, {100, 50}, 100},
        {"equal excess fits the height", {1200, 1100}, 17150, 15650, {1091, 1000}, 91},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ZoomMemory memory = measured(c.image);
        const ImageSize fitted = autoFit(memory, c.image, roomFor(c.controlWidth), roomFor(c.controlHeight));
        EXPECT_EQ(fitted, c.fitted);
        EXPECT_EQ(percentOf(fitted.height, memory.origHeight), c.percent);
    }
}

TEST(ZoomMath, FitOnDemandFitsAlongTheLargerRatioAndEnlarges)
{
    struct Case { const char *name; ImageSize image; int roomWidth, roomHeight; ImageSize fitted; } cases[] = {
        {"tall ratio wins over the wide excess", {2700, 800}, 10000, 2000, {450, 133}},
        {"a small image is enlarged", {100, 50}, 15000, 15000, {1000, 500}},
        {"equal ratio fits the height", {200, 100}, 6000, 3000, {400, 200}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fitNow(c.image, c.roomWidth, c.roomHeight), c.fitted);
    }
}

TEST(ZoomMath, TheSliderNeverGoesPastAThousandPercent)
{
    const ZoomMemory memory = measured({10, 10});
    const ImageSize fitted = fitNow({10, 10}, 15000, 15000);
    EXPECT_EQ(fitted.height, 1000);
    EXPECT_EQ(percentOf(fitted.height, memory.origHeight), 10000);
    EXPECT_EQ(sliderPercent(10000), 1000);
    EXPECT_EQ(sliderPercent(1000), 1000);
    EXPECT_EQ(sliderPercent(50), 50);
}

TEST(ZoomMath, TheOriginalIsMeasuredOnceUntilAReset)
{
    ZoomMemory memory = measured({400, 300});
    memory.measureOriginal({800, 600});
    memory.measureTwips({800, 600});
    EXPECT_EQ(memory.origWidth, 400);
    EXPECT_EQ(memory.twipsHeight, 4500);
    memory.resetTwips();
    EXPECT_EQ(memory.origWidth, 400);
    EXPECT_EQ(memory.twipsWidth, 0);
    memory.resetAll();
    EXPECT_EQ(memory.origWidth, 0);
    EXPECT_EQ(memory.origHeight, 0);
}
