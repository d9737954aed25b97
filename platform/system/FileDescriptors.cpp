#include "platform/system/FileDescriptors.h"

#include <cerrno>
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
