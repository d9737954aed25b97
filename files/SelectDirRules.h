#pragma once

#include <QString>

// The choose-folder dialog's decisions, from plain values.
namespace SelectDirRules {

// The file OK copies or moves to: the folder, "/" and the sanitised typed name when
// the new-name box is ticked and holds one, else the source's own name.
QString targetPath(const QString &folder, bool newName, const QString &typedName, const QString &source);

// Whether the dialog stays open after a copy (mode 0) or move (mode 1) ended with code.
bool staysOpen(int mode, int code);

// "Section\Key" split at its last "\": the section, then the key.
struct SettingAddress
{
    QString section;
    QString key;
};
SettingAddress splitSettingKey(const QString &selectDirKey);

// Stores the chosen folder under the key and, for a preset list's entry without a
// display text, the folder's last part (the folder itself for the root) as its text.
void storeChosenFolder(const QString &selectDirKey, const QString &folder);

} // namespace SelectDirRules
