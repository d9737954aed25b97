#pragma once

#include <QString>

#include <functional>

class QObject;
class QWidget;

// Message boxes take the message-box style value and return its result codes.
namespace MsgBoxStyle {
constexpr int OKOnly = 0;
constexpr int OKCancel = 1;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int DefaultButton2 = 256;
constexpr int DefaultButton3 = 512;
constexpr int SystemModal = 4096;
} // namespace MsgBoxStyle

namespace MsgBoxResult {
constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgBoxResult

struct MessageBoxRequest
{
    QString prompt;
    int style = 0;
    QString title;
    QWidget *parent = nullptr;
    // A box that asks for a line of text shows this text first and leaves the
    // answer in it when the box is accepted.
    QString *text = nullptr;
    // The box closes, answered as cancelled, when this object goes away.
    QObject *owner = nullptr;
    // A box that speaks for one part of a window (a page) is modal to that part alone:
    // the part takes no mouse or keyboard input while the box runs, and the rest of the
    // program, its menus and its other windows, stays usable.
    QWidget *blocks = nullptr;
    // When set, the box offers a check box with this text; its state is left in
    // checked (which also gives its first state) when the box closes.
    QString checkBoxText;
    bool *checked = nullptr;

    int buttons() const { return style & 0x0F; }
    int icon() const { return style & 0x70; }
    int defaultButton() const { return style & 0x300; }
    // What the box answers when it is closed without a choice (Escape, close box).
    int cancellingAnswer() const;
};

// Every message box of the program goes through the installed service, so that
// tests can answer them and read what they said.
class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;
    virtual int show(const MessageBoxRequest &request) = 0;

    static MessageBoxService &current();
    // Installs a service (nullptr restores the one over QMessageBox); not owned.
    static void install(MessageBoxService *service);
};

// Shows a message box; a box without a title of its own carries the program's name.
int MsgBox(const QString &prompt, int style = MsgBoxStyle::OKOnly, const QString &title = {},
           QWidget *parent = nullptr);
// Shows the request as it is, unless the program is ending (then the box is not shown
// and the cancelling answer comes back at once).
int showMessageBox(const MessageBoxRequest &request);

// A window must never be deleted while a dialog's own event loop runs inside one of
// its handlers: the dialog would return into a window that is gone. Whoever deletes
// windows while such a loop may run closes the dialogs first and waits for their loops
// to return.
namespace DialogLoops {
// Records the level of the program's main event loop; called once that loop runs.
// Until then (tests drive windows without one) every running loop counts.
void markMainLoop();
// True while a dialog or pop-up menu runs its own event loop.
bool running();
// Closes every modal dialog (those modal to part of a window too) as cancelled and
// every pop-up menu.
void closeAll();
// The program is ending: closes every dialog, and from now on no dialog is shown any
// more (each is answered at once as cancelled).
void endAll();
bool ending();
// Runs the action once no dialog loop runs (at once when none does), closing the
// dialogs that still open meanwhile; nothing runs when the context is gone first.
void afterAll(QObject *context, std::function<void()> action);
// Forgets the ending and the main loop's level (tests).
void reset();
} // namespace DialogLoops
