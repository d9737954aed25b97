#pragma once

#include <QtGlobal>

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
