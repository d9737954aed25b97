#include "platform/files/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The identity from a status taken without following a link at the name.
int identityAt(int folderFd, const char *name, FolderIdentity &out)
{
    out = {};
    struct statx info {};
    if (::statx(folderFd, name, AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_INO | STATX_BTIME, &info) != 0)
        return errno;
    if (!S_ISDIR(info.stx_mode))
        return ENOTDIR;
    out.device = (quint64(info.stx_dev_major) << 32) | info.stx_dev_minor;
    out.inode = info.stx_ino;
    if (info.stx_mask & STATX_BTIME) {
        out.bornSeconds = info.stx_btime.tv_sec;
        out.bornNanoseconds = info.stx_btime.tv_nsec;
    }
    return 0;
}

// The folder that holds the path, opened, and the last part of the path: the fd, or
// -1 with the errno in failure.
int openHolder(const QString &path, QByteArray &name, int &failure)
{
    const QFileInfo info(QDir::cleanPath(path));
    name = QFile::encodeName(info.fileName());
    if (name.isEmpty() || name == "." || name == "..") {
        failure = EINVAL;
        return -1;
    }
    const int fd = ::open(QFile::encodeName(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    failure = fd < 0 ? errno : 0;
    return fd;
}

} // namespace

int PosixFileSystem::identifyFolder(const QString &path, FolderIdentity &out)
{
    out = {};
    QByteArray name;
    int failure = 0;
    const int holder = openHolder(path, name, failure);
    if (holder < 0)
        return failure;
    failure = identityAt(holder, name.constData(), out);
    ::close(holder);
    return failure;
}

int PosixFileSystem::removeEmptyFolder(const QString &path, const FolderIdentity &identity)
{
    QByteArray name;
    int failure = 0;
    const int holder = openHolder(path, name, failure);
    if (holder < 0)
        return failure;
    FolderIdentity found;
    failure = identityAt(holder, name.constData(), found);
    if (failure == 0 && found != identity)
        failure = ESTALE;
    // The system removes a folder only while it is empty, and never a file or a link
    // in its place. Between the check and the removal another empty folder could take
    // the name; no call removes "this folder only".
    if (failure == 0 && ::unlinkat(holder, name.constData(), AT_REMOVEDIR) != 0)
        failure = errno == EEXIST ? ENOTEMPTY : errno;
    ::close(holder);
    return failure;
}
