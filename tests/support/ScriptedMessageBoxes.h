#pragma once

#include "platform/MessageBox.h"

#include <QList>

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
    QList<MessageBoxRequest> shown;

    int show(const MessageBoxRequest &request) override
    {
        shown.append(request);
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
