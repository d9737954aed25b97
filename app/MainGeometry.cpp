#include "app/MainGeometry.h"

#include "platform/ErrorState.h"

#include <algorithm>
#include <cmath>

namespace MainGeometry {

namespace {
// Enough of the window to take hold of it with the mouse.
constexpr int GrabWidth = 40;
constexpr int GrabHeight = 20;
} // namespace

int stateCode(Qt::WindowStates states)
{
    if (states & Qt::WindowMinimized)
        return 1;
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

Qt::WindowStates statesFromCode(int code)
{
    switch (code) {
    case 0:
        return Qt::WindowNoState;
    case 1:
        return Qt::WindowMinimized;
    case 2:
        return Qt::WindowMaximized;
    default:
        raiseError(ErrorNumber::InvalidPropertyValue);
    }
}

QRect ontoScreen(const QRect &window, const QList<QRect> &availableScreens)
{
    if (availableScreens.isEmpty())
        return window;
    for (const QRect &screen : availableScreens) {
        const QRect shown = window.intersected(screen);
        if (shown.width() >= std::min(GrabWidth, window.width()) && shown.height() >= std::min(GrabHeight, window.height())
            && !shown.isEmpty())
            return window;
    }
    const QRect &screen = availableScreens.first();
    QRect moved(window.topLeft(), window.size().boundedTo(screen.size()));
    moved.moveLeft(std::clamp(moved.left(), screen.left(), screen.right() + 1 - moved.width()));
    moved.moveTop(std::clamp(moved.top(), screen.top(), screen.bottom() + 1 - moved.height()));
    return moved;
}

} // namespace MainGeometry
