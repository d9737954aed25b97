#pragma once

#include <QPoint>
#include <QSize>

// Where parts of the program's main window lie, in the window's own coordinates: the
// same window built in this process from the same settings, shown under the same
// window manager until it has the program's size, measured, and closed again. Measure
// before giving the program the keyboard: the probe takes it while it is shown.
struct MainWindowLayout
{
    QPoint firstTab;
    QPoint windowArea;
    QPoint address;
    QPoint splitterGrip;
    bool measured = false;

    static MainWindowLayout measure(const QSize &size);
};
