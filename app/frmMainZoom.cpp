// The main window's zoom slider and the fit-now command, on the active browser window.
#include "app/frmMain.h"

#include "browser/ProgressText.h"
#include "browser/frmWeb.h"
#include "core/ErrorLog.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/StatusBar.h"

#include <QSlider>

void frmMain::sliZoom_Change()
{
    IgnoreErrors ignore;
    const int percent = sliZoom->value();
    ignore([&] { requireActiveForm()->ZoomFrames(percent); });
    ignore([&] { sbStatusBar->panel(QStringLiteral("zoom")).setText(percentText(percent)); });
    sliZoom->setToolTip(percentText(percent));
    if (ErrorState::isSet())
        LogError(QStringLiteral("sliZoom_Change"), percent);
}

void frmMain::ZoomNow()
{
    IgnoreErrors ignore;
    ignore([this] { requireActiveForm()->ZoomNow(); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("ZoomNow"));
}
