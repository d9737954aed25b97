#pragma once

#include "platform/store/SettingsStore.h"

#include <QDir>

// The main window's preferences, with the defaults their readers pass.
namespace MainSettings {

inline const Setting ButtonText{QStringLiteral("Main"), QStringLiteral("ButtonText"), true};
inline const Setting NWBackground{QStringLiteral("Main"), QStringLiteral("NWBackground"), 0};
inline const Setting AdjustImg{QStringLiteral("Main"), QStringLiteral("AdjustImg"), true};
inline const Setting PanelWidth{QStringLiteral("Main"), QStringLiteral("Width")};
// Written for the record; nothing reads them.
inline const Setting PanelShown{QStringLiteral("Main"), QStringLiteral("Panel")};
inline const Setting AppPath{QStringLiteral("Main"), QStringLiteral("AppPath")};
inline const Setting AppName{QStringLiteral("Main"), QStringLiteral("AppName")};
// Stores the executable's folder and name (lower case) as AppPath and AppName.
void saveProgramLocation();
// Where the captured links were last saved; the user's home folder at first.
inline Setting SaveLinksInitDir()
{
    return {QStringLiteral("Main"), QStringLiteral("SaveLinksInitDir"), QDir::homePath()};
}

inline const Setting WindowState{QStringLiteral("Settings"), QStringLiteral("WindowState"), 2};
inline const Setting MainLeft{QStringLiteral("Settings"), QStringLiteral("MainLeft")};
inline const Setting MainTop{QStringLiteral("Settings"), QStringLiteral("MainTop")};
inline const Setting MainWidth{QStringLiteral("Settings"), QStringLiteral("MainWidth")};
inline const Setting MainHeight{QStringLiteral("Settings"), QStringLiteral("MainHeight")};

} // namespace MainSettings

// The layout of the cool bars' bands ("Settings"), addressed by bar and 1-based band.
namespace BarSettings {

enum class Bar { Top, Bottom };

Setting width(Bar bar, int band);
Setting newRow(Bar bar, int band);
Setting position(Bar bar, int band);
Setting visible(Bar bar, int band);

} // namespace BarSettings
