#include "app/WindowLayout.h"

#include "platform/system/Units.h"

#include <algorithm>

namespace WindowLayout {

QSize presetSize(int index)
{
    // The presets are kept in twips.
    const auto pixels = [](int width, int height) { return QSize(Units::twipsToPixels(width), Units::twipsToPixels(height)); };
    switch (index) {
    case 1: return pixels(9600, 7200);
    case 2: return pixels(12000, 9000);
    case 3: return pixels(15360, 11520);
    default: return {};
    }
}

std::vector<QRect> cascade(const QRect &area, int count, int step)
{
    std::vector<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    step = std::max(step, 1);
    const int shrink = step * std::min(count - 1, 8);
    const QSize size(std::max(area.width() * 2 / 3, area.width() - shrink),
                     std::max(area.height() * 2 / 3, area.height() - shrink));
    QPoint corner = area.topLeft();
    for (int i = 0; i < count; ++i) {
        if (corner.x() + size.width() > area.right() + 1 || corner.y() + size.height() > area.bottom() + 1)
            corner = area.topLeft();
        rects.emplace_back(corner, size);
        corner += QPoint(step, step);
    }
    return rects;
}

namespace {

// Splits length into count parts that differ by at most one pixel and fill it exactly.
int partStart(int length, int count, int i)
{
    return int(qint64(length) * i / count);
}

} // namespace

std::vector<QRect> tileHorizontally(const QRect &area, int count)
{
    std::vector<QRect> rects;
    for (int i = 0; i < count; ++i) {
        const int top = partStart(area.height(), count, i);
        const int bottom = partStart(area.height(), count, i + 1);
        rects.emplace_back(area.left(), area.top() + top, area.width(), bottom - top);
    }
    return rects;
}

std::vector<QRect> tileVertically(const QRect &area, int count)
{
    std::vector<QRect> rects;
    for (int i = 0; i < count; ++i) {
        const int left = partStart(area.width(), count, i);
        const int right = partStart(area.width(), count, i + 1);
        rects.emplace_back(area.left() + left, area.top(), right - left, area.height());
    }
    return rects;
}

std::vector<QPoint> iconPositions(const QRect &area, const QSize &iconSize, int count)
{
    std::vector<QPoint> points;
    const int perRow = std::max(1, area.width() / std::max(1, iconSize.width()));
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow;
        const int column = i % perRow;
        points.emplace_back(area.left() + column * iconSize.width(),
                            area.bottom() + 1 - (row + 1) * iconSize.height());
    }
    return points;
}

} // namespace WindowLayout
