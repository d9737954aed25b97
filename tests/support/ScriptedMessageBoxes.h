#pragma once

#include "platform/controls/MessageBox.h"

#include <QList>
#include <QStringList>

// Answers message boxes from a script and records what they said. Installed for
// the lifetime of the object; the service it replaced answers again afterwards.
class ScriptedMessageBoxes : public MessageBoxService
{
public:
    ScriptedMessageBoxes()
        : m_previous(&MessageBoxService::current())
    {
        MessageBoxService::install(this);
    }
    ~ScriptedMessageBoxes() override { MessageBoxService::install(m_previous); }

    // Answers given in order; when they run out, the first button's answer.
    QList<int> answers;
    // Typed into boxes that ask for text, in order; when they run out the text stays.
    QStringList typed;
    QList<MessageBoxRequest> shown;

    int show(const MessageBoxRequest &request) override
    {
        shown.append(request);
        if (request.text && !typed.isEmpty())
            *request.text = typed.takeFirst();
        if (!answers.isEmpty())
            return answers.takeFirst();
        switch (request.buttons()) {
        case MsgBoxStyle::YesNo:
        case MsgBoxStyle::YesNoCancel: return MsgBoxResult::Yes;
        case MsgBoxStyle::RetryCancel: return MsgBoxResult::Retry;
        case MsgBoxStyle::AbortRetryIgnore: return MsgBoxResult::Abort;
        default: return MsgBoxResult::OK;
        }
    }

private:
    MessageBoxService *m_previous;
};
