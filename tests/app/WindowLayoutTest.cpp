#include "app/WindowLayout.h"

#include <gtest/gtest.h>

namespace {

// The tiles cover the area exactly, without gaps or overlaps.
void expectCovers(const std::vector<QRect> &tiles, const QRect &area)
{
    int covered = 0;
    for (size_t i = 0; i < tiles.size(); ++i) {
        EXPECT_TRUE(area.contains(tiles[i])) << i;
        covered += tiles[i].width() * tiles[i].height();
        for (size_t j = i + 1; j < tiles.size(); ++j)
            EXPECT_FALSE(tiles[i].intersects(tiles[j])) << i << " " << j;
    }
    EXPECT_EQ(covered, area.width() * area.height());
}

TEST(WindowLayout, TilingSplitsTheAreaIntoRowsOrColumns)
{
    const QRect area(10, 20, 1000, 601);
    for (int count : {1, 2, 3, 7}) {
        SCOPED_TRACE(count);
        const auto rows = WindowLayout::tileHorizontally(area, count);
        ASSERT_EQ(int(rows.size()), count);
        expectCovers(rows, area);
        for (const QRect &row : rows) {
            EXPECT_EQ(row.width(), area.width());
            EXPECT_LE(std::abs(row.height() - area.height() / count), 1);
        }
        const auto columns = WindowLayout::tileVertically(area, count);
        ASSERT_EQ(int(columns.size()), count);
        expectCovers(columns, area);
        for (const QRect &column : columns)
            EXPECT_EQ(column.height(), area.height());
    }
    EXPECT_TRUE(WindowLayout::tileHorizontally(area, 0).empty());
}

TEST(WindowLayout, CascadeStepsDownAndStaysInside)
{
    const QRect area(0, 0, 800, 600);
    const auto rects = WindowLayout::cascade(area, 4, 20);
    ASSERT_EQ(rects.size(), 4u);
    for (size_t i = 0; i < rects.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(area.contains(rects[i]));
        EXPECT_EQ(rects[i].size(), rects[0].size());
        EXPECT_EQ(rects[i].topLeft(), QPoint(int(i) * 20, int(i) * 20));
    }
    for (const QRect &r : WindowLayout::cascade(area, 40, 20))
        EXPECT_TRUE(area.contains(r));
}

TEST(WindowLayout, IconsLineUpAlongTheBottom)
{
    const auto points = WindowLayout::iconPositions(QRect(0, 0, 300, 400), QSize(100, 30), 4);
    const std::vector<QPoint> expected = {{0, 370}, {100, 370}, {200, 370}, {0, 340}};
    EXPECT_EQ(points, expected);
}

} // namespace
