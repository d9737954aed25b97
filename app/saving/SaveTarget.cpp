#include "app/saving/SaveTarget.h"

#include "app/OpenSave.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/controls/MessageBox.h"

#include <QFileInfo>

QString askSaveTarget(const SaveTargetQuestion &question)
{
    QString name = question.name.trimmed();
    SanitizeFileName(name);
    OpenSave dialog;
    for (;;) {
        dialog.setDialogTitle(QStringLiteral("Uložit jako"));
        dialog.setFilter(question.filter);
        dialog.setDefaultExt(question.defaultExt);
        dialog.setFileName(name);
        dialog.setInitDir(shared().PersonalDir);
        dialog.ShowSave();
        if (shared().SaveDialogCancelled)
            return {};
        const QString target = dialog.FileName();
        if (!FileExists(target) && !(question.taken && question.taken(target)))
            return target;
        MsgBox(QStringLiteral("Soubor ") + target + QStringLiteral(" již existuje."), MsgBoxStyle::Critical,
               QStringLiteral("Uživatelská chyba"));
        name = QFileInfo(target).fileName();
    }
}

QString stagingArea()
{
    const QString &appDir = shared().AppDir;
    return appDir.isEmpty() ? QString() : appDir + QStringLiteral("staging");
}
