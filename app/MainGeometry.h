#pragma once

#include <QList>
#include <QRect>

#include <Qt>

class QWidget;

// The main window's stored geometry: twips (15 to a pixel) and the window-state codes
// "0" normal, "1" minimised, "2" maximised.
namespace MainGeometry {

int stateCode(Qt::WindowStates states);
// Raises "Invalid property value" for a code other than 0, 1 or 2.
Qt::WindowStates statesFromCode(int code);

// A window whose frame shows less than a grabbable strip on every screen is moved
// (and if need be shrunk) onto the first available screen area; otherwise it is
// returned unchanged. An empty screen list changes nothing.
QRect ontoScreen(const QRect &window, const QList<QRect> &availableScreens);

// A shown top-level window may get a new native window (the first page view turns
// its surface into an accelerated one); the new one would start normal. From now on
// the window's minimised or maximised state is handed to every new native window
// before the window manager sees it.
void keepStateOnNewNativeWindows(QWidget *window);

} // namespace MainGeometry
