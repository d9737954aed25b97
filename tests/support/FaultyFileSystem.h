#pragma once

#include "platform/files/FileSystem.h"

#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

// The real file layer with faults injected into its system calls, installed for the
// lifetime of the object: the no-replace rename can fail with a chosen errno (EXDEV
// makes a move copy, EINVAL makes it fall back), a copy can stop after a number of
// bytes with a chosen errno (a disk filling up), finding a file's data and holes can
// fail (EINVAL: a file system that cannot tell them), and removing a file can fail.
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

protected:
    int renameWithFlag(const QString &from, const QString &to) override
    {
        return renameError ? renameError : PosixFileSystem::renameWithFlag(from, to);
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
};
