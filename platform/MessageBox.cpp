#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace {

struct ButtonSpec
{
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonSpec> buttonsFor(int buttons)
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
        const std::vector<ButtonSpec> specs = buttonsFor(request.buttons());
        for (const ButtonSpec &spec : specs)
            box.addButton(spec.button);
        const size_t defaultIndex = static_cast<size_t>(request.defaultButton() >> 8);
        if (defaultIndex < specs.size())
            box.setDefaultButton(specs[defaultIndex].button);
        if (request.style & MsgBoxStyle::SystemModal)
            box.setWindowModality(Qt::ApplicationModal);
        box.exec();
        QAbstractButton *clicked = box.clickedButton();
        for (const ButtonSpec &spec : specs) {
            if (clicked == box.button(spec.button))
                return spec.result;
        }
        // Closed with Escape or the close box: the cancelling answer where there is one.
        for (const ButtonSpec &spec : specs) {
            if (spec.result == MsgBoxResult::Cancel || spec.result == MsgBoxResult::No)
                return spec.result;
        }
        return specs.front().result;
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
