#include "files/FileOpResult.h"

#include "platform/controls/MessageBox.h"
#include "platform/files/FileNames.h"
#include "platform/system/ErrorState.h"

#include <cerrno>

FileOpResult fileOpResultOf(int systemError)
{
    switch (systemError) {
    case 0: return {FileOpCode::Done, 0};
    case EEXIST: return {FileOpCode::TargetExists, systemError};
    case ENOSPC:
    case EDQUOT: return {FileOpCode::NoSpace, systemError};
    case ENOENT:
    case ENOTDIR: return {FileOpCode::TargetFolderMissing, systemError};
    case EIO:
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case ESTALE: return {FileOpCode::DiskUnavailable, systemError};
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY: return {FileOpCode::ReadOnly, systemError};
    default: return {FileOpCode::Failed, systemError};
    }
}

QString FileOpMessage(const FileOpResult &result, const QString &target, bool folder)
{
    switch (result.code) {
    case FileOpCode::TargetExists:
        return (folder ? QStringLiteral("Složka ") : QStringLiteral("Soubor ")) + shownFileName(target) + QStringLiteral(" již existuje.");
    case FileOpCode::NoSpace: return QStringLiteral("Na vybraném disku není dostatek místa.");
    case FileOpCode::SourceMissing: return QStringLiteral("Zdrojový soubor neexistuje.");
    case FileOpCode::TargetFolderMissing: return QStringLiteral("Cílová cesta neexistuje.");
    case FileOpCode::DiskUnavailable: return QStringLiteral("Disk není nyní přístupný.");
    case FileOpCode::ReadOnly: return QStringLiteral("Cílová cesta je pouze ke čtení.");
    case FileOpCode::Failed:
        return QStringLiteral("Operace se souborem se nezdařila: ") + systemErrorText(result.systemError);
    case FileOpCode::SourceUnreadable:
        return QStringLiteral("Soubor „%1“ nelze přečíst (%2).").arg(shownFileName(result.name), systemErrorText(result.systemError));
    case FileOpCode::NameRefused: return QStringLiteral("Cílový disk nepovoluje název souboru „%1“.").arg(shownFileName(result.name));
    default: return {};
    }
}

void ShowFileOpMessage(const FileOpResult &result, const QString &target, QWidget *parent, bool folder)
{
    const QString text = FileOpMessage(result, target, folder);
    if (!text.isEmpty())
        MsgBox(text, MsgBoxStyle::Critical, QStringLiteral("Uživatelská chyba"), parent);
}
