#include "app/frmMain.h"

#include "core/SharedState.h"

// Each pane is built on its first showing; the panes' own work fills these in.

void frmMain::initSearchForFiles()
{
    shared().SearchPaneReady = true;
}
