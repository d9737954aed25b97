#include "platform/files/FileSystem.h"

#include "platform/files/EntryKind.h"
#include "platform/files/FileJournal.h"
#include "platform/files/FileNames.h"

#include "platform/system/ErrorState.h"
#include "platform/system/FileDescriptors.h"
#include "platform/system/ProcessOwner.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <thread>
#include <utility>

namespace {

FileSystem *g_installed = nullptr;

// Empty for a text no bytes stand for, which no call then finds or accepts.
QByteArray encoded(const QString &path)
{
    return encodeFileName(path);
}

// A path split into its folder and its last name; a trailing "/" names the same
// entry as the path without it.
void splitPath(const QString &path, QString &folder, QString &name)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const QFileInfo info(trimmed);
    folder = info.path();
    name = info.fileName();
}

QByteArray procPath(int fd)
{
    return "/proc/self/fd/" + QByteArray::number(fd);
}

FileStatus statusOf(const struct stat &info)
{
    FileStatus out;
    out.kind = kindOfMode(info.st_mode);
    out.size = info.st_size;
    out.mode = info.st_mode & 07777;
    out.modified = QDateTime::fromMSecsSinceEpoch(qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000);
    out.device = info.st_dev;
    out.inode = info.st_ino;
    return out;
}

bool sameFile(const struct stat &a, const FileStatus &b)
{
    return quint64(a.st_dev) == b.device && quint64(a.st_ino) == b.inode;
}

// A name the caller gave for an entry of a folder: one step, never "." or "..".
bool isEntryName(const QByteArray &name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') && !name.contains('\0');
}

int syncFolder(int folderFd)
{
    // Some file systems cannot sync a folder, and a folder opened only as a place
    // (O_PATH) cannot be synced at all; what matters is the file's own sync.
    return ::fsync(folderFd) == 0 || errno == EINVAL || errno == EBADF ? 0 : errno;
}

// Whether a failed call means the file system does not offer it, rather than a fault.
bool notOffered(int failure)
{
    return failure == EINVAL || failure == EOPNOTSUPP || failure == ENOSYS || failure == EXDEV;
}

// Whether the permission bits or times a copy carries over were refused because the
// disk keeps none of its own for the user: a FAT or exFAT disk gives every file the
// owner and mode it was mounted with, and refuses others (EPERM). The copy's data is
// what the user asked for, so it stands with the disk's own bits, as cp leaves it.
bool metadataRefused(int failure)
{
    return failure == EPERM || failure == EOPNOTSUPP || failure == ENOSYS;
}

// Whether creating a nameless file in a folder is refused by the file system (or the
// kernel) rather than by a fault.
bool namelessRefused(int failure)
{
    return failure == EOPNOTSUPP || failure == EISDIR || failure == EINVAL || failure == ENOSYS;
}

// The process's file mode mask as the system reports it. Setting the mask to read it
// would change it for every thread of the program meanwhile (the engine's among them).
mode_t currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(mask & 0777);
            }
        }
    }
    return 022;
}

// The start of the names the program gives for a while to files of its own in a
// user's folder, followed by the tag of the run that made them (ProcessOwner).
const QByteArray TemporaryPrefix = ".vorlan-";

} // namespace

OpenFolder::~OpenFolder()
{
    close();
}

OpenFolder::OpenFolder(OpenFolder &&other) noexcept
{
    *this = std::move(other);
}

OpenFolder &OpenFolder::operator=(OpenFolder &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

void OpenFolder::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool OpenFolder::stillLinked() const
{
    struct stat info {};
    return m_fd >= 0 && ::fstat(m_fd, &info) == 0 && info.st_nlink > 0;
}

SourceFile::~SourceFile()
{
    close();
}

void SourceFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

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

int PosixFileSystem::openFolder(const QString &path, OpenFolder &out, LastStep last)
{
    out.close();
    const int follow = last == LastStep::RefuseLink ? O_NOFOLLOW : 0;
    QByteArray opened = encoded(path);
    // A path that ends in "/" has the system follow a link at its last step, flag or not.
    while (follow && opened.size() > 1 && opened.endsWith('/'))
        opened.chop(1);
    int fd = ::open(opened.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | follow);
    // A folder the user may write into but not list is still a place for a change.
    if (fd < 0 && errno == EACCES)
        fd = ::open(opened.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC | follow);
    if (fd < 0)
        return errno;
    out.m_fd = fd;
    out.m_path = path;
    return 0;
}

int PosixFileSystem::openParent(const QString &path, OpenFolder &folder, QString &name)
{
    QString folderPath;
    splitPath(path, folderPath, name);
    return openFolder(folderPath, folder);
}

int PosixFileSystem::throughParent(const QString &path, const std::function<int(const OpenFolder &, const QString &)> &call)
{
    OpenFolder folder;
    QString name;
    if (const int failure = openParent(path, folder, name))
        return failure;
    return call(folder, name);
}

void PosixFileSystem::beforeOpeningSource(const QByteArray &)
{
}

int PosixFileSystem::openSource(const QString &path, LastStep last, SourceFile &out)
{
    out.close();
    const QByteArray name = encoded(path);
    beforeOpeningSource(name);
    struct stat info {};
    const int fd = openRegularFile(AT_FDCWD, name.constData(), last == LastStep::FollowLink, info);
    if (fd < 0)
        return errno;
    out.m_fd = fd;
    out.m_status = statusOf(info);
    return 0;
}

int PosixFileSystem::list(const QString &folder, FolderListing &out, const WildcardPattern *names)
{
    out = {};
    OpenFolder opened;
    if (const int failure = openFolder(folder, opened))
        return failure;
    return list(opened, out, names);
}

int PosixFileSystem::list(const OpenFolder &folder, FolderListing &out, const WildcardPattern *names)
{
    out = {};
    if (!folder.isOpen())
        return EBADF;
    const int folderFd = folder.descriptor();
    return forEachEntry(folderFd, [&](const char *raw, unsigned char type) {
        QString name = decodeFileName(raw);
        if (names && !names->matches(name))
            return;
        out.entries.push_back({std::move(name), kindOfEntry(folderFd, type, raw)});
    });
}

int PosixFileSystem::stat(const QString &path, FileStatus &out)
{
    out = {};
    struct stat info {};
    if (::lstat(encoded(path).constData(), &info) != 0)
        return errno;
    out = statusOf(info);
    return 0;
}

int PosixFileSystem::stat(const OpenFolder &folder, const QString &name, FileStatus &out)
{
    out = {};
    const QByteArray entry = encoded(name);
    if (!isEntryName(entry))
        return EINVAL;
    struct stat info {};
    if (::fstatat(folder.descriptor(), entry.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    out = statusOf(info);
    return 0;
}

int PosixFileSystem::renameWithFlag(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to)
{
    return ::renameat2(fromFolder, from.constData(), toFolder, to.constData(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}

// A rename that never replaces: with the no-replace flag, or where the file system
// refuses the flag, a file gets the new name as a hard link (which fails on a taken
// name) and then loses the old one; where the disk has no hard links either (exFAT),
// the name is reserved first and the entry renamed onto its own reservation.
int PosixFileSystem::renameAt(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to)
{
    const int failure = renameWithFlag(fromFolder, from, toFolder, to);
    if (failure != EINVAL && failure != ENOSYS)
        return failure;
    struct stat info {};
    if (::fstatat(fromFolder, from.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (S_ISDIR(info.st_mode))
        return renameOntoReservation(fromFolder, from, toFolder, to, true);
    if (::linkat(fromFolder, from.constData(), toFolder, to.constData(), 0) != 0) {
        const int linkFailure = errno;
        if (linkFailure == EPERM || linkFailure == EOPNOTSUPP || linkFailure == ENOSYS || linkFailure == EMLINK)
            return renameOntoReservation(fromFolder, from, toFolder, to, false);
        return linkFailure;
    }
    if (::unlinkat(fromFolder, from.constData(), 0) != 0) {
        const int unlinkFailure = errno;
        ::unlinkat(toFolder, to.constData(), 0);
        return unlinkFailure;
    }
    return 0;
}

void PosixFileSystem::reservationMade(int, const QByteArray &)
{
}

// A look at the name and then a rename would replace a file put at the name between
// the two. The name is taken first by an entry of our own, made only where nothing is
// (an empty file, or for a folder an empty folder), and closed: on a disk in user
// space a rename over an open file leaves a hidden copy of it behind. The rename then
// goes only onto that very entry, still empty. Between that last look and the rename
// the reservation could still be swapped for another file, which the rename would
// replace: no call renames onto "this file only". The reservation is in the journal
// while it stands, so that a crash leaves no empty file under the user's name for good.
int PosixFileSystem::renameOntoReservation(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to,
                                           bool folder)
{
    struct stat reserved {};
    if (folder) {
        if (::mkdirat(toFolder, to.constData(), 0700) != 0)
            return errno;
    } else {
        const int fd = ::openat(toFolder, to.constData(), O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno;
        ::close(fd);
    }
    // Not removed when it cannot be looked at: what is at the name may not be ours.
    if (::fstatat(toFolder, to.constData(), &reserved, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    FileJournal::Record record;
    record.reservation(toFolder, to, reserved.st_ino);
    reservationMade(toFolder, to);
    const auto stillOurs = [&] {
        struct stat now {};
        return ::fstatat(toFolder, to.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_ino == reserved.st_ino
               && now.st_dev == reserved.st_dev && S_ISDIR(now.st_mode) == folder && (folder || now.st_size == 0);
    };
    // Another file in its place is someone else's: it stays, and the name counts as taken.
    if (!stillOurs())
        return EEXIST;
    if (::renameat(fromFolder, from.constData(), toFolder, to.constData()) == 0)
        return 0;
    const int failure = errno;
    if (stillOurs())
        ::unlinkat(toFolder, to.constData(), folder ? AT_REMOVEDIR : 0);
    return failure;
}

int PosixFileSystem::rename(const QString &from, const QString &to)
{
    OpenFolder source, target;
    QString fromName, toName;
    if (const int failure = openParent(from, source, fromName))
        return failure;
    if (const int failure = openParent(to, target, toName))
        return failure;
    const QByteArray fromEntry = encoded(fromName);
    const QByteArray toEntry = encoded(toName);
    if (!isEntryName(fromEntry) || !isEntryName(toEntry))
        return EINVAL;
    const int failure = renameAt(source.descriptor(), fromEntry, target.descriptor(), toEntry);
    if (failure == EEXIST && QFileInfo(from).path() == QFileInfo(to).path()
        && namesTheSameEntry(source, fromName, toName))
        return renameThroughTemporary(source, fromEntry, toEntry);
    return failure;
}

bool PosixFileSystem::namesTheSameEntry(const OpenFolder &folder, const QString &fromName, const QString &toName)
{
    if (fromName == toName)
        return false;
    FileStatus source, taken;
    if (stat(folder, fromName, source) != 0 || stat(folder, toName, taken) != 0 || source.device != taken.device
        || source.kind != taken.kind)
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
    if (source.sameFileAs(taken))
        return true;
    // A file system in user space may number each name it was asked for on its own,
    // so one file shows two inodes; the name then stands for the only entry it folds to.
    return foldedMatches == 1 && sourceMatches;
}

int PosixFileSystem::renameThroughTemporary(const OpenFolder &folder, const QByteArray &from, const QByteArray &to)
{
    // A rename between two names of one file changes nothing, so the file leaves its
    // name for a free one first. Both steps refuse a taken name, so whatever happens
    // between them, no other file is replaced; a second step that fails gives the
    // file its old name back.
    const QByteArray temporary = ProcessOwner::temporaryName("~vorlan-", ".tmp");
    const int fd = folder.descriptor();
    // A crash between the two steps leaves the file under the temporary name: the
    // journal tells the next start which name to give it back.
    FileJournal::Record record;
    record.caseRename(fd, temporary, from, to);
    if (const int failure = renameAt(fd, from, fd, temporary))
        return failure;
    const int failure = renameAt(fd, temporary, fd, to);
    if (failure != 0)
        renameAt(fd, temporary, fd, from);
    return failure;
}

int PosixFileSystem::openNameless(int folder)
{
    return ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

int PosixFileSystem::unlinkEntry(int folder, const QByteArray &name)
{
    return ::unlinkat(folder, name.constData(), 0) == 0 ? 0 : errno;
}

int PosixFileSystem::cloneData(int fromFd, int toFd)
{
    return ::ioctl(toFd, FICLONE, fromFd) == 0 ? 0 : errno;
}

qint64 PosixFileSystem::seekData(int fd, qint64 offset, int whence)
{
    return ::lseek(fd, off_t(offset), whence);
}

qint64 PosixFileSystem::copyRange(int fromFd, qint64 &from, int toFd, qint64 &to, qint64 size)
{
    loff_t fromOffset = from, toOffset = to;
    const ssize_t copied = ::copy_file_range(fromFd, &fromOffset, toFd, &toOffset, size_t(size), 0);
    from = fromOffset;
    to = toOffset;
    return copied;
}

qint64 PosixFileSystem::readAt(int fd, char *data, qint64 size, qint64 offset)
{
    return ::pread(fd, data, size_t(size), off_t(offset));
}

// How a copy moves its bytes, kept from one part of a file to the next.
struct PosixFileSystem::CopyState
{
    bool kernelCopies = true;
    QByteArray buffer;
};

// Copies the bytes from at up to end (to the source's end when end is negative), at
// the same offsets in both files; at ends after the last byte copied. ended says the
// source ended first: the system's reported length may be wrong (/sys reports 4096
// for a line of text) or unknown (/proc reports 0), so only a read that finds nothing
// ends a file. The kernel's copy gives nothing for some of these files without an
// error, so where it gives nothing a read tells.
int PosixFileSystem::copySpan(int fromFd, int toFd, qint64 &at, qint64 end, CopyState &state, FailedSide &side,
                              bool &ended)
{
    ended = false;
    constexpr qint64 Chunk = qint64(1) << 30;
    while (end < 0 || at < end) {
        const qint64 wanted = end < 0 ? Chunk : qMin(end - at, Chunk);
        if (state.kernelCopies) {
            qint64 from = at, to = at;
            const qint64 copied = copyRange(fromFd, from, toFd, to, wanted);
            if (copied > 0) {
                at += copied;
                continue;
            }
            if (copied < 0 && errno == EINTR)
                continue;
            if (copied < 0 && !notOffered(errno)) {
                // One call reads one file and writes the other: a read of the source
                // where it stopped tells which of the two failed.
                const int failure = errno;
                char probe = 0;
                if (readAt(fromFd, &probe, 1, at) < 0) {
                    side = FailedSide::Source;
                    return errno;
                }
                side = FailedSide::Target;
                return failure;
            }
            state.kernelCopies = false;
            state.buffer.resize(128 * 1024);
        }
        const qint64 count = readAt(fromFd, state.buffer.data(), qMin(wanted, qint64(state.buffer.size())), at);
        if (count == 0) {
            ended = true;
            return 0;
        }
        if (count < 0) {
            if (errno == EINTR)
                continue;
            side = FailedSide::Source;
            return errno;
        }
        if (const int failure = writeAllBytesAt(toFd, state.buffer.constData(), count, at)) {
            side = FailedSide::Target;
            return failure;
        }
        at += count;
    }
    return 0;
}

// Copies the data ranges the file system reports below the source's reported length
// and leaves every hole between and after them unwritten, then reads on past that
// length for as long as the source gives bytes. Where the file system cannot tell
// data from holes, nothing is copied and unsupported is set.
int PosixFileSystem::copyDataRanges(int fromFd, int toFd, qint64 size, bool &unsupported, FailedSide &side)
{
    unsupported = false;
    CopyState state;
    qint64 offset = 0;
    while (offset < size) {
        const qint64 start = seekData(fromFd, offset, SEEK_DATA);
        if (start < 0 && errno == ENXIO) {
            // No data past the offset: a hole up to the length, unless the file ends
            // here (it was cut short meanwhile), which only a read tells.
            char probe = 0;
            const qint64 got = readAt(fromFd, &probe, 1, offset);
            if (got < 0) {
                side = FailedSide::Source;
                return errno;
            }
            if (got == 0)
                break;
            offset = size;
            break;
        }
        const qint64 end = start < 0 ? -1 : seekData(fromFd, start, SEEK_HOLE);
        if (end < 0) {
            const int failure = errno;
            if (offset == 0 && notOffered(failure)) {
                unsupported = true;
                return 0;
            }
            side = FailedSide::Source;
            return failure;
        }
        if (start >= size) {
            offset = size;
            break;
        }
        qint64 at = start;
        bool ended = false;
        if (const int failure = copySpan(fromFd, toFd, at, qMin(end, size), state, side, ended))
            return failure;
        if (ended) { // the source is shorter than it said: the copy is what was read
            offset = at;
            break;
        }
        offset = qMin(end, size);
    }
    // A hole at the end is the length alone; past the length (or where the source
    // ended early) only what a read gives.
    bool ended = false;
    if (const int failure = copySpan(fromFd, toFd, offset, -1, state, side, ended))
        return failure;
    if (::ftruncate(toFd, offset) != 0) {
        side = FailedSide::Target;
        return errno;
    }
    return 0;
}

int PosixFileSystem::copyData(int fromFd, int toFd, qint64 size, FailedSide &side)
{
    // A file system that shares blocks makes the copy without moving any data.
    if (cloneData(fromFd, toFd) == 0)
        return 0;
    // A sparse file (a disk image) copied byte for byte would take its full length on
    // the disk; only its data is copied and its holes stay holes.
    bool unsupported = false;
    const int rangesFailure = copyDataRanges(fromFd, toFd, size, unsupported, side);
    if (!unsupported)
        return rangesFailure;
    // A buffer that stays in the processor's cache copies faster than a larger one.
    ::posix_fadvise(fromFd, 0, 0, POSIX_FADV_SEQUENTIAL);
    CopyState state;
    qint64 at = 0;
    bool ended = false;
    return copySpan(fromFd, toFd, at, -1, state, side, ended);
}

// Creates the file's content nameless (or under a temporary name of our own) in the
// opened folder and gives it its name only once it is complete (and, with sync, on
// the disk), without replacing anything: no partial file ever carries the name.
int PosixFileSystem::writeThenName(const OpenFolder &folder, const QByteArray &name, unsigned mode,
                                   const std::function<int(int)> &fill, bool sync)
{
    if (!isEntryName(name))
        return EINVAL;
    const int folderFd = folder.descriptor();
    QByteArray temporary;
    int fd = openNameless(folderFd);
    if (fd < 0) {
        if (!namelessRefused(errno))
            return errno;
        sweepStaleTemporaries(folderFd);
        for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
            temporary = ProcessOwner::temporaryName(TemporaryPrefix);
            fd = ::openat(folderFd, temporary.constData(), O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY | O_CLOEXEC, 0600);
            if (fd < 0 && errno != EEXIST)
                return errno;
        }
        if (fd < 0)
            return EEXIST;
    }
    int failure = fill(fd);
    if (failure == 0 && ::fchmod(fd, mode_t(mode & 0777)) != 0 && !metadataRefused(errno))
        failure = errno;
    if (failure == 0 && sync && ::fsync(fd) != 0)
        failure = errno;
    if (temporary.isEmpty()) {
        if (failure == 0
            && ::linkat(AT_FDCWD, procPath(fd).constData(), folderFd, name.constData(), AT_SYMLINK_FOLLOW) != 0)
            failure = errno;
        ::close(fd);
    } else {
        // Closed before it is named: the name may be given by a rename onto a
        // reservation, which a file open in user space would not let go cleanly.
        ::close(fd);
        if (failure == 0)
            failure = renameAt(folderFd, temporary, folderFd, name);
        if (failure != 0)
            ::unlinkat(folderFd, temporary.constData(), 0);
    }
    if (failure != 0)
        return failure;
    return sync ? syncFolder(folderFd) : 0;
}

namespace {
// The folders (device, inode) this run swept of stale temporaries.
QMutex g_sweptLock;
QSet<QPair<quint64, quint64>> g_swept;
} // namespace

void PosixFileSystem::forgetSweptFolders()
{
    QMutexLocker locker(&g_sweptLock);
    g_swept.clear();
}

// A disk without nameless files keeps what a crash left under a temporary name: the
// first time a run writes into such a folder, the temporaries of runs that no longer
// run go. Once per folder per run, so that copying many files into a large folder
// lists it once; never a temporary of a copy of the program that still runs.
void PosixFileSystem::sweepStaleTemporaries(int folderFd)
{
    struct stat info {};
    if (::fstat(folderFd, &info) != 0)
        return;
    {
        QMutexLocker locker(&g_sweptLock);
        if (g_swept.contains({quint64(info.st_dev), quint64(info.st_ino)}))
            return;
        g_swept.insert({quint64(info.st_dev), quint64(info.st_ino)});
    }
    // What a failed read leaves out waits for the next run.
    std::vector<QByteArray> stale;
    forEachEntry(folderFd, [&stale](const char *name, unsigned char) {
        if (ProcessOwner::stateOfName(name, TemporaryPrefix) == ProcessOwner::State::Gone)
            stale.emplace_back(name);
    });
    for (const QByteArray &name : stale) {
        struct stat entry {};
        if (::fstatat(folderFd, name.constData(), &entry, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(entry.st_mode))
            unlinkEntry(folderFd, name);
    }
}

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
    SourceFile source;
    if (const int failure = openSource(from, LastStep::RefuseLink, source))
        return failure;
    return throughParent(to, [&](const OpenFolder &folder, const QString &name) {
        return copyInto(source, folder, name, sync);
    });
}

int PosixFileSystem::copyInto(const SourceFile &source, const OpenFolder &folder, const QString &name, bool sync,
                              FailedSide *side)
{
    FailedSide failedSide = FailedSide::None;
    const int failure = copyIntoEntry(source, folder, encoded(name), sync, failedSide);
    if (side)
        *side = failedSide;
    return failure;
}

int PosixFileSystem::copyIntoEntry(const SourceFile &source, const OpenFolder &folder, const QByteArray &name, bool sync,
                                   FailedSide &side)
{
    side = FailedSide::None;
    // A copy is a new file of the user's: the source's bits less the umask, as cp
    // gives them (a read-only source stays read-only). A moved file is the same file
    // in another place and keeps its bits, as mv does.
    const unsigned mode = source.m_moved ? source.status().mode : source.status().mode & ~unsigned(currentUmask());
    const int failure = writeThenName(folder, name, mode, [&](int toFd) {
        if (const int copyFailure = copyData(source.descriptor(), toFd, source.status().size, side))
            return copyFailure;
        struct stat info {};
        if (::fstat(source.descriptor(), &info) != 0) {
            side = FailedSide::Source;
            return errno;
        }
        const struct timespec times[2] = {info.st_atim, info.st_mtim};
        return ::futimens(toFd, times) == 0 || metadataRefused(errno) ? 0 : errno;
    }, sync);
    if (failure == 0)
        side = FailedSide::None;
    else if (side == FailedSide::None)
        side = FailedSide::Target;
    return failure;
}

int PosixFileSystem::writeNew(const QString &path, const QByteArray &bytes)
{
    return throughParent(path, [&](const OpenFolder &folder, const QString &name) {
        return writeNew(folder, name, bytes);
    });
}

int PosixFileSystem::writeNew(const OpenFolder &folder, const QString &name, const QByteArray &bytes)
{
    const QByteArray entry = encoded(name);
    struct stat taken {};
    if (isEntryName(entry) && ::fstatat(folder.descriptor(), entry.constData(), &taken, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return writeThenName(folder, entry, 0666 & ~currentUmask(),
                         [&](int fd) { return writeAllBytes(fd, bytes.constData(), bytes.size()); }, true);
}

int PosixFileSystem::move(const QString &from, const QString &to)
{
    OpenFolder source, target;
    QString fromName, toName;
    if (const int failure = openParent(from, source, fromName))
        return failure;
    if (const int failure = openParent(to, target, toName))
        return failure;
    return moveInto(source, fromName, target, toName);
}

int PosixFileSystem::moveInto(const OpenFolder &from, const QString &name, const OpenFolder &to, const QString &toName,
                              const FileStatus *checked, FailedSide *side)
{
    if (side)
        *side = FailedSide::None;
    const QByteArray entry = encoded(name);
    const QByteArray toEntry = encoded(toName);
    if (!isEntryName(entry) || !isEntryName(toEntry))
        return EINVAL;
    struct stat info {};
    if (::fstatat(from.descriptor(), entry.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (checked && !sameFile(info, *checked))
        return ESTALE;
    const int failure = renameAt(from.descriptor(), entry, to.descriptor(), toEntry);
    if (failure != EXDEV)
        return failure;
    return moveAcross(from, entry, to, toName, info, side);
}

int PosixFileSystem::moveAcross(const OpenFolder &from, const QByteArray &name, const OpenFolder &to,
                                const QString &toPlace, const struct stat &info, FailedSide *side)
{
    const QByteArray toName = encoded(toPlace);
    const int fromFd = from.descriptor();
    const int toFd = to.descriptor();
    FailedSide failedSide = FailedSide::None;
    int held = -1;
    int failure = 0;
    if (S_ISLNK(info.st_mode)) {
        QByteArray target(info.st_size > 0 ? info.st_size + 1 : 4096, '\0');
        const ssize_t length = ::readlinkat(fromFd, name.constData(), target.data(), size_t(target.size()));
        if (length < 0)
            return errno;
        target.truncate(length);
        if (::symlinkat(target.constData(), toFd, toName.constData()) != 0)
            return errno;
        if ((failure = syncFolder(toFd)) != 0) {
            ::unlinkat(toFd, toName.constData(), 0);
            return failure;
        }
    } else if (S_ISREG(info.st_mode)) {
        // Freeing a large file's blocks takes a file system a while (a fifth of a
        // second for 1 GiB on ext4); it happens when the last reference goes, so the
        // copy's source held open across the unlink lets that work run off the
        // caller's thread.
        SourceFile source;
        struct stat opened {};
        source.m_fd = openRegularFile(fromFd, name.constData(), false, opened);
        if (source.m_fd < 0) {
            if (side)
                *side = FailedSide::Source;
            return errno;
        }
        source.m_status = statusOf(opened);
        if (!sameFile(info, source.m_status))
            return ESTALE;
        source.m_moved = true;
        if ((failure = copyInto(source, to, toPlace, true, &failedSide)) != 0) {
            if (side)
                *side = failedSide;
            return failure;
        }
        // A file written to while it was copied (a log being appended to) holds more
        // than its copy: it stays and the copy goes, so nothing written to it is lost.
        struct stat after {};
        if (::fstat(source.m_fd, &after) != 0)
            failure = errno;
        else if (after.st_size != opened.st_size || after.st_mtim.tv_sec != opened.st_mtim.tv_sec
                 || after.st_mtim.tv_nsec != opened.st_mtim.tv_nsec)
            failure = EAGAIN;
        held = std::exchange(source.m_fd, -1);
    } else {
        return EXDEV;
    }
    // The source goes only now that its copy is on the disk, and only while its name
    // still holds the file that was copied. Between this look and the unlink a file
    // put at the name, or bytes written to the file, would still go: the system has
    // no removal of a name that holds a given, unchanged file, so that window stays,
    // as short as a few calls.
    struct stat now {};
    if (failure != 0) {
        // the copy goes below; the source stays as it is
    } else if (::fstatat(fromFd, name.constData(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
        failure = errno;
        if (failure == ENOENT)
            failure = 0; // gone meanwhile: the copy is the file now
    } else if (now.st_dev != info.st_dev || now.st_ino != info.st_ino) {
        failure = ESTALE;
    } else {
        // Where it cannot go (a read-only medium) the copy goes instead, so the file
        // stays in one place.
        failure = unlinkEntry(fromFd, name);
    }
    if (failure != 0)
        ::unlinkat(toFd, toName.constData(), 0);
    if (held >= 0) {
        if (failure == 0)
            std::thread([held] { ::close(held); }).detach();
        else
            ::close(held);
    }
    return failure;
}

int PosixFileSystem::makeFolder(const QString &path)
{
    return throughParent(path, [&](const OpenFolder &folder, const QString &name) { return makeFolder(folder, name); });
}

int PosixFileSystem::makeFolder(const OpenFolder &folder, const QString &name)
{
    const QByteArray entry = encoded(name);
    if (!isEntryName(entry))
        return EINVAL;
    return ::mkdirat(folder.descriptor(), entry.constData(), 0777) == 0 ? 0 : errno;
}

int PosixFileSystem::remove(const QString &path)
{
    return throughParent(path, [&](const OpenFolder &folder, const QString &name) {
        const QByteArray entry = encoded(name);
        if (!isEntryName(entry))
            return EINVAL;
        struct stat info {};
        if (::fstatat(folder.descriptor(), entry.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            return errno;
        if (S_ISDIR(info.st_mode))
            return ::unlinkat(folder.descriptor(), entry.constData(), AT_REMOVEDIR) == 0 ? 0 : errno;
        return unlinkEntry(folder.descriptor(), entry);
    });
}

int PosixFileSystem::removeEntry(const QString &folder, const QByteArray &name)
{
    if (!isEntryName(name))
        return EINVAL;
    OpenFolder opened;
    if (const int failure = openFolder(folder, opened))
        return failure;
    return removeEntry(opened, name);
}

int PosixFileSystem::removeEntry(const OpenFolder &folder, const QByteArray &name)
{
    if (!isEntryName(name))
        return EINVAL;
    // Without AT_REMOVEDIR a folder is refused (EISDIR), empty or not.
    return unlinkEntry(folder.descriptor(), name);
}

int PosixFileSystem::makeWritable(const QString &path)
{
    return throughParent(path, [&](const OpenFolder &folder, const QString &name) { return makeWritable(folder, name); });
}

int PosixFileSystem::makeWritable(const OpenFolder &folder, const QString &name)
{
    const QByteArray entry = encoded(name);
    if (!isEntryName(entry))
        return EINVAL;
    // Opened without following a link, so a link never lends its target's mode.
    const int fd = ::openat(folder.descriptor(), entry.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
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
    SourceFile source;
    if (const int failure = openSource(path, LastStep::FollowLink, source))
        return failure;
    out.resize(qsizetype(qMax<qint64>(0, qMin(limit, qMax<qint64>(source.status().size, 4096)))));
    const qint64 done = readAllBytes(source.descriptor(), out.data(), out.size());
    const int failure = done < 0 ? errno : 0;
    out.truncate(failure == 0 ? qsizetype(done) : 0);
    return failure;
}
