#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>
#include <vector>

// Writes all size bytes to the open file, going on where the disk took only part of
// them or a signal interrupted the write. Returns 0, or the errno of the failing write.
int writeAllBytes(int fd, const char *data, qint64 size);
// The same at an offset of the file, its position left where it was; a negative
// offset writes at the position, as writeAllBytes does.
int writeAllBytesAt(int fd, const char *data, qint64 size, qint64 offset);

// Reads up to size bytes from the open file, going on after a short read or an
// interrupting signal until the file ends. Returns how many bytes came, or -1 with
// errno set by the failing read.
qint64 readAllBytes(int fd, char *data, qint64 size);

struct stat;

// Opens the regular file at path (relative to the folder descriptor, or AT_FDCWD) for
// reading without blocking. The path is opened once, as a place only (O_PATH), which
// opens no device and waits for no FIFO writer; only when that is a regular file is it
// opened for reading, through /proc/self/fd, never by the path again: nothing put at
// the path meanwhile is reached, and opening a device (which acts on it: a watchdog
// starts counting, a tape rewinds) never happens. Returns the descriptor with info
// filled from it, or -1 with errno: ELOOP for a link where followLink is false, EISDIR
// for a folder, EINVAL for anything else that is no regular file.
int openRegularFile(int folderFd, const char *path, bool followLink, struct stat &info);

// Hands visit each entry of the opened folder ("." and ".." left out) with its d_type,
// read through a descriptor of its own so that the folder's stays where it was. Returns
// 0, or the errno of the failing open or read: after a failed read the entries handed
// over are not all the folder has.
int forEachEntry(int folderFd, const std::function<void(const char *name, unsigned char type)> &visit);
// The names of the entries of the opened folder, as forEachEntry reads them.
int readEntryNames(int folderFd, std::vector<QByteArray> &names);
