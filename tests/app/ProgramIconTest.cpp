#include "app/ProgramIcon.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

TEST(ProgramIcon, IsAFolderWithAGlobeOnATransparentGround)
{
    const QIcon icon = programIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(image.pixel(0, size - 1)), 0) << "the corner lets the title bar show through";
        const QColor folder = image.pixelColor(size / 6, size * 3 / 4);
        const QColor globe = image.pixelColor(size * 2 / 3, size / 8 + size / 16);
        EXPECT_GT(folder.red(), folder.blue()) << "yellow folder";
        EXPECT_GT(globe.blue(), globe.red()) << "blue globe";
    }
}
