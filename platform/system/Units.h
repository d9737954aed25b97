#pragma once

#include <cmath>

// Lengths are stored in twips, 15 to a pixel. A fractional result becomes whole by
// rounding to the nearest number, a half going to the even one (0.5 gives 0, 1.5
// gives 2, 12.5 gives 12): progress percentages, zoom sizes and pixel positions alike.
namespace Units {

constexpr int TwipsPerPixel = 15;

// The default floating-point rounding mode is to the nearest, ties to even.
inline double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

// The same as a whole number; the caller knows that it fits.
inline int roundHalfEvenToInt(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

inline int twipsToPixels(double twips)
{
    return roundHalfEvenToInt(twips / TwipsPerPixel);
}

constexpr int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

} // namespace Units
