// The element inspector: the status bar names the element under the mouse.
#include "browser/frmWeb.h"

#include "app/frmMain.h"
#include "browser/AddressText.h"
#include "browser/InspectorTable.h"
#include "platform/BrowserControl.h"
#include "platform/ErrorState.h"
#include "platform/Forms.h"
#include "platform/StatusBar.h"

#include <QComboBox>
#include <QLineEdit>

void frmWeb::DocEvents_onmouseover(const QVariantMap &element)
{
    if (!isActiveByTab())
        return;
    frmMain *main = Forms::get<frmMain>();
    IgnoreErrors ignore;
    ignore([&] {
        if (const std::optional<QString> parameters = InspectorTable::parameterText(element))
            main->sbStatusBar->panel(5).setText(*parameters);
    });
    ignore([&] { main->sbStatusBar->panel(4).setText(InspectorTable::tagText(element)); });
    ignore([&] {
        QComboBox *combo = main->txtAddress;
        const QString address = ExtractResFile(Web->LocationURL());
        // An item chosen from the list is no text of the user's, also while the combo has the focus.
        const bool itemChosen = combo->currentIndex() >= 0 && combo->itemText(combo->currentIndex()) == combo->currentText();
        const bool typing = combo->hasFocus() && !itemChosen;
        if (!InspectorTable::needsAddressResync(true, typing, combo->currentText(), address))
            return;
        QLineEdit *edit = combo->lineEdit();
        const int start = edit ? edit->selectionStart() : -1;
        const int length = edit ? edit->selectionLength() : 0;
        combo->setEditText(address);
        // A selection the user made survives the re-sync.
        if (edit && start >= 0)
            edit->setSelection(start, length);
    });
    ErrorState::clear();
}
