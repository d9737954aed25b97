#pragma once

#include <QString>

// Which items of the files pop-up menu a node kind allows.
namespace FilesPopupRules {

struct Enabled
{
    bool copyTo = false; // "&Zkopírovat do"
    bool moveTo = false; // "&Přesunout do"
    bool remove = false; // "&Smazat soubor"
    bool rename = false; // "&Přejmenovat"

    friend bool operator==(const Enabled &, const Enabled &) = default;
};

Enabled enabled(const QString &tag);

// Whether "Přidat k o&blíbeným…" adds a favorite for the kind: not for My Computer,
// the deleted-files store or a file in it.
bool takesFavorite(const QString &tag);

} // namespace FilesPopupRules
