#pragma once

#include "platform/Registry.h"

#include <QString>

// The three registry functions the whole program uses. None of them raises or
// reports a failure: reads give their default, writes simply have no effect.
constexpr RegRoot HKEY_CURRENT_USER = RegRoot::CurrentUser;
constexpr RegRoot HKEY_LOCAL_MACHINE = RegRoot::LocalMachine;
constexpr RegRoot HKEY_USERS = RegRoot::Users;

namespace RegKeys {
inline const QString ShellFolders = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
inline const QString InternetSettings = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
inline const QString PostPlatform = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent\\Post Platform");
inline const QString ExplorerMain = QStringLiteral("Software\\Microsoft\\Internet Explorer\\Main");
} // namespace RegKeys

QString RegGetString(RegRoot root, const QString &subKey, const QString &valueName, const QString &defaultValue = QString());
void RegSetString(RegRoot root, const QString &subKey, const QString &valueName, const QString &value);
qint32 RegGetDword(RegRoot root, const QString &subKey, const QString &valueName, qint32 defaultValue = 0);
