#include "platform/system/FileDescriptors.h"

#include <cerrno>
#include <unistd.h>

int writeAllBytes(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        size -= written;
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
