#include "files/FolderTreeRename.h"

#include "files/FolderTreeClick.h"
#include "platform/controls/TreeNode.h"
#include "platform/files/FileNames.h"
#include "platform/files/FileSystem.h"
#include "platform/system/ErrorState.h"

QString renameFromLabel(const TreeNode &node, QString &label)
{
    // An empty name would name the parent folder. Cleaning keeps the length, so the
    // typed text tells.
    if (label.isEmpty())
        return QStringLiteral("Název souboru nebo složky je prázdný.");
    IgnoreErrors ignore;
    // What the user typed is text, taken as UTF-8, never as a name's raw bytes.
    const bool renamed = ignore([&] {
        const QString oldPath = node.key();
        label = fileNameFromLabel(typedFileName(label));
        const QString newPath = renamedPath(oldPath, label);
        if (const int failure = FileSystem::current().rename(oldPath, newPath))
            raiseFileError(failure);
        node.setKey(newPath);
        node.setText(label);
    });
    if (renamed)
        return {};
    const QString description = ErrorState::current().description;
    ErrorState::clear();
    return description;
}
