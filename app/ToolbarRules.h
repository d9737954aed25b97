#pragma once

#include "platform/store/SettingsStore.h"

#include <QString>

#include <vector>

// Decisions of the main toolbar's drop-down lists and preset saving.
namespace ToolbarRules {

// One preset entry of a drop-down list as it is shown.
struct DropDownEntry
{
    QString text;
    QString tag;
    bool enabled = true;
};

// A user's caption as a menu shows it literally ("&" is not a mnemonic).
QString menuText(const QString &caption);

// Home and search lists: every preset, an empty caption included, shown and enabled.
std::vector<DropDownEntry> addressEntries(const std::vector<PresetEntry> &presets);
// Save list: a preset without a caption reads " nevyužito" and cannot be chosen.
std::vector<DropDownEntry> saveEntries(const std::vector<PresetEntry> &presets);

// The quick-copy and quick-move items for presets 1 to 10: "&0 <caption>" to
// "&9 <caption>"; a preset without a caption reads "&<digit> nevyužito" and cannot be
// chosen. The tag is the preset's folder.
std::vector<DropDownEntry> quickEntries(const std::vector<PresetEntry> &presets);
// The open-with items for programs 1 to 15: "<n> <caption>"; a caption shorter than two
// characters reads "<n> nevyužito" and cannot be chosen. The tag is the command line.
std::vector<DropDownEntry> openWithEntries(const std::vector<PresetEntry> &presets);

// The file name a page is saved under: its title, or its location name without one,
// made safe and ending in .htm, without a doubled or replaced ending.
QString savedPageFileName(const QString &title, const QString &locationName);
// The preset number of an entry key "sav1" to "sav5"; 0 for any other key.
int presetNumber(const QString &itemKey);

} // namespace ToolbarRules
