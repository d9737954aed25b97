#pragma once

#include <QString>

// Renames from to to in one step, but only when nothing is at to yet: an existing
// file, folder or link there is never replaced. Returns 0, or the errno of the
// failure (EEXIST when the name is taken).
int renameNoReplace(const QString &from, const QString &to);
