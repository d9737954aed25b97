#pragma once

#include "platform/store/SettingsStore.h"

// The file manager's preferences in "Main", with the defaults their readers pass.
namespace FileSettings {

// The folder the search place "custom" walks, as the choose-folder dialog stored it;
// the home folder until then.
QString findPath();

// The number the next file moved into the deleted-files store receives.
inline const Setting CountDelFiles{QStringLiteral("Main"), QStringLiteral("CountDelFiles"), 1};
// The file-name patterns the folder tree lists files by; with nothing stored only a
// file of this very name would show.
inline const Setting Pattern{QStringLiteral("Main"), QStringLiteral("Pattern"), QStringLiteral("zqx.zqx")};
// What a selection in the folder tree shows in the browser: OptionsSettings::NavFiles,
// NavDirs and NavDrives, written by the options dialog.

} // namespace FileSettings
