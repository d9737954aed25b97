#pragma once

#include "platform/store/Registry.h"

#include <QString>

// The registry root keys, key paths and value names the program reads and writes.
constexpr RegRoot HKEY_CURRENT_USER = RegRoot::CurrentUser;
constexpr RegRoot HKEY_LOCAL_MACHINE = RegRoot::LocalMachine;
constexpr RegRoot HKEY_USERS = RegRoot::Users;

namespace RegKeys {
inline const QString ShellFolders = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
inline const QString InternetSettings = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
inline const QString PostPlatform = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent\\Post Platform");
inline const QString ExplorerMain = QStringLiteral("Software\\Microsoft\\Internet Explorer\\Main");
} // namespace RegKeys

namespace RegValueNames {
// Under InternetSettings: 1 while the browser works offline.
inline const QString GlobalUserOffline = QStringLiteral("GlobalUserOffline");
// Under ExplorerMain: "no" keeps images from loading.
inline const QString DisplayInlineImages = QStringLiteral("Display Inline Images");
} // namespace RegValueNames
