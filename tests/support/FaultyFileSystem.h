#pragma once

#include "platform/files/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The real file layer with faults injected into its system calls, installed for the
// lifetime of the object: the no-replace rename can fail with a chosen errno (EXDEV
// makes a move copy, EINVAL makes it fall back), a copy can stop after a number of
// bytes with a chosen errno (a disk filling up), finding a file's data and holes can
// fail (EINVAL: a file system that cannot tell them), reading the source can fail from
// an offset on (a disk that stops answering part-way), a file without a name can be
// refused (a file system without them: the copy goes under a temporary name), and
// removing a file can fail. With foldsCase, a name that is missing as written but
// present in another letter case answers as that entry (the same inode), to the
// rename's no-replace test and to stat in an opened folder, as a disk that folds case
// does; listings show the names as stored.
class FaultyFileSystem : public PosixFileSystem
{
public:
    FaultyFileSystem() { FileSystem::install(this); }
    ~FaultyFileSystem() override { FileSystem::install(nullptr); }

    int renameError = 0;
    int copyError = 0;
    qint64 copyErrorAfter = 0;
    int unlinkError = 0;
    int seekDataError = 0;
    int readError = 0;
    qint64 readErrorAt = 0;
    int namelessError = 0;
    int copyRangeError = 0; // the kernel's copy refused (EXDEV: between file systems)
    // A name the disk refuses to give (with a chosen errno) when a rename would give it.
    QByteArray refusedName;
    int refusedNameError = ENOENT;
    bool foldsCase = false;

    using PosixFileSystem::stat;
    int stat(const OpenFolder &folder, const QString &name, FileStatus &out) override
    {
        const QByteArray folded = foldedEntry(folder.descriptor(), QFile::encodeName(name));
        return PosixFileSystem::stat(folder, folded.isEmpty() ? name : QFile::decodeName(folded), out);
    }

protected:
    int renameWithFlag(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to) override
    {
        // A rename within one folder never crosses file systems: the temporary name
        // of a copy made for a move still becomes its name.
        if (!refusedName.isEmpty() && to == refusedName)
            return refusedNameError;
        const bool crossing = renameError != EXDEV || fromFolder != toFolder;
        if (renameError && crossing)
            return renameError;
        if (!foldedEntry(toFolder, to).isEmpty())
            return EEXIST;
        return PosixFileSystem::renameWithFlag(fromFolder, from, toFolder, to);
    }

    int copyData(int fromFd, int toFd, qint64 size, FailedSide &side) override
    {
        if (!copyError)
            return PosixFileSystem::copyData(fromFd, toFd, size, side);
        QByteArray bytes(int(copyErrorAfter), '\0');
        const ssize_t got = ::read(fromFd, bytes.data(), size_t(bytes.size()));
        if (got > 0 && ::write(toFd, bytes.constData(), size_t(got)) != got)
            return errno;
        return copyError;
    }

    // A fault in reading the source leaves no copy that would not read it: the blocks
    // are not shared (a file system that shares them, btrfs, would copy without a read).
    int cloneData(int fromFd, int toFd) override
    {
        if (seekDataError || readError || copyRangeError)
            return EOPNOTSUPP;
        return PosixFileSystem::cloneData(fromFd, toFd);
    }

    qint64 seekData(int fd, qint64 offset, int whence) override
    {
        if (!seekDataError)
            return PosixFileSystem::seekData(fd, offset, whence);
        errno = seekDataError;
        return -1;
    }

    // Both ways of reading the source stop at readErrorAt: what lies before it comes,
    // a read from there on fails.
    qint64 copyRange(int fromFd, qint64 &from, int toFd, qint64 &to, qint64 size) override
    {
        if (copyRangeError) {
            errno = copyRangeError;
            return -1;
        }
        if (readError && from >= readErrorAt) {
            errno = readError;
            return -1;
        }
        if (readError)
            size = qMin(size, readErrorAt - from);
        return PosixFileSystem::copyRange(fromFd, from, toFd, to, size);
    }

    qint64 readAt(int fd, char *data, qint64 size, qint64 offset) override
    {
        if (readError && offset >= readErrorAt) {
            errno = readError;
            return -1;
        }
        if (readError)
            size = qMin(size, readErrorAt - offset);
        return PosixFileSystem::readAt(fd, data, size, offset);
    }

    int openNameless(int folder) override
    {
        if (!namelessError)
            return PosixFileSystem::openNameless(folder);
        errno = namelessError;
        return -1;
    }

    int unlinkEntry(int folder, const QByteArray &name) override
    {
        return unlinkError ? unlinkError : PosixFileSystem::unlinkEntry(folder, name);
    }

private:
    // The entry of the folder the name finds only by folding case: its name, or "".
    QByteArray foldedEntry(int folder, const QByteArray &name) const
    {
        struct stat info {};
        if (!foldsCase || ::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0)
            return {};
        const QString wanted = QFile::decodeName(name);
        const QStringList names = QDir(QStringLiteral("/proc/self/fd/%1").arg(folder))
                                          .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &entry : names) {
            if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
                return QFile::encodeName(entry);
        }
        return {};
    }
};
