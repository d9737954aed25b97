#include "platform/system/NoReplaceRename.h"

#include "platform/system/FileNames.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int renameWithNoReplaceFlag(const QString &from, const QString &to)
{
    if (::renameat2(AT_FDCWD, encodeFileName(from).constData(), AT_FDCWD, encodeFileName(to).constData(),
                    RENAME_NOREPLACE)
        == 0)
        return 0;
    return errno;
}

namespace {

int renameIfFree(const QByteArray &from, const QByteArray &to)
{
    struct stat taken {};
    if (::lstat(to.constData(), &taken) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

} // namespace

int renameNoReplaceWithoutFlag(const QString &from, const QString &to)
{
    const QByteArray source = encodeFileName(from);
    const QByteArray target = encodeFileName(to);
    struct stat info {};
    if (::lstat(source.constData(), &info) != 0)
        return errno;
    if (S_ISDIR(info.st_mode))
        return renameIfFree(source, target);
    if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), 0) != 0) {
        const int failure = errno;
        // A file system without hard links leaves only the test before the rename.
        if (failure == EPERM || failure == EOPNOTSUPP || failure == ENOTSUP || failure == EMLINK)
            return renameIfFree(source, target);
        return failure;
    }
    if (::unlink(source.constData()) != 0) {
        const int failure = errno;
        ::unlink(target.constData());
        return failure;
    }
    return 0;
}

int renameNoReplace(const QString &from, const QString &to)
{
    const int failure = renameWithNoReplaceFlag(from, to);
    if (failure == EINVAL || failure == ENOSYS)
        return renameNoReplaceWithoutFlag(from, to);
    return failure;
}
