#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace {

struct ButtonChoice
{
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonChoice> buttonsFor(int buttons)
{
    using B = QMessageBox;
    switch (buttons) {
    case MsgBoxStyle::OKCancel: return {{B::Ok, MsgBoxResult::OK}, {B::Cancel, MsgBoxResult::Cancel}};
    case MsgBoxStyle::AbortRetryIgnore:
        return {{B::Abort, MsgBoxResult::Abort}, {B::Retry, MsgBoxResult::Retry}, {B::Ignore, MsgBoxResult::Ignore}};
    case MsgBoxStyle::YesNoCancel:
        return {{B::Yes, MsgBoxResult::Yes}, {B::No, MsgBoxResult::No}, {B::Cancel, MsgBoxResult::Cancel}};
    case MsgBoxStyle::YesNo: return {{B::Yes, MsgBoxResult::Yes}, {B::No, MsgBoxResult::No}};
    case MsgBoxStyle::RetryCancel: return {{B::Retry, MsgBoxResult::Retry}, {B::Cancel, MsgBoxResult::Cancel}};
    default: return {{B::Ok, MsgBoxResult::OK}};
    }
}

class QtMessageBoxService : public MessageBoxService
{
public:
    int show(const MessageBoxRequest &request) override
    {
        QMessageBox box(request.parent ? request.parent : QApplication::activeWindow());
        box.setWindowTitle(request.title);
        box.setText(request.prompt);
        switch (request.icon()) {
        case MsgBoxStyle::Critical: box.setIcon(QMessageBox::Critical); break;
        case MsgBoxStyle::Question: box.setIcon(QMessageBox::Question); break;
        case MsgBoxStyle::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgBoxStyle::Information: box.setIcon(QMessageBox::Information); break;
        default: box.setIcon(QMessageBox::NoIcon); break;
        }
        const std::vector<ButtonChoice> choices = buttonsFor(request.buttons());
        for (const ButtonChoice &choice : choices)
            box.addButton(choice.button);
        const size_t defaultIndex = static_cast<size_t>(request.defaultButton() >> 8);
        if (defaultIndex < choices.size())
            box.setDefaultButton(choices[defaultIndex].button);
        if (request.style & MsgBoxStyle::SystemModal)
            box.setWindowModality(Qt::ApplicationModal);
        box.exec();
        QAbstractButton *clicked = box.clickedButton();
        for (const ButtonChoice &choice : choices) {
            if (clicked == box.button(choice.button))
                return choice.result;
        }
        // Closed with Escape or the close box: the cancelling answer where there is one.
        for (const ButtonChoice &choice : choices) {
            if (choice.result == MsgBoxResult::Cancel || choice.result == MsgBoxResult::No)
                return choice.result;
        }
        return choices.front().result;
    }
};

MessageBoxService *&installed()
{
    static MessageBoxService *service = nullptr;
    return service;
}

} // namespace

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

int MsgBox(const QString &prompt, int style, const QString &title, QWidget *parent)
{
    MessageBoxRequest request;
    request.prompt = prompt;
    request.style = style;
    request.title = title.isEmpty() ? QStringLiteral("Vorlan") : title;
    request.parent = parent;
    return MessageBoxService::current().show(request);
}
