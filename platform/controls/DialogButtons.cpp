#include "platform/controls/DialogButtons.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace {

// A key the focused button leaves unaccepted travels up to its dialog; the filter
// takes Enter there before the dialog hands it to its default button.
class FocusedButtonEnter : public QObject
{
public:
    explicit FocusedButtonEnter(QDialog *dialog)
        : QObject(dialog)
        , m_dialog(dialog)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_dialog || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(m_dialog->focusWidget());
        if (!button || button->window() != m_dialog || !button->isVisible())
            return false;
        if (button->isEnabled())
            button->click();
        return true;
    }

private:
    QDialog *m_dialog;
};

} // namespace

void enterPressesFocusedButton(QDialog *dialog)
{
    dialog->installEventFilter(new FocusedButtonEnter(dialog));
}
