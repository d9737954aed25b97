#pragma once

#include "app/OpenSave.h"

#include <QList>
#include <QStringList>

// Answers save-file dialogs from a list of paths and records what they were asked;
// once the list runs out each dialog is cancelled. Installed for the object's lifetime.
class ScriptedSaveDialogs
{
public:
    ScriptedSaveDialogs()
    {
        OpenSave::setDialog([this](const SaveDialogRequest &request) {
            asked.append(request);
            if (targets.isEmpty())
                return SaveDialogAnswer{};
            return SaveDialogAnswer{true, targets.takeFirst(), 1};
        });
    }
    ~ScriptedSaveDialogs() { OpenSave::setDialog({}); }
    ScriptedSaveDialogs(const ScriptedSaveDialogs &) = delete;
    ScriptedSaveDialogs &operator=(const ScriptedSaveDialogs &) = delete;

    QStringList targets;
    QList<SaveDialogRequest> asked;
};
