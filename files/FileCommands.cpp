#include "files/FileCommands.h"

#include "core/FilesHost.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "files/CheckedFileOps.h"
#include "files/FileEvents.h"
#include "files/frmSelectDir.h"
#include "files/frmTextLine.h"
#include "platform/controls/Forms.h"
#include "platform/files/FileNames.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"

#include <QLabel>
#include <QLineEdit>

#include <optional>

namespace {

QWidget *dialogOwner()
{
    FilesHost *host = FilesHost::current();
    return host ? host->dialogOwner() : nullptr;
}

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
        dialog->lblPathS->setText(caption + shownFileName(GetFileName(path)) + QStringLiteral(" to:"));
        dialog->lblPathS->setToolTip(shownFileName(source));
    });
    ignore([&] { dialog->showModal(dialogOwner()); });
}

using CheckedOperation = FileOpResult (*)(const QString &, const QString &);

// Copies (operation 3) or moves (4) the source to the target. A taken target asks for
// another name in the name dialog, in the target's folder, again and again until a
// name is free or the user cancels; any other failure is reported once.
void runUnderFreeName(int operation, CheckedOperation run, const QString &source, QString target)
{
    IgnoreErrors ignore;
    for (;;) {
        FileOpResult result{FileOpCode::Failed, 0};
        ignore([&] { result = run(source, target); });
        if (result.code != FileOpCode::TargetExists) {
            ignore([&] { ShowFileOpMessage(result, target, dialogOwner()); });
            return;
        }
        SharedState &s = shared();
        s.DialogSourcePath = source;
        s.DialogPath = target;
        s.DialogOperation = operation;
        frmTextLine *dialog = nullptr;
        ignore([&] { dialog = Forms::get<frmTextLine>(); });
        if (!dialog)
            return;
        QString name = target;
        ignore([&] {
            dialog->hide();
            dialog->setWindowTitle(FileOpMessage(result, target));
            dialog->txtText->setText(shownFileName(GetFileName(name)));
            dialog->lblLabel->setText(QStringLiteral("Zvolte jiné jméno."));
        });
        ignore([&] { ShowFileOpMessage(result, target, dialogOwner()); });
        bool ok = false;
        ignore([&] { ok = dialog->showModal(dialogOwner()); });
        const QString sibling = dialog->siblingPath();
        Forms::unload<frmTextLine>();
        if (!ok)
            return;
        target = sibling;
    }
}

// A quick command's target: the given one, else the preset's folder and the source's
// name. A preset without a folder would name the file system's root: it has none.
std::optional<QString> quickTarget(const QString &section, int quickIndex, const QString &source,
                                   const QString &target)
{
    if (!target.isEmpty())
        return target;
    QString folder;
    runIgnoringErrors([&] { folder = GetSetting(section, QString::number(quickIndex)); });
    QString name = source;
    return presetTargetPath(folder, GetFileName(name));
}

void quickCopyOrMove(int operation, const QString &section, CheckedOperation run, const QString &source,
                     int quickIndex, const QString &target)
{
    const std::optional<QString> to = quickTarget(section, quickIndex, source, target);
    if (!to) {
        runIgnoringErrors([] { ShowFileOpMessage({FileOpCode::TargetFolderMissing, 0}, QString(), dialogOwner()); });
        return;
    }
    runUnderFreeName(operation, run, source, *to);
}

} // namespace

void CopyFileUI(QObject *owner, const QString &source, int quickIndex, const QString &target)
{
    Q_UNUSED(owner);
    if (quickIndex == 0)
        chooseTargetFolder(0, source, QStringLiteral("Kopírovat soubor "));
    else
        quickCopyOrMove(3, PresetSections::QCopy, CopyFileChecked, source, quickIndex, target);
}

void MoveFileUI(QObject *owner, const QString &source, int quickIndex, const QString &target)
{
    Q_UNUSED(owner);
    if (quickIndex == 0)
        chooseTargetFolder(1, source, QStringLiteral("Přesunout soubor "));
    else
        quickCopyOrMove(4, PresetSections::QMove, MoveFileChecked, source, quickIndex, target);
    emit FileEvents::instance().moveEnded();
}
