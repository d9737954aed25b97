#pragma once

#include <QString>

#include <optional>

// Which commands of the File menu a node kind allows.
namespace FileMenuRules {

struct Enabled
{
    bool quickCopy = false; // "Zkopírovat do"
    bool quickMove = false; // "Přesunout do"
    bool rename = false;
    bool openWith = false;
    bool copy = false;
    bool move = false;
    bool remove = false;
    bool newFolder = false;

    friend bool operator==(const Enabled &, const Enabled &) = default;
};

// The eight commands by the selected node's kind; none while the folders pane is
// hidden, only the open-with list without a selected node.
Enabled fileMenuEnabled(bool paneVisible, const std::optional<QString> &tag);

// The folder a new folder goes into, cleaned: a file's own folder, a folder's path, a
// volume's mount path ("cdrom" volumes are read-only); none for any other kind.
std::optional<QString> newFolderParent(const QString &tag, const QString &key);

// After a move or a delete the browser shows the node the tree selects now: only a
// file, while selecting acts, files are shown and a browser window is open.
bool showAfter(const QString &tag, bool navOnSelect, bool navFiles, int windowCount);

} // namespace FileMenuRules
