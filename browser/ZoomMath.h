#pragma once

// The arithmetic of the image zoom, in plain values. Image sizes are pixels, room
// sizes twips (15 to a pixel). Every result is rounded to the nearest whole number,
// a half going to the even one.
namespace ZoomMath {

// What the browser control's edges take from the room for the image.
constexpr int RoomMargin = 650;
constexpr int MaxPercent = 1000;

struct ImageSize
{
    int width = 0;
    int height = 0;
    bool operator==(const ImageSize &) const = default;
};

// One browser window's memory of the image it shows; 0 = not measured yet.
struct ZoomMemory
{
    int origWidth = 0;   // pixels
    int origHeight = 0;
    int twipsWidth = 0;  // twips
    int twipsHeight = 0;

    // A completed download forgets everything; a completed navigation the twips pair.
    void resetAll() { *this = ZoomMemory(); }
    void resetTwips() { twipsWidth = twipsHeight = 0; }
    // Takes the element's size as the original where none is known yet.
    void measureOriginal(ImageSize element);
    void measureTwips(ImageSize element);
};

int roomFor(int controlTwips);

// The image at percent of its original size.
ImageSize atPercent(const ZoomMemory &memory, int percent);
// The automatic fit: only an image that does not fit shrinks; the side with the larger
// excess in twips is fitted. Uses the memory's twips size.
ImageSize autoFit(const ZoomMemory &memory, ImageSize current, int roomWidthTwips, int roomHeightTwips);
// The fit on demand: always fits; the side with the larger ratio of image to room is
// fitted, the height when they are equal.
ImageSize fitNow(ImageSize current, int roomWidthTwips, int roomHeightTwips);
// The height as a percentage of the original; raises "Division by zero" (11) when the
// original is unknown.
int percentOf(int height, int origHeight);
// What the slider can show.
int sliderPercent(int percent);

} // namespace ZoomMath
