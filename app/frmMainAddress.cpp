// The main window's address combo: Enter loads the typed text into the active window.
// While the user edits the text, the pages leave it alone; Esc, or leaving the field
// without Enter, brings back the active window's address.
#include "app/frmMain.h"
#include "browser/BrowserEventRules.h"
#include "browser/frmWeb.h"
#include "core/ErrorLog.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <limits>

namespace {
constexpr int kEnter = 13;

// The text field would type the letter of Alt+D (or of any key with Alt) over the
// address; such a key is a command, never text. Ctrl alone already types nothing and
// keeps the field's own editing keys.
bool isCommandKeyWithText(const QKeyEvent &key)
{
    return (key.modifiers() & (Qt::AltModifier | Qt::MetaModifier)) && !key.text().isEmpty()
        && key.text().at(0).isPrint();
}
} // namespace

void frmMain::connectAddressCombo()
{
    // The typed text is loaded as it stands: no inline completion from the history.
    txtAddress->setCompleter(nullptr);
    txtAddress->lineEdit()->setObjectName(QStringLiteral("txtAddressEdit"));
    // The line editor would silently keep only its first 32,767 characters of a pasted
    // address; the browser control refuses an address too long for the engine instead.
    txtAddress->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    // The editable combo takes the focus and the keys itself and hands them to its text field
    // by a direct call that no event filter sees; the field still reports Enter.
    connect(txtAddress->lineEdit(), &QLineEdit::returnPressed, this, [this] { txtAddress_KeyPress(kEnter); });
    // Only the user's own typing counts, not the addresses the windows put there.
    connect(txtAddress->lineEdit(), &QLineEdit::textEdited, this, [this] { m_addressEdited = true; });
}

bool frmMain::keepsTypedAddress() const
{
    return m_addressEdited && txtAddress->hasFocus();
}

void frmMain::showActiveAddress()
{
    m_addressEdited = false;
    if (frmWeb *window = ActiveForm())
        window->ChngAddr();
    else
        txtAddress->setEditText(QString());
}

bool frmMain::filterAddressComboEvent(QObject *watched, QEvent *event)
{
    // The combo is watched through the application-wide filter: it is the widget that
    // receives the focus and the keys of its text field.
    if (!txtAddress || watched != txtAddress)
        return false;
    if (event->type() == QEvent::FocusIn) {
        m_addressEntered = false;
        txtAddress_GotFocus();
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        // The keyboard moved away without Enter: what was typed is dropped. Its list, a
        // menu, a dialog or another program taking the keyboard for a while keeps it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (m_addressEdited && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            showActiveAddress();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        showActiveAddress();
        txtAddress->lineEdit()->selectAll();
        return true;
    }
    if (key->key() == Qt::Key_Insert || key->key() == Qt::Key_F12) {
        txtAddress_KeyDown(key->key(), shiftMask(key->modifiers()));
        return true;
    }
    return isCommandKeyWithText(*key);
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
        showNextPane();
        txtAddress->setFocus();
    }
    ErrorState::clear();
}

void frmMain::txtAddress_KeyPress(int KeyAscii)
{
    IgnoreErrors ignore;
    if (KeyAscii == kEnter) {
        // From now on the address follows the page that loads.
        m_addressEdited = false;
        m_addressEntered = true;
        ignore([this] { requireActiveForm()->Web->Navigate(txtAddress->currentText()); });
    }
    if (ErrorState::isSet())
        LogError(QStringLiteral("txtAddress_KeyPress"), KeyAscii);
}
