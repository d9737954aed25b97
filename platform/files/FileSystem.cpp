#include "platform/files/FileSystem.h"

#include "platform/files/EntryKind.h"
#include "platform/files/FileNames.h"

#include "platform/system/ErrorState.h"
#include "platform/system/FileDescriptors.h"
#include "platform/system/NoReplaceRename.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <thread>

namespace {

FileSystem *g_installed = nullptr;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString parentOf(const QString &path)
{
    return QFileInfo(path).path();
}

QByteArray procPath(int fd)
{
    return "/proc/self/fd/" + QByteArray::number(fd);
}

// Opens a file for reading without blocking on a FIFO or a device, and keeps it open
// only when it is a regular file: the fd, or -1 with the errno in failure.
int openRegularFile(const QString &path, int flags, struct stat &info, int &failure)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | flags);
    failure = fd < 0 || ::fstat(fd, &info) != 0 ? errno : 0;
    if (failure == 0 && !S_ISREG(info.st_mode))
        failure = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    if (failure != 0 && fd >= 0)
        ::close(fd);
    return failure == 0 ? fd : -1;
}

int syncFolder(const QString &folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // Some file systems cannot sync a folder; what matters is the file's own sync.
    const int failure = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return failure;
}

} // namespace

FileKind kindOfMode(unsigned mode)
{
    if (S_ISREG(mode))
        return FileKind::File;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    if (S_ISLNK(mode))
        return FileKind::Link;
    return FileKind::Other;
}

FileKind kindOfEntry(int folderFd, unsigned char type, const char *name)
{
    switch (type) {
    case DT_REG: return FileKind::File;
    case DT_DIR: return FileKind::Folder;
    case DT_LNK: return FileKind::Link;
    case DT_UNKNOWN: {
        struct stat info {};
        if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            return FileKind::Other;
        return kindOfMode(info.st_mode);
    }
    default: return FileKind::Other;
    }
}

FileSystem &FileSystem::current()
{
    static PosixFileSystem system;
    return g_installed ? *g_installed : system;
}

void FileSystem::install(FileSystem *fileSystem)
{
    g_installed = fileSystem;
}

namespace {

// The runtime error that stands for an errno, and whether that error's own text says
// what happened; where it does not, the system error's text is the description.
struct RuntimeErrorOf
{
    int number;
    bool toldByNumber;
};

RuntimeErrorOf runtimeErrorFor(int systemError)
{
    switch (systemError) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY: return {ErrorNumber::PathFileAccessError, true};
    case ENOENT: return {ErrorNumber::FileNotFound, true};
    case EEXIST: return {ErrorNumber::FileAlreadyExists, true};
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return {ErrorNumber::DiskFull, true};
    case EIO: return {ErrorNumber::DeviceIoError, true};
    case EXDEV: return {ErrorNumber::RenameAcrossDrives, true};
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
    case EILSEQ: return {ErrorNumber::BadFileNameOrNumber, false};
    case ENOTDIR: return {ErrorNumber::PathNotFound, false};
    case ENOTEMPTY: return {ErrorNumber::PathFileAccessError, false};
    default: return {ErrorNumber::IllegalCall, false};
    }
}

} // namespace

int runtimeErrorOf(int systemError)
{
    return runtimeErrorFor(systemError).number;
}

void raiseFileError(int systemError)
{
    const RuntimeErrorOf error = runtimeErrorFor(systemError);
    if (error.toldByNumber)
        raiseSystemError(error.number, systemError);
    ErrorState::setLastDllError(systemError);
    throw RuntimeError(error.number, systemErrorText(systemError), {}, systemError);
}

int PosixFileSystem::list(const QString &folder, FolderListing &out, const WildcardPattern *names)
{
    out = {};
    const int folderFd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return errno;
    DIR *dir = ::fdopendir(folderFd);
    if (!dir) {
        const int failure = errno;
        ::close(folderFd);
        return failure;
    }
    int failure = 0;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            failure = errno;
            break;
        }
        const QByteArray raw(entry->d_name);
        if (raw == "." || raw == "..")
            continue;
        QString name;
        if (!decodeFileName(raw, name)) {
            out.undecodable.append(raw);
            continue;
        }
        if (names && !names->matches(name))
            continue;
        out.entries.push_back({name, kindOfEntry(folderFd, entry->d_type, entry->d_name)});
    }
    ::closedir(dir);
    return failure;
}

int PosixFileSystem::stat(const QString &path, FileStatus &out)
{
    out = {};
    struct stat info {};
    if (::lstat(encoded(path).constData(), &info) != 0)
        return errno;
    out.kind = kindOfMode(info.st_mode);
    out.size = info.st_size;
    out.mode = info.st_mode & 07777;
    out.modified = QDateTime::fromMSecsSinceEpoch(qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000);
    out.device = info.st_dev;
    out.inode = info.st_ino;
    return 0;
}

int PosixFileSystem::renameWithFlag(const QString &from, const QString &to)
{
    return renameWithNoReplaceFlag(from, to);
}

int PosixFileSystem::renameOnce(const QString &from, const QString &to)
{
    const int failure = renameWithFlag(from, to);
    if (failure == EINVAL || failure == ENOSYS)
        return renameNoReplaceWithoutFlag(from, to);
    return failure;
}

int PosixFileSystem::rename(const QString &from, const QString &to)
{
    const int failure = renameOnce(from, to);
    if (failure == EEXIST && namesTheSameEntry(from, to))
        return renameThroughTemporary(from, to);
    return failure;
}

bool PosixFileSystem::namesTheSameEntry(const QString &from, const QString &to)
{
    const QString folder = parentOf(from);
    const QString fromName = QFileInfo(from).fileName();
    const QString toName = QFileInfo(to).fileName();
    if (parentOf(to) != folder || fromName == toName)
        return false;
    FileStatus source, taken;
    if (stat(from, source) != 0 || stat(to, taken) != 0 || source.device != taken.device || source.kind != taken.kind)
        return false;
    // A folder that holds the new name as it is written holds another entry (a second
    // hard link of the file, on a disk that tells case): that one is never replaced.
    FolderListing listing;
    if (list(folder, listing) != 0)
        return false;
    int foldedMatches = 0;
    bool sourceMatches = false;
    for (const FolderEntry &entry : listing.entries) {
        if (entry.name == toName)
            return false;
        if (entry.name.compare(toName, Qt::CaseInsensitive) == 0) {
            ++foldedMatches;
            sourceMatches = sourceMatches || entry.name == fromName;
        }
    }
    if (source.inode == taken.inode)
        return true;
    // A file system in user space may number each name it was asked for on its own,
    // so one file shows two inodes; the name then stands for the only entry it folds to.
    return foldedMatches == 1 && sourceMatches;
}

int PosixFileSystem::renameThroughTemporary(const QString &from, const QString &to)
{
    // A rename between two names of one file changes nothing, so the file leaves its
    // name for a free one first. Both steps refuse a taken name, so whatever happens
    // between them, no other file is replaced; a second step that fails gives the
    // file its old name back.
    const QString temporary = parentOf(from) + QStringLiteral("/~vorlan-")
        + QString::number(QRandomGenerator::global()->generate64(), 36) + QStringLiteral(".tmp");
    if (const int failure = renameOnce(from, temporary))
        return failure;
    const int failure = renameOnce(temporary, to);
    if (failure != 0)
        renameOnce(temporary, from);
    return failure;
}

int PosixFileSystem::unlinkFile(const QString &path)
{
    return ::unlink(encoded(path).constData()) == 0 ? 0 : errno;
}

qint64 PosixFileSystem::seekData(int fd, qint64 offset, int whence)
{
    return ::lseek(fd, off_t(offset), whence);
}

namespace {

// Whether a failed call means the file system does not offer it, rather than a fault.
bool notOffered(int failure)
{
    return failure == EINVAL || failure == EOPNOTSUPP || failure == ENOSYS || failure == EXDEV;
}

} // namespace

// Copies the data ranges the file system reports and leaves every hole between and
// after them unwritten. Where the file system cannot tell data from holes, nothing
// is copied, unsupported is set, and both files are back at their start.
int PosixFileSystem::copyDataRanges(int fromFd, int toFd, bool &unsupported)
{
    unsupported = false;
    bool kernelCopies = true;
    QByteArray buffer;
    qint64 offset = 0;
    for (;;) {
        const qint64 start = seekData(fromFd, offset, SEEK_DATA);
        const qint64 end = start < 0 ? -1 : seekData(fromFd, start, SEEK_HOLE);
        if (end < 0 && errno == ENXIO)
            break; // no data past the offset: the rest is a hole
        if (end < 0) {
            const int failure = errno;
            if (offset == 0 && notOffered(failure)) {
                unsupported = true;
                ::lseek(fromFd, 0, SEEK_SET);
                return 0;
            }
            return failure;
        }
        loff_t from = start, to = start;
        while (from < end) {
            const size_t wanted = size_t(qMin<qint64>(end - from, qint64(1) << 30));
            if (kernelCopies) {
                const ssize_t copied = ::copy_file_range(fromFd, &from, toFd, &to, wanted, 0);
                if (copied > 0)
                    continue;
                if (copied == 0)
                    break; // the source shrank meanwhile
                if (errno == EINTR)
                    continue;
                if (!notOffered(errno))
                    return errno;
                // Between these file systems the data goes through a buffer.
                kernelCopies = false;
                buffer.resize(128 * 1024);
            }
            const ssize_t count = ::pread(fromFd, buffer.data(), qMin(wanted, size_t(buffer.size())), from);
            if (count == 0)
                break;
            if (count < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (::lseek(toFd, to, SEEK_SET) < 0)
                return errno;
            if (const int failure = writeAllBytes(toFd, buffer.constData(), count))
                return failure;
            from += count;
            to += count;
        }
        offset = end;
    }
    // A hole at the end is the length alone.
    const off_t length = ::lseek(fromFd, 0, SEEK_END);
    if (length < 0)
        return errno;
    return ::ftruncate(toFd, length) == 0 ? 0 : errno;
}

int PosixFileSystem::copyData(int fromFd, int toFd, qint64 size)
{
    Q_UNUSED(size);
    // A file system that shares blocks makes the copy without moving any data.
    if (::ioctl(toFd, FICLONE, fromFd) == 0)
        return 0;
    // A sparse file (a disk image) copied byte for byte would take its full length on
    // the disk; only its data is copied and its holes stay holes.
    bool unsupported = false;
    const int rangesFailure = copyDataRanges(fromFd, toFd, unsupported);
    if (!unsupported)
        return rangesFailure;
    bool copiedAny = false;
    for (;;) {
        const ssize_t copied = ::copy_file_range(fromFd, nullptr, toFd, nullptr, size_t(1) << 30, 0);
        if (copied == 0)
            return 0;
        if (copied > 0) {
            copiedAny = true;
            continue;
        }
        if (errno == EINTR)
            continue;
        // Where the kernel cannot copy between these file systems nothing was copied
        // yet, and plain reads and writes start from the beginning.
        if (!copiedAny && notOffered(errno))
            break;
        return errno;
    }
    // A buffer that stays in the processor's cache copies faster than a larger one.
    ::posix_fadvise(fromFd, 0, 0, POSIX_FADV_SEQUENTIAL);
    QByteArray buffer(128 * 1024, Qt::Uninitialized);
    for (;;) {
        const ssize_t count = ::read(fromFd, buffer.data(), size_t(buffer.size()));
        if (count == 0)
            return 0;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (const int failure = writeAllBytes(toFd, buffer.constData(), count))
            return failure;
    }
}

namespace {

// Creates the file's content nameless (or under a temporary name) in the target's
// folder and gives it the target's name only once it is complete (and, with sync,
// on the disk), without replacing anything: no partial file ever carries the name.
int writeThenName(const QString &to, unsigned mode, const std::function<int(int)> &fill, bool sync = true)
{
    const QString folder = parentOf(to);
    QString temporary;
    int fd = ::open(encoded(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
        QByteArray pattern = encoded(folder + QStringLiteral("/.") + QFileInfo(to).fileName()) + ".XXXXXX";
        fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0)
            return errno;
        temporary = QFile::decodeName(pattern);
    }
    int failure = fill(fd);
    if (failure == 0 && ::fchmod(fd, mode_t(mode & 0777)) != 0)
        failure = errno;
    if (failure == 0 && sync && ::fsync(fd) != 0)
        failure = errno;
    if (failure == 0) {
        if (temporary.isEmpty()) {
            if (::linkat(AT_FDCWD, procPath(fd).constData(), AT_FDCWD, encoded(to).constData(), AT_SYMLINK_FOLLOW) != 0)
                failure = errno;
        } else {
            failure = renameNoReplace(temporary, to);
        }
    }
    ::close(fd);
    if (failure != 0) {
        if (!temporary.isEmpty())
            ::unlink(encoded(temporary).constData());
        return failure;
    }
    return sync ? syncFolder(folder) : 0;
}

} // namespace

int PosixFileSystem::copy(const QString &from, const QString &to)
{
    return copyFile(from, to, true);
}

int PosixFileSystem::copyUnsynced(const QString &from, const QString &to)
{
    return copyFile(from, to, false);
}

int PosixFileSystem::copyFile(const QString &from, const QString &to, bool sync)
{
    struct stat info {};
    int failure = 0;
    const int fromFd = openRegularFile(from, O_NOFOLLOW, info, failure);
    if (fromFd < 0)
        return failure;
    failure = writeThenName(to, info.st_mode, [&](int toFd) {
        if (const int copyFailure = copyData(fromFd, toFd, info.st_size))
            return copyFailure;
        const struct timespec times[2] = {info.st_atim, info.st_mtim};
        return ::futimens(toFd, times) == 0 ? 0 : errno;
    }, sync);
    ::close(fromFd);
    return failure;
}

int PosixFileSystem::writeNew(const QString &path, const QByteArray &bytes)
{
    struct stat taken {};
    if (::lstat(encoded(path).constData(), &taken) == 0)
        return EEXIST;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return writeThenName(path, 0666 & ~mask,
                         [&](int fd) { return writeAllBytes(fd, bytes.constData(), bytes.size()); });
}

int PosixFileSystem::move(const QString &from, const QString &to)
{
    const int failure = rename(from, to);
    if (failure != EXDEV)
        return failure;
    return moveAcross(from, to);
}

int PosixFileSystem::moveAcross(const QString &from, const QString &to)
{
    struct stat info {};
    if (::lstat(encoded(from).constData(), &info) != 0)
        return errno;
    if (S_ISLNK(info.st_mode)) {
        QByteArray target(info.st_size > 0 ? info.st_size + 1 : 4096, '\0');
        const ssize_t length = ::readlink(encoded(from).constData(), target.data(), size_t(target.size()));
        if (length < 0)
            return errno;
        target.truncate(length);
        if (::symlink(target.constData(), encoded(to).constData()) != 0)
            return errno;
        if (const int failure = syncFolder(parentOf(to))) {
            ::unlink(encoded(to).constData());
            return failure;
        }
    } else if (S_ISREG(info.st_mode)) {
        if (const int failure = copy(from, to))
            return failure;
    } else {
        return EXDEV;
    }
    // Freeing a large file's blocks takes a file system a while (a fifth of a second
    // for 1 GiB on ext4); it happens when the last reference goes, so one held open
    // across the unlink lets that work run off the caller's thread.
    const int held = S_ISREG(info.st_mode)
        ? ::open(encoded(from).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
        : -1;
    // The source goes only now that its copy is on the disk; where it cannot go
    // (a read-only medium) the copy goes instead, so the file stays in one place.
    if (const int failure = unlinkFile(from)) {
        ::unlink(encoded(to).constData());
        if (held >= 0)
            ::close(held);
        return failure;
    }
    if (held >= 0)
        std::thread([held] { ::close(held); }).detach();
    return 0;
}

int PosixFileSystem::makeFolder(const QString &path)
{
    return ::mkdir(encoded(path).constData(), 0777) == 0 ? 0 : errno;
}

int PosixFileSystem::remove(const QString &path)
{
    struct stat info {};
    if (::lstat(encoded(path).constData(), &info) != 0)
        return errno;
    if (S_ISDIR(info.st_mode))
        return ::rmdir(encoded(path).constData()) == 0 ? 0 : errno;
    return unlinkFile(path);
}

int PosixFileSystem::removeEntry(const QString &folder, const QByteArray &name)
{
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') || name.contains('\0'))
        return EINVAL;
    const int folderFd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return errno;
    // Without AT_REMOVEDIR a folder is refused (EISDIR), empty or not.
    const int failure = ::unlinkat(folderFd, name.constData(), 0) == 0 ? 0 : errno;
    ::close(folderFd);
    return failure;
}

int PosixFileSystem::makeWritable(const QString &path)
{
    // Opened without following a link, so a link never lends its target's mode.
    const int fd = ::open(encoded(path).constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat info {};
    int failure = ::fstat(fd, &info) == 0 ? 0 : errno;
    if (failure == 0 && !S_ISLNK(info.st_mode) && !(info.st_mode & S_IWUSR)) {
        if (::chmod(procPath(fd).constData(), (info.st_mode & 07777) | S_IWUSR) != 0)
            failure = errno;
    }
    ::close(fd);
    return failure;
}

int PosixFileSystem::readFileHead(const QString &path, qint64 limit, QByteArray &out)
{
    out.clear();
    struct stat info {};
    int failure = 0;
    const int fd = openRegularFile(path, 0, info, failure);
    if (fd < 0)
        return failure;
    out.resize(qsizetype(qMax<qint64>(0, qMin(limit, qMax<qint64>(info.st_size, 4096)))));
    const qint64 done = readAllBytes(fd, out.data(), out.size());
    if (done < 0)
        failure = errno;
    out.truncate(failure == 0 ? qsizetype(done) : 0);
    ::close(fd);
    return failure;
}
