#pragma once

#include <QRect>
#include <QSize>

#include <vector>

// Arrangements of the browser windows inside the frame's client area, in pixels.
namespace WindowLayout {

// Size of the Window menu's preset 1 to 3 (640x480, 800x600, 1024x768); an empty size
// for any other index.
QSize presetSize(int index);

// Each window a step lower and to the right of the one before, all of one size; a
// window that would leave the area starts again at the top left.
std::vector<QRect> cascade(const QRect &area, int count, int step);
// Windows stacked from top to bottom, each the full width of the area.
std::vector<QRect> tileHorizontally(const QRect &area, int count);
// Windows side by side from left to right, each the full height of the area.
std::vector<QRect> tileVertically(const QRect &area, int count);
// Positions of minimised windows: rows along the bottom edge, from the left.
std::vector<QPoint> iconPositions(const QRect &area, const QSize &iconSize, int count);

} // namespace WindowLayout
