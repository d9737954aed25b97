#include "app/folders/FileMenuRules.h"

#include "core/PathServices.h"

#include <QDir>

namespace FileMenuRules {

Enabled fileMenuEnabled(bool paneVisible, const std::optional<QString> &tag)
{
    Enabled on;
    if (!paneVisible)
        return on;
    on.openWith = true;
    if (!tag)
        return on;
    const QString &kind = *tag;
    if (kind == QLatin1String("file")) {
        on = {true, true, true, true, true, true, true, true};
    } else if (kind == QLatin1String("delfile")) {
        on.quickCopy = on.quickMove = on.copy = on.move = on.remove = true;
    } else if (kind == QLatin1String("deleted")) {
        on.remove = true;
    } else if (kind == QLatin1String("dir")) {
        on.rename = on.newFolder = true;
    } else if (kind == QLatin1String("drive") || kind == QLatin1String("floppy") || kind == QLatin1String("netdrive")) {
        on.newFolder = true;
    }
    return on;
}

std::optional<QString> newFolderParent(const QString &tag, const QString &key)
{
    QString folder;
    if (tag == QLatin1String("file"))
        folder = GetParentPath(key);
    else if (tag == QLatin1String("dir") || tag == QLatin1String("drive") || tag == QLatin1String("floppy")
             || tag == QLatin1String("netdrive"))
        folder = key;
    if (folder.isEmpty())
        return std::nullopt;
    return QDir::cleanPath(folder);
}

bool showAfter(const QString &tag, bool navOnSelect, bool navFiles, int windowCount)
{
    return tag == QLatin1String("file") && navOnSelect && navFiles && windowCount >= 1;
}

} // namespace FileMenuRules
