#include "files/FileCommands.h"

#include "core/FilesHost.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "files/FileEvents.h"
#include "files/frmSelectDir.h"
#include "platform/controls/Forms.h"
#include "platform/system/ErrorState.h"

#include <QLabel>

namespace {

// Shows the choose-folder dialog for copying (mode 0) or moving (mode 1) the source.
void chooseTargetFolder(int mode, const QString &source, const QString &caption)
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    s.SelectDirSource = source;
    s.SelectDirMode = mode;
    frmSelectDir *dialog = nullptr;
    ignore([&] { dialog = Forms::get<frmSelectDir>(); });
    if (!dialog)
        return;
    QString path = source;
    ignore([&] {
        dialog->setWindowTitle(caption);
        dialog->lblPathS->setText(caption + GetFileName(path) + QStringLiteral(" to:"));
        dialog->lblPathS->setToolTip(source);
    });
    FilesHost *host = FilesHost::current();
    ignore([&] { dialog->showModal(host ? host->dialogOwner() : nullptr); });
}

} // namespace

void CopyFileUI(QObject *owner, const QString &source, int quickIndex, const QString &target)
{
    Q_UNUSED(owner);
    Q_UNUSED(target);
    if (quickIndex == 0)
        chooseTargetFolder(0, source, QStringLiteral("Kopírovat soubor "));
}

void MoveFileUI(QObject *owner, const QString &source, int quickIndex, const QString &target)
{
    Q_UNUSED(owner);
    Q_UNUSED(target);
    if (quickIndex != 0)
        return;
    chooseTargetFolder(1, source, QStringLiteral("Přesunout soubor "));
    emit FileEvents::instance().moveEnded();
}
