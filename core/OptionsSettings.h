#pragma once

#include "platform/store/SettingsStore.h"

// The options' preferences ("Options"), with the defaults their readers pass. The
// numbered lists under "Options\..." are PresetList sections.
namespace OptionsSettings {

inline const Setting NotWarnQCopy{QStringLiteral("Options"), QStringLiteral("NotWarnQCopy"), false};
inline const Setting NotWarnQMove{QStringLiteral("Options"), QStringLiteral("NotWarnQMove"), false};

// The user's own file patterns, as typed, and whether they are used.
inline const Setting UserFileTypes{QStringLiteral("Options"), QStringLiteral("UserFileTypes"), QString()};
inline const Setting UseUserFT{QStringLiteral("Options"), QStringLiteral("UseUserFT"), QStringLiteral("0")};

// The folder tree's file pattern and the automatic opening of files, folders and
// drives, as the options dialog reads them (the folder tree passes a default of its
// own for the pattern).
inline const Setting Pattern{
    QStringLiteral("Main"), QStringLiteral("Pattern"),
    QStringLiteral("*.html;*.htm;*.xml;*.sht*;*.sgm*;*.jpg;*.jpeg;*.jpe;*.gif;*.asp;*.asa;*.txt;*.inc")};
inline const Setting NavFiles{QStringLiteral("Main"), QStringLiteral("NavFiles"), QStringLiteral("1")};
inline const Setting NavDirs{QStringLiteral("Main"), QStringLiteral("NavDirs"), QStringLiteral("0")};
inline const Setting NavDrives{QStringLiteral("Main"), QStringLiteral("NavDrives"), QStringLiteral("0")};

} // namespace OptionsSettings
