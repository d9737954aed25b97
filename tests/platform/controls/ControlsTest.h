#pragma once

#include "RaisedError.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>

// Shared by the tests of the key-addressed controls.
namespace ControlsTest {

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
