#include "app/FileMenuRules.h"

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

} // namespace FileMenuRules
