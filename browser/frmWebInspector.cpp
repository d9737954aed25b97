// The element inspector: the window reports the element under the mouse, and the
// main window's status bar names it.
#include "browser/frmWeb.h"

#include "browser/AddressText.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"

void frmWeb::DocEvents_onmouseover(const QVariantMap &element)
{
    emit ElementPointed(element, ExtractResFile(Web->LocationURL()));
    ErrorState::clear();
}
