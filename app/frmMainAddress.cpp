// The main window's address combo: Enter loads the typed text into the active window.
#include "app/ErrorLog.h"
#include "app/frmMain.h"
#include "browser/BrowserEventRules.h"
#include "browser/frmWeb.h"
#include "platform/BrowserControl.h"
#include "platform/ErrorState.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace {
constexpr int kEnter = 13;
} // namespace

void frmMain::connectAddressCombo()
{
    // The events of the combo's text field reach the window's application-wide filter.
    txtAddress->lineEdit()->setObjectName(QStringLiteral("txtAddressEdit"));
}

bool frmMain::filterAddressComboEvent(QObject *watched, QEvent *event)
{
    if (!txtAddress || watched != txtAddress->lineEdit())
        return false;
    if (event->type() == QEvent::FocusIn) {
        txtAddress_GotFocus();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        txtAddress_KeyPress(kEnter);
        return false;
    }
    if (key->key() == Qt::Key_Insert || key->key() == Qt::Key_F12) {
        txtAddress_KeyDown(key->key(), shiftMask(key->modifiers()));
        return true;
    }
    return false;
}

void frmMain::txtAddress_GotFocus()
{
    // After the click that gave the focus, which would place the cursor instead.
    QTimer::singleShot(0, txtAddress->lineEdit(), &QLineEdit::selectAll);
}

void frmMain::txtAddress_KeyDown(int KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    IgnoreErrors ignore;
    if (KeyCode == Qt::Key_Insert) {
        ignore([this] {
            if (picMain->isVisible())
                picMain->setFocus();
            else
                requireActiveForm()->Web->setFocusToPage();
        });
    } else if (KeyCode == Qt::Key_F12) {
        ignore([this] { showNextPane(); });
        ignore([this] { txtAddress->setFocus(); });
    }
    ErrorState::clear();
}

void frmMain::txtAddress_KeyPress(int KeyAscii)
{
    IgnoreErrors ignore;
    if (KeyAscii == kEnter)
        ignore([this] { requireActiveForm()->Web->Navigate(txtAddress->currentText()); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("txtAddress_KeyPress"), KeyAscii);
}
