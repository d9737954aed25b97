#pragma once

#include "platform/files/FileSystem.h"

// What the system's calls say a file is, in the layer's terms; for the layer's own
// listings and status calls.
FileKind kindOfMode(unsigned mode);
// A folder entry's kind from the type the listing gives it; where the file system
// gives none, from a status call on the entry (never following a link).
FileKind kindOfEntry(int folderFd, unsigned char type, const char *name);
