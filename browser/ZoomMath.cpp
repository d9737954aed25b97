#include "browser/ZoomMath.h"

#include "platform/ErrorState.h"

#include <cmath>

namespace ZoomMath {

namespace {
int rounded(double value)
{
    return int(std::nearbyint(value));
}
} // namespace

void ZoomMemory::measureOriginal(ImageSize element)
{
    if (origHeight == 0)
        origHeight = element.height;
    if (origWidth == 0)
        origWidth = element.width;
}

void ZoomMemory::measureTwips(ImageSize element)
{
    if (twipsHeight == 0)
        twipsHeight = element.height * TwipsPerPixel;
    if (twipsWidth == 0)
        twipsWidth = element.width * TwipsPerPixel;
}

int roomFor(int controlTwips)
{
    return controlTwips - RoomMargin;
}

ImageSize atPercent(const ZoomMemory &memory, int percent)
{
    return {rounded(double(percent) * memory.origWidth / 100.0), rounded(double(percent) * memory.origHeight / 100.0)};
}

ImageSize autoFit(const ZoomMemory &memory, ImageSize current, int roomWidthTwips, int roomHeightTwips)
{
    const double availW = roomWidthTwips;
    const double availH = roomHeightTwips;
    if (memory.twipsHeight <= availH && memory.twipsWidth <= availW)
        return current;
    const double overH = memory.twipsHeight - availH;
    const double overW = memory.twipsWidth - availW;
    if (overW > overH)
        return {rounded(availW / TwipsPerPixel), rounded(memory.twipsHeight * (availW / memory.twipsWidth) / TwipsPerPixel)};
    return {rounded(memory.twipsWidth * (availH / memory.twipsHeight) / TwipsPerPixel), rounded(availH / TwipsPerPixel)};
}

ImageSize fitNow(ImageSize current, int roomWidthTwips, int roomHeightTwips)
{
    const double twH = double(current.height) * TwipsPerPixel;
    const double twW = double(current.width) * TwipsPerPixel;
    const double availW = roomWidthTwips;
    const double availH = roomHeightTwips;
    if (availW <= 0 || availH <= 0 || twW <= 0 || twH <= 0)
        raiseError(ErrorNumber::DivisionByZero);
    if (twW / availW > twH / availH)
        return {rounded(availW / TwipsPerPixel), rounded(twH * (availW / twW) / TwipsPerPixel)};
    return {rounded(twW * (availH / twH) / TwipsPerPixel), rounded(availH / TwipsPerPixel)};
}

int percentOf(int height, int origHeight)
{
    if (origHeight == 0)
        raiseError(ErrorNumber::DivisionByZero);
    return rounded(double(height) / origHeight * 100.0);
}

int sliderPercent(int percent)
{
    return percent > MaxPercent ? MaxPercent : percent;
}

} // namespace ZoomMath
