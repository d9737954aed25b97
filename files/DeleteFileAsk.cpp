#include "files/DeleteFileAsk.h"

#include "core/FilesHost.h"
#include "core/PathServices.h"
#include "files/DeletedStore.h"
#include "files/FileEvents.h"
#include "platform/controls/MessageBox.h"
#include "platform/files/FileNames.h"
#include "platform/system/ErrorState.h"

void DeleteFileAsk(QObject *owner, const QString &path, bool alreadyStored)
{
    Q_UNUSED(owner);
    Q_UNUSED(alreadyStored);
    IgnoreErrors ignore;
    QString name = path;
    const QString prompt = QStringLiteral("Smazat soubor ") + shownFileName(GetFileName(name)) + QStringLiteral(" ?");
    FilesHost *host = FilesHost::current();
    if (MsgBox(prompt, MsgBoxStyle::YesNo | MsgBoxStyle::Question, QString(), host ? host->dialogOwner() : nullptr)
        != MsgBoxResult::Yes)
        return;
    ignore([&] { MoveToDeletedStore(path); });
    if (!FileExists(path))
        emit FileEvents::instance().fileRemoved(path);
}
