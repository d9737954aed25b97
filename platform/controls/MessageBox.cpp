#include "platform/controls/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QBoxLayout>
#include <QCheckBox>
#include <QDialog>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <vector>

namespace {

struct ButtonChoice
{
    QMessageBox::StandardButton button;
    int result;
    const char *caption;
};

// The captions are the program's own, so a box speaks Czech whether or not the
// toolkit's translations are installed.
std::vector<ButtonChoice> buttonsFor(int buttons)
{
    using B = QMessageBox;
    const ButtonChoice ok{B::Ok, MsgBoxResult::OK, "OK"};
    const ButtonChoice cancel{B::Cancel, MsgBoxResult::Cancel, "Zrušit"};
    const ButtonChoice yes{B::Yes, MsgBoxResult::Yes, "&Ano"};
    const ButtonChoice no{B::No, MsgBoxResult::No, "&Ne"};
    const ButtonChoice retry{B::Retry, MsgBoxResult::Retry, "&Opakovat"};
    switch (buttons) {
    case MsgBoxStyle::OKCancel: return {ok, cancel};
    case MsgBoxStyle::AbortRetryIgnore:
        return {{B::Abort, MsgBoxResult::Abort, "&Přerušit"}, retry, {B::Ignore, MsgBoxResult::Ignore, "&Ignorovat"}};
    case MsgBoxStyle::YesNoCancel: return {yes, no, cancel};
    case MsgBoxStyle::YesNo: return {yes, no};
    case MsgBoxStyle::RetryCancel: return {retry, cancel};
    default: return {ok};
    }
}

QMessageBox::Icon iconFor(int icon)
{
    switch (icon) {
    case MsgBoxStyle::Critical: return QMessageBox::Critical;
    case MsgBoxStyle::Question: return QMessageBox::Question;
    case MsgBoxStyle::Exclamation: return QMessageBox::Warning;
    case MsgBoxStyle::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// How wide a window must be for the window manager to show its whole title: the title
// as frames draw it (bold, and a little wider than the program's own font to be safe),
// beside the frame's icon and buttons.
int widthForTitle(const QString &title)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) * 11 / 10 + 6 * metrics.height();
}

// A dialog's layout decides its width: an empty item as wide as the title keeps it
// from growing narrower than that.
void keepWideEnoughForTitle(QDialog *dialog)
{
    auto *strut = new QSpacerItem(widthForTitle(dialog->windowTitle()), 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout()))
        grid->addItem(strut, grid->rowCount(), 0, 1, grid->columnCount());
    else if (dialog->layout())
        dialog->layout()->addItem(strut);
    else
        delete strut;
}

// The toolkit sizes a message box for its text alone and fixes that size each time it
// is shown, having built its layout anew whenever its parts changed; a short message
// under a long title would cut the title off.
template<typename Dialog>
class KeepsTitleWhole : public Dialog
{
public:
    using Dialog::Dialog;

protected:
    void showEvent(QShowEvent *event) override
    {
        keepWideEnoughForTitle(this);
        Dialog::showEvent(event);
    }
};

// Marks a box that is modal to part of a window only: the toolkit knows it as not modal.
const char *const kPartModal = "vorlanModalToPart";

// Keeps the mouse and the keyboard away from a widget and its children while it lives.
class InputBlock : public QObject
{
public:
    explicit InputBlock(QWidget *blocked)
        : m_blocked(blocked)
    {
        qApp->installEventFilter(this);
    }
    ~InputBlock() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            break;
        default:
            return false;
        }
        auto *widget = qobject_cast<QWidget *>(watched);
        return widget && m_blocked && (widget == m_blocked || m_blocked->isAncestorOf(widget));
    }

private:
    QPointer<QWidget> m_blocked;
};

// A box that blocks only part of a window leaves the rest of that window usable, its keys
// included: while the box has the keyboard, a key it has no use for that is a shortcut of
// the window it belongs to (Ctrl+F9 closing the window, F9 opening one) does what it does
// there. The toolkit would give such a key to the box alone, the active window.
class WindowKeys : public QObject
{
public:
    WindowKeys(QDialog *dialog, QWidget *window)
        : m_dialog(dialog)
        , m_window(window)
    {
        if (m_window)
            qApp->installEventFilter(this);
    }
    ~WindowKeys() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !m_dialog || !m_window)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->window() != m_dialog)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (boxUses(widget, key))
            return false;
        QAction *action = windowAction(QKeySequence(key->keyCombination()));
        if (!action)
            return false;
        // Out of the key's delivery first: the action may close the box's window.
        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
        return true;
    }

private:
    // Keys a box answers itself: its buttons' keys, moving between them, what the focused
    // field takes (text, copying, undoing).
    static bool boxUses(QWidget *focused, const QKeyEvent *key)
    {
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Space:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
            return true;
        default:
            break;
        }
        if (key->matches(QKeySequence::Copy))
            return true;
        // Plain keys and Alt with a letter: typing, or a button's mnemonic.
        if (!(modifiers & (Qt::ControlModifier | Qt::MetaModifier))
            && (key->key() < Qt::Key_F1 || key->key() > Qt::Key_F35))
            return true;
        // What the focused field would take before any shortcut.
        QKeyEvent override(QEvent::ShortcutOverride, key->key(), key->modifiers(), key->text());
        override.ignore();
        QCoreApplication::sendEvent(focused, &override);
        return override.isAccepted();
    }

    QAction *windowAction(const QKeySequence &pressed) const
    {
        for (QAction *action : m_window->findChildren<QAction *>()) {
            if (action->shortcutContext() == Qt::WidgetShortcut || !action->isEnabled())
                continue;
            for (const QKeySequence &shortcut : action->shortcuts()) {
                if (shortcut == pressed)
                    return action;
            }
        }
        return nullptr;
    }

    QPointer<QDialog> m_dialog;
    QPointer<QWidget> m_window;
};

// Runs the dialog until it is answered: modal to the whole program, or to the part of a
// window the request names; true when it was accepted.
bool runDialog(QDialog *dialog, const MessageBoxRequest &request)
{
    if (!request.blocks)
        return dialog->exec() == QDialog::Accepted;
    const QPointer<QDialog> watched(dialog);
    dialog->setProperty(kPartModal, true);
    // A message box makes itself modal to the program when it is made.
    dialog->setWindowModality(Qt::NonModal);
    const InputBlock block(request.blocks);
    const WindowKeys keys(dialog, request.blocks->window());
    QEventLoop loop;
    QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    loop.exec(QEventLoop::DialogExec);
    return watched && watched->result() == QDialog::Accepted;
}

QCheckBox *offerCheckBox(const MessageBoxRequest &request, QWidget *parent)
{
    if (request.checkBoxText.isEmpty())
        return nullptr;
    auto *box = new QCheckBox(request.checkBoxText, parent);
    box->setChecked(request.checked && *request.checked);
    return box;
}

// The box lives on the heap and is watched: should its parent go while it runs, the
// box goes with it and the call still returns safely.
class QtMessageBoxService : public MessageBoxService
{
public:
    int show(const MessageBoxRequest &request) override
    {
        QWidget *parent = request.parent ? request.parent->window() : QApplication::activeWindow();
        return request.text ? askText(request, parent) : showBox(request, parent);
    }

private:
    static void prepare(QDialog *dialog, const MessageBoxRequest &request)
    {
        dialog->setWindowTitle(request.title);
        if (request.style & MsgBoxStyle::SystemModal)
            dialog->setWindowModality(Qt::ApplicationModal);
        if (request.owner)
            QObject::connect(request.owner, &QObject::destroyed, dialog, &QDialog::reject);
    }

    static int showBox(const MessageBoxRequest &request, QWidget *parent)
    {
        QPointer<QMessageBox> box = new KeepsTitleWhole<QMessageBox>(parent);
        prepare(box, request);
        box->setText(request.prompt);
        box->setIcon(iconFor(request.icon()));
        const std::vector<ButtonChoice> choices = buttonsFor(request.buttons());
        for (const ButtonChoice &choice : choices)
            box->addButton(choice.button)->setText(QString::fromUtf8(choice.caption));
        const size_t defaultIndex = static_cast<size_t>(request.defaultButton() >> 8);
        if (defaultIndex < choices.size())
            box->setDefaultButton(choices[defaultIndex].button);
        if (QCheckBox *offered = offerCheckBox(request, box))
            box->setCheckBox(offered);
        runDialog(box, request);
        if (!box)
            return request.cancellingAnswer();
        if (request.checked && box->checkBox())
            *request.checked = box->checkBox()->isChecked();
        QAbstractButton *clicked = box->clickedButton();
        int result = request.cancellingAnswer();
        for (const ButtonChoice &choice : choices) {
            if (clicked && clicked == box->button(choice.button))
                result = choice.result;
        }
        delete box;
        return result;
    }

    static int askText(const MessageBoxRequest &request, QWidget *parent)
    {
        QPointer<QInputDialog> dialog = new KeepsTitleWhole<QInputDialog>(parent);
        prepare(dialog, request);
        dialog->setLabelText(request.prompt);
        dialog->setTextValue(*request.text);
        dialog->setOkButtonText(QStringLiteral("OK"));
        dialog->setCancelButtonText(QStringLiteral("Zrušit"));
        QPointer<QCheckBox> offered = offerCheckBox(request, dialog);
        if (offered) {
            // Asking for the size lays the dialog out; the box goes above its buttons.
            dialog->sizeHint();
            if (auto *column = qobject_cast<QBoxLayout *>(dialog->layout()))
                column->insertWidget(column->count() - 1, offered);
        }
        const bool accepted = runDialog(dialog, request);
        if (!dialog)
            return MsgBoxResult::Cancel;
        if (accepted)
            *request.text = dialog->textValue();
        if (request.checked && offered)
            *request.checked = offered->isChecked();
        delete dialog;
        return accepted ? MsgBoxResult::OK : MsgBoxResult::Cancel;
    }
};

MessageBoxService *&installed()
{
    static MessageBoxService *service = nullptr;
    return service;
}

struct LoopState
{
    int mainLoopLevel = 0;
    bool ending = false;
};

LoopState &loops()
{
    static LoopState state;
    return state;
}

} // namespace

int MessageBoxRequest::cancellingAnswer() const
{
    if (text)
        return MsgBoxResult::Cancel;
    const std::vector<ButtonChoice> choices = buttonsFor(buttons());
    for (int answer : {MsgBoxResult::Cancel, MsgBoxResult::No}) {
        for (const ButtonChoice &choice : choices) {
            if (choice.result == answer)
                return answer;
        }
    }
    return choices.front().result;
}

MessageBoxService &MessageBoxService::current()
{
    static QtMessageBoxService fallback;
    MessageBoxService *service = installed();
    return service ? *service : fallback;
}

void MessageBoxService::install(MessageBoxService *service)
{
    installed() = service;
}

int showMessageBox(const MessageBoxRequest &request)
{
    if (DialogLoops::ending())
        return request.cancellingAnswer();
    return MessageBoxService::current().show(request);
}

int MsgBox(const QString &prompt, int style, const QString &title, QWidget *parent)
{
    MessageBoxRequest request;
    request.prompt = prompt;
    request.style = style;
    request.title = title.isEmpty() ? QStringLiteral("Vorlan") : title;
    request.parent = parent;
    return showMessageBox(request);
}

namespace DialogLoops {

void markMainLoop()
{
    loops().mainLoopLevel = QThread::currentThread()->loopLevel();
}

bool running()
{
    return QThread::currentThread()->loopLevel() > loops().mainLoopLevel;
}

void closeAll()
{
    while (QWidget *popup = QApplication::activePopupWidget()) {
        if (!popup->close())
            break;
    }
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(widget);
        if (dialog && dialog->isVisible() && (dialog->isModal() || dialog->property(kPartModal).toBool()))
            dialog->reject();
    }
}

void endAll()
{
    loops().ending = true;
    closeAll();
}

bool ending()
{
    return loops().ending;
}

void afterAll(QObject *context, std::function<void()> action)
{
    if (!running()) {
        action();
        return;
    }
    closeAll();
    // Polled from whichever loop runs: the dialogs' loops return one by one as the
    // calls that opened them unwind.
    auto *poll = new QTimer(context);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, context, [poll, action = std::move(action)] {
        if (running()) {
            closeAll();
            return;
        }
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
}

void reset()
{
    loops() = {};
}

} // namespace DialogLoops
