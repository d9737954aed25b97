#include "files/FolderTreeClick.h"

#include "core/PathServices.h"
#include "files/FolderTreeModel.h"
#include "platform/files/FileNames.h"

using namespace FolderTree;

NodeClickAction nodeClickAction(const QString &tag, const NodeClickState &state)
{
    NodeClickAction action;
    if (!state.navOnSelect || state.mouseButton == 2)
        return action;
    bool flag = false;
    if (tag == TagFile || tag == TagStoredFile) {
        flag = state.navFiles;
    } else if (tag == TagDir) {
        flag = state.navDirs;
        action.load = TreeLoad::Folder;
    } else if (isVolumeTag(tag) || tag == TagMyComputer) {
        flag = state.navDrives;
        action.load = TreeLoad::Folder;
    } else if (tag == TagStore) {
        flag = state.navDirs;
        action.load = TreeLoad::Store;
    }
    action.navigate = flag && state.windowCount >= 1;
    if (state.mouseButton != 1)
        action.load = TreeLoad::None;
    return action;
}

QString nodeAddress(const QString &tag, const QString &key)
{
    const QString path = tag == TagMyComputer ? QStringLiteral("/") : key;
    return fileAddress(path);
}

bool labelEditAllowed(const QString &tag)
{
    return tag == TagFile || tag == TagDir;
}

QString fileNameFromLabel(QString label)
{
    SanitizeFileName(label);
    const QByteArray bytes = label.toUtf8();
    if (bytes.size() < 250)
        return label;
    // Whole characters only: the first ones within 240 bytes, the last ones within 10.
    QString head;
    qsizetype used = 0;
    for (qsizetype i = 0; i < label.size();) {
        const qsizetype width = label.at(i).isHighSurrogate() && i + 1 < label.size() ? 2 : 1;
        const qsizetype size = label.mid(i, width).toUtf8().size();
        if (used + size > 240)
            break;
        head += label.mid(i, width);
        used += size;
        i += width;
    }
    QString tail;
    used = 0;
    for (qsizetype i = label.size(); i > 0;) {
        const qsizetype width = label.at(i - 1).isLowSurrogate() && i >= 2 ? 2 : 1;
        const qsizetype size = label.mid(i - width, width).toUtf8().size();
        if (used + size > 10)
            break;
        tail.prepend(label.mid(i - width, width));
        used += size;
        i -= width;
    }
    return head + tail;
}

QString renamedPath(const QString &oldPath, const QString &fileName)
{
    QString parent = GetParentPath(oldPath);
    if (!parent.endsWith(QLatin1Char('/')))
        parent += QLatin1Char('/');
    return parent + fileName;
}
