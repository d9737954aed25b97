#include "platform/files/FileSystem.h"
#include "platform/files/FileNames.h"

#include "platform/system/FileDescriptors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

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
    name = encodeFileName(info.fileName());
    if (name.isEmpty() || name == "." || name == "..") {
        failure = EINVAL;
        return -1;
    }
    const int fd = ::open(encodeFileName(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    failure = fd < 0 ? errno : 0;
    return fd;
}

// Empties the opened folder: files and links are unlinked, sub-folders are opened
// without following a link, emptied and removed. The first failure is kept; the rest
// of the folder is still emptied.
int emptyOpenedFolder(int folderFd, int depth)
{
    // Deeper than any folder the program makes for itself: stop rather than recurse on.
    if (depth > 64)
        return ELOOP;
    std::vector<QByteArray> names;
    int failure = readEntryNames(folderFd, names);
    if (failure != 0)
        return failure;
    for (const QByteArray &name : names) {
        struct stat info {};
        if (::fstatat(folderFd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            failure = failure ? failure : errno;
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            const int childFd = ::openat(folderFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (childFd < 0) {
                failure = failure ? failure : errno;
                continue;
            }
            const int inner = emptyOpenedFolder(childFd, depth + 1);
            ::close(childFd);
            failure = failure ? failure : inner;
            if (inner == 0 && ::unlinkat(folderFd, name.constData(), AT_REMOVEDIR) != 0)
                failure = failure ? failure : errno;
        } else if (::unlinkat(folderFd, name.constData(), 0) != 0) {
            failure = failure ? failure : errno;
        }
    }
    return failure;
}

// The folder that holds the path, opened, when the path still holds the folder
// identified: the fd (failure 0), or the fd with the failure, or -1 with it.
int openHolderOfIdentified(const QString &path, const FolderIdentity &identity, QByteArray &name, int &failure)
{
    const int holder = openHolder(path, name, failure);
    if (holder < 0)
        return holder;
    FolderIdentity found;
    failure = identityAt(holder, name.constData(), found);
    if (failure == 0 && found != identity)
        failure = ESTALE;
    return holder;
}

} // namespace

int PosixFileSystem::removeOwnFolder(const QString &path, const FolderIdentity &identity)
{
    QByteArray name;
    int failure = 0;
    const int holder = openHolderOfIdentified(path, identity, name, failure);
    if (holder < 0)
        return failure;
    int folderFd = -1;
    if (failure == 0) {
        folderFd = ::openat(holder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (folderFd < 0)
            failure = errno;
    }
    // The folder opened must be the one identified: its name may have changed hands
    // between the look and the open.
    if (failure == 0) {
        struct stat info {};
        if (::fstat(folderFd, &info) != 0)
            failure = errno;
        else if (info.st_ino != identity.inode)
            failure = ESTALE;
    }
    if (failure == 0)
        failure = emptyOpenedFolder(folderFd, 0);
    if (folderFd >= 0)
        ::close(folderFd);
    if (failure == 0 && ::unlinkat(holder, name.constData(), AT_REMOVEDIR) != 0)
        failure = errno;
    ::close(holder);
    return failure;
}

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
    const int holder = openHolderOfIdentified(path, identity, name, failure);
    if (holder < 0)
        return failure;
    // The system removes a folder only while it is empty, and never a file or a link
    // in its place. Between the check and the removal another empty folder could take
    // the name; no call removes "this folder only".
    if (failure == 0 && ::unlinkat(holder, name.constData(), AT_REMOVEDIR) != 0)
        failure = errno == EEXIST ? ENOTEMPTY : errno;
    ::close(holder);
    return failure;
}

// Copies what the opened folder holds into the opened (new, empty) folder.
int PosixFileSystem::copyFolderEntries(int fromFd, int toFd, int depth)
{
    if (depth > 64)
        return ELOOP;
    std::vector<QByteArray> names;
    if (const int failure = readEntryNames(fromFd, names); failure != 0)
        return failure;
    OpenFolder into;
    into.m_fd = toFd;
    int failure = 0;
    for (const QByteArray &name : names) {
        struct stat info {};
        if (::fstatat(fromFd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            failure = errno;
            break;
        }
        if (S_ISDIR(info.st_mode)) {
            if (::mkdirat(toFd, name.constData(), 0777) != 0) {
                failure = errno;
                break;
            }
            const int childFrom = ::openat(fromFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            const int childTo = ::openat(toFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            failure = childFrom < 0 || childTo < 0 ? errno : copyFolderEntries(childFrom, childTo, depth + 1);
            if (childFrom >= 0)
                ::close(childFrom);
            if (childTo >= 0)
                ::close(childTo);
        } else if (S_ISREG(info.st_mode)) {
            SourceFile source;
            struct stat opened {};
            source.m_fd = openRegularFile(fromFd, name.constData(), false, opened);
            if (source.m_fd < 0) {
                failure = errno;
                break;
            }
            if (opened.st_ino != info.st_ino) {
                failure = EINVAL;
                break;
            }
            source.m_status.kind = FileKind::File;
            source.m_status.size = opened.st_size;
            source.m_status.mode = opened.st_mode & 07777;
            source.m_moved = true;
            failure = copyInto(source, into, decodeFileName(name), true);
        } else {
            failure = EINVAL;
        }
        if (failure != 0)
            break;
    }
    into.m_fd = -1; // the caller's descriptor
    return failure;
}

int PosixFileSystem::copyFolderInto(const OpenFolder &from, const QString &name, const OpenFolder &to,
                                    const QString &toName)
{
    const QByteArray entry = encodeFileName(name);
    const QByteArray toEntry = encodeFileName(toName);
    if (entry.isEmpty() || entry.contains('/') || entry == "." || entry == ".." || toEntry.isEmpty()
        || toEntry.contains('/') || toEntry == "." || toEntry == "..")
        return EINVAL;
    const int fromFd = ::openat(from.descriptor(), entry.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fromFd < 0)
        return errno == ELOOP ? EINVAL : errno;
    if (::mkdirat(to.descriptor(), toEntry.constData(), 0777) != 0) {
        const int failure = errno;
        ::close(fromFd);
        return failure;
    }
    int failure = 0;
    const int toFd = ::openat(to.descriptor(), toEntry.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (toFd < 0)
        failure = errno;
    else
        failure = copyFolderEntries(fromFd, toFd, 0);
    if (failure == 0 && ::fsync(toFd) != 0 && errno != EINVAL)
        failure = errno;
    if (failure != 0 && toFd >= 0 && emptyOpenedFolder(toFd, 0) == 0)
        ::unlinkat(to.descriptor(), toEntry.constData(), AT_REMOVEDIR);
    if (toFd >= 0)
        ::close(toFd);
    ::close(fromFd);
    if (failure == 0 && ::fsync(to.descriptor()) != 0 && errno != EINVAL && errno != EBADF)
        failure = errno;
    return failure;
}
