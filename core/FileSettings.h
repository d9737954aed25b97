#pragma once

#include "platform/store/SettingsStore.h"

// The file manager's preferences in "Main", with the defaults their readers pass.
namespace FileSettings {

// The number the next file moved into the deleted-files store receives.
inline const Setting CountDelFiles{QStringLiteral("Main"), QStringLiteral("CountDelFiles"), 1};

} // namespace FileSettings
