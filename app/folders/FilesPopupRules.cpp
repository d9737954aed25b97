#include "app/folders/FilesPopupRules.h"

#include "files/FolderTreeModel.h"

namespace FilesPopupRules {

Enabled enabled(const QString &tag)
{
    using namespace FolderTree;
    if (tag == TagFile)
        return {true, true, true, true};
    if (tag == TagStoredFile)
        return {true, true, true, false};
    if (tag == TagStore)
        return {false, false, true, false};
    if (tag == TagDir)
        return {false, false, false, true};
    return {};
}

bool takesFavorite(const QString &tag)
{
    using namespace FolderTree;
    return tag != TagMyComputer && tag != TagStore && tag != TagStoredFile;
}

} // namespace FilesPopupRules
