#pragma once

#include "platform/store/SettingsStore.h"

// The options' preferences ("Options"), with the defaults their readers pass. The
// numbered lists under "Options\..." are PresetList sections.
namespace OptionsSettings {

inline const Setting NotWarnQCopy{QStringLiteral("Options"), QStringLiteral("NotWarnQCopy"), false};
inline const Setting NotWarnQMove{QStringLiteral("Options"), QStringLiteral("NotWarnQMove"), false};

} // namespace OptionsSettings
