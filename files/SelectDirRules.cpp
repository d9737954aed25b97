#include "files/SelectDirRules.h"

#include "core/PathServices.h"
#include "files/FileOpResult.h"
#include "platform/store/SettingsStore.h"

namespace SelectDirRules {

QString targetPath(const QString &folder, bool newName, const QString &typedName, const QString &source)
{
    QString name = typedName;
    if (newName && !name.isEmpty())
        return folder + QLatin1Char('/') + SanitizeFileName(name);
    QString sourcePath = source;
    return folder + QLatin1Char('/') + GetFileName(sourcePath);
}

bool staysOpen(int mode, int code)
{
    switch (code) {
    case FileOpCode::TargetExists: return true;
    case FileOpCode::NoSpace:
    case FileOpCode::TargetFolderMissing:
    case FileOpCode::DiskUnavailable:
    case FileOpCode::ReadOnly:
    case FileOpCode::NameRefused:
    case FileOpCode::SourceUnreadable:
    case FileOpCode::Failed: return mode == 0;
    default: return false;
    }
}

SettingAddress splitSettingKey(const QString &selectDirKey)
{
    const int last = selectDirKey.lastIndexOf(QLatin1Char('\\'));
    if (last < 0)
        return {QString(), selectDirKey};
    return {selectDirKey.left(last), selectDirKey.mid(last + 1)};
}

void storeChosenFolder(const QString &selectDirKey, const QString &folder)
{
    const SettingAddress address = splitSettingKey(selectDirKey);
    SaveSetting(address.section, address.key, folder);
    if (!selectDirKey.contains(QLatin1Char('Q'), Qt::CaseInsensitive)
        && !selectDirKey.contains(QLatin1String("Save"), Qt::CaseInsensitive))
        return;
    const QString captionKey = QStringLiteral("Caption") + address.key.trimmed();
    if (!GetSetting(address.section, captionKey, QString()).trimmed().isEmpty())
        return;
    QString path = folder;
    const QString name = GetFileName(path);
    SaveSetting(address.section, captionKey, name.trimmed().isEmpty() ? folder : name);
}

} // namespace SelectDirRules
