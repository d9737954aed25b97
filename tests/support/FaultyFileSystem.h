#pragma once

#include "platform/files/FileSystem.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

// The real file layer with faults injected into its system calls, installed for the
// lifetime of the object: the no-replace rename can fail with a chosen errno (EXDEV
// makes a move copy, EINVAL makes it fall back), a copy can stop after a number of
// bytes with a chosen errno (a disk filling up), finding a file's data and holes can
// fail (EINVAL: a file system that cannot tell them), and removing a file can fail.
// With foldsCase, a name that is missing as written but present in another letter
// case answers as that entry (the same inode), to the rename's no-replace test and to
// stat, as a disk that folds case does; listings show the names as stored.
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
    bool foldsCase = false;

    int stat(const QString &path, FileStatus &out) override
    {
        const QString folded = foldedEntry(path);
        return PosixFileSystem::stat(folded.isEmpty() ? path : folded, out);
    }

protected:
    int renameWithFlag(const QString &from, const QString &to) override
    {
        if (renameError)
            return renameError;
        if (!foldedEntry(to).isEmpty())
            return EEXIST;
        return PosixFileSystem::renameWithFlag(from, to);
    }

    int copyData(int fromFd, int toFd, qint64 size) override
    {
        if (!copyError)
            return PosixFileSystem::copyData(fromFd, toFd, size);
        QByteArray bytes(int(copyErrorAfter), '\0');
        const ssize_t got = ::read(fromFd, bytes.data(), size_t(bytes.size()));
        if (got > 0 && ::write(toFd, bytes.constData(), size_t(got)) != got)
            return errno;
        return copyError;
    }

    qint64 seekData(int fd, qint64 offset, int whence) override
    {
        if (!seekDataError)
            return PosixFileSystem::seekData(fd, offset, whence);
        errno = seekDataError;
        return -1;
    }

    int unlinkFile(const QString &path) override
    {
        return unlinkError ? unlinkError : PosixFileSystem::unlinkFile(path);
    }

private:
    // The entry the name finds only by folding case: its path, or "".
    QString foldedEntry(const QString &path) const
    {
        if (!foldsCase || QFileInfo(path).exists() || QFileInfo(path).isSymLink())
            return {};
        const QFileInfo info(path);
        const QStringList names = QDir(info.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                              | QDir::NoDotAndDotDot);
        for (const QString &name : names) {
            if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
                return info.path() + QLatin1Char('/') + name;
        }
        return {};
    }
};
