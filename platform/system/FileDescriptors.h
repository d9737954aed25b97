#pragma once

#include <QtGlobal>

// Writes all size bytes to the open file, going on where the disk took only part of
// them or a signal interrupted the write. Returns 0, or the errno of the failing write.
int writeAllBytes(int fd, const char *data, qint64 size);
