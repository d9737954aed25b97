#pragma once

#include "files/FileOpResult.h"

#include <QString>

// The file operations that check their preconditions first and report a result code
// instead of failing. Checks run in this order and the first that fails decides: the
// source, free space on the target's volume, the target's folder, the target. The
// source is checked on the file opened (a move: in its folder opened) and the target
// in its folder opened, and the change goes through those same descriptors, so what
// is put in their place after the checks is neither read nor written. Every change
// goes through the file layer, so nothing is ever replaced or written through a link,
// and no partly written file ever carries the target's name. A source that cannot be
// read is told as such (9, naming it), and a name the target's disk refuses too (10).

// Copies a regular file (a link is copied as the file it names) → 1.
FileOpResult CopyFileChecked(const QString &source, const QString &target);
// Renames the file, or across volumes copies, syncs and then removes it → 0. A source
// that may not be removed is copied instead and stays: the copy's result.
FileOpResult MoveFileChecked(const QString &source, const QString &target);
// Writes the text and CR LF as UTF-8 into a new file → 0; an empty text gives 4.
FileOpResult WriteTextFile(const QString &text, const QString &path);
// Creates the folder parent + the sanitised name (parent ends with "/") → 0; the name
// as typed is what must not exist yet.
FileOpResult MakeFolder(const QString &parent, const QString &name);
