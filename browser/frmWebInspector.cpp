// The element inspector: the window reports the element under the mouse, and the
// main window's status bar names it.
#include "browser/frmWeb.h"

#include "browser/AddressText.h"
#include "platform/BrowserControl.h"
#include "platform/ErrorState.h"

void frmWeb::DocEvents_onmouseover(const QVariantMap &element)
{
    QString address;
    runIgnoringErrors([&] { address = ExtractResFile(Web->LocationURL()); });
    emit ElementPointed(element, address);
    ErrorState::clear();
}
