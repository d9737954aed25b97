#include "core/FileSettings.h"

#include "platform/system/ErrorState.h"

#include <QDir>

namespace FileSettings {

QString findPath()
{
    QString path = QDir::homePath();
    runIgnoringErrors([&] { path = SettingsStore::instance().get(QStringLiteral("Main"), QStringLiteral("FindPath"), path); });
    return path;
}

} // namespace FileSettings
