#pragma once

#include "platform/ErrorState.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>

#include <functional>

// Shared by the tests of the key-addressed controls.
namespace ControlsTest {

// The error number a step raised; 0 when it ran to its end.
inline int raised(const std::function<void()> &step)
{
    try {
        step();
    } catch (const RuntimeError &error) {
        return error.number();
    }
    return 0;
}

inline QIcon solid(const QColor &colour, int side = 16)
{
    QPixmap pixmap(side, side);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// The colour an icon shows in a mode, read from its middle.
inline QColor colourOf(const QIcon &icon, QIcon::Mode mode = QIcon::Normal, int side = 16)
{
    const QImage image = icon.pixmap(QSize(side, side), 1.0, mode).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace ControlsTest
