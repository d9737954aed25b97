#pragma once

#include <QString>

class QWidget;

// Message boxes take the classic style value and return the classic result codes.
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

    int buttons() const { return style & 0x0F; }
    int icon() const { return style & 0x70; }
    int defaultButton() const { return style & 0x300; }
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
