#pragma once

#include <QString>

// Renames from to to in one step, but only when nothing is at to yet: an existing
// file, folder or link there is never replaced. Returns 0, or the errno of the
// failure (EEXIST when the name is taken). Where the file system refuses the
// no-replace flag (EINVAL) it falls back to renameNoReplaceWithoutFlag.
int renameNoReplace(const QString &from, const QString &to);

// The one rename call with the no-replace flag, no fallback: 0 or the errno.
int renameWithNoReplaceFlag(const QString &from, const QString &to);

// For file systems that refuse the flag: a file (or link) gets the new name as a hard
// link, which fails on a taken name, and then loses the old one; a folder, which has
// no hard links, is renamed only after the new name was found free.
int renameNoReplaceWithoutFlag(const QString &from, const QString &to);
