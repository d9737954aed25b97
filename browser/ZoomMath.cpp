#include "browser/ZoomMath.h"

#include "platform/system/ErrorState.h"
#include "platform/system/Units.h"

namespace ZoomMath {

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
        twipsHeight = Units::pixelsToTwips(element.height);
    if (twipsWidth == 0)
        twipsWidth = Units::pixelsToTwips(element.width);
}

int roomFor(int controlTwips)
{
    return controlTwips - RoomMargin;
}

ImageSize atPercent(const ZoomMemory &memory, int percent)
{
    return {Units::roundHalfEvenToInt(double(percent) * memory.origWidth / 100.0), Units::roundHalfEvenToInt(double(percent) * memory.origHeight / 100.0)};
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
        return {Units::twipsToPixels(availW), Units::twipsToPixels(memory.twipsHeight * (availW / memory.twipsWidth))};
    return {Units::twipsToPixels(memory.twipsWidth * (availH / memory.twipsHeight)), Units::twipsToPixels(availH)};
}

ImageSize fitNow(ImageSize current, int roomWidthTwips, int roomHeightTwips)
{
    const double twH = double(Units::pixelsToTwips(current.height));
    const double twW = double(Units::pixelsToTwips(current.width));
    const double availW = roomWidthTwips;
    const double availH = roomHeightTwips;
    if (availW <= 0 || availH <= 0 || twW <= 0 || twH <= 0)
        raiseError(ErrorNumber::DivisionByZero);
    if (twW / availW > twH / availH)
        return {Units::twipsToPixels(availW), Units::twipsToPixels(twH * (availW / twW))};
    return {Units::twipsToPixels(twW * (availH / twH)), Units::twipsToPixels(availH)};
}

int percentOf(int height, int origHeight)
{
    if (origHeight == 0)
        raiseError(ErrorNumber::DivisionByZero);
    return Units::roundHalfEvenToInt(double(height) / origHeight * 100.0);
}

int sliderPercent(int percent)
{
    return percent > MaxPercent ? MaxPercent : percent;
}

} // namespace ZoomMath
