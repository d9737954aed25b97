#include "platform/system/FileDescriptors.h"

#include <QByteArray>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int writeAllBytes(int fd, const char *data, qint64 size)
{
    return writeAllBytesAt(fd, data, size, -1);
}

int writeAllBytesAt(int fd, const char *data, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t written = offset < 0 ? ::write(fd, data, size_t(size)) : ::pwrite(fd, data, size_t(size), off_t(offset));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        size -= written;
        if (offset >= 0)
            offset += written;
    }
    return 0;
}

qint64 readAllBytes(int fd, char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t count = ::read(fd, data + done, size_t(size - done));
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        done += count;
    }
    return done;
}

int openRegularFile(int folderFd, const char *path, bool followLink, struct stat &info)
{
    const int place = ::openat(folderFd, path, O_PATH | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (place < 0)
        return -1;
    struct stat seen {};
    int failure = ::fstat(place, &seen) == 0 ? 0 : errno;
    if (failure == 0 && S_ISLNK(seen.st_mode))
        failure = ELOOP;
    else if (failure == 0 && !S_ISREG(seen.st_mode))
        failure = S_ISDIR(seen.st_mode) ? EISDIR : EINVAL;
    // Without blocking, should the file still turn out to be a FIFO.
    const QByteArray reopened = "/proc/self/fd/" + QByteArray::number(place);
    const int fd = failure == 0 ? ::open(reopened.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) : -1;
    if (failure == 0 && fd < 0)
        failure = errno;
    ::close(place);
    if (failure == 0 && ::fstat(fd, &info) != 0)
        failure = errno;
    if (failure == 0 && (!S_ISREG(info.st_mode) || info.st_ino != seen.st_ino || info.st_dev != seen.st_dev))
        failure = EINVAL;
    if (failure != 0) {
        if (fd >= 0)
            ::close(fd);
        errno = failure;
        return -1;
    }
    return fd;
}

int forEachEntry(int folderFd, const std::function<void(const char *name, unsigned char type)> &visit)
{
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return errno;
    DIR *dir = ::fdopendir(listFd);
    if (!dir) {
        const int failure = errno;
        ::close(listFd);
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
        const QByteArrayView name(entry->d_name);
        if (name != "." && name != "..")
            visit(entry->d_name, entry->d_type);
    }
    ::closedir(dir);
    return failure;
}

int readEntryNames(int folderFd, std::vector<QByteArray> &names)
{
    return forEachEntry(folderFd, [&names](const char *name, unsigned char) { names.emplace_back(name); });
}
