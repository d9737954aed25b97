#include "app/MainGeometry.h"

#include "platform/system/ErrorState.h"

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace MainGeometry {

namespace {
// Enough of the window to take hold of it with the mouse.
constexpr int GrabWidth = 40;
constexpr int GrabHeight = 20;

constexpr Qt::WindowStates KeptStates = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

class StateKeeper : public QObject
{
public:
    explicit StateKeeper(QWidget *window)
        : QObject(window)
    {
        setObjectName(QStringLiteral("windowStateKeeper"));
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::WinIdChange)
            return false;
        auto *window = static_cast<QWidget *>(watched);
        QWindow *handle = window->windowHandle();
        // The widget still holds the state its previous native window had; the new one is
        // not mapped yet, so the window manager takes the state, and the normal
        // geometry to go back to, from it.
        const Qt::WindowStates states = window->windowState() & KeptStates;
        if (!window->internalWinId() || !handle || states == Qt::WindowNoState
            || (handle->windowStates() & KeptStates) == states)
            return false;
        const QRect normal = window->normalGeometry();
        if ((states & (Qt::WindowMaximized | Qt::WindowFullScreen)) && normal.isValid()) {
            // A window never placed by the program is placed by the window manager.
            if (window->testAttribute(Qt::WA_Moved))
                handle->setGeometry(normal);
            else
                handle->resize(normal.size());
        }
        handle->setWindowStates(states);
        return false;
    }
};
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

void keepStateOnNewNativeWindows(QWidget *window)
{
    if (!window->findChild<QObject *>(QStringLiteral("windowStateKeeper"), Qt::FindDirectChildrenOnly))
        new StateKeeper(window);
}

} // namespace MainGeometry
