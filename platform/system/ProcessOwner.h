#pragma once

#include <QByteArray>

// Which run of the program made a temporary name. A name the program gives to a file
// or folder of its own for a while carries the tag of the process that made it, so
// that a later run can tell a temporary whose maker is gone (a crash, a kill) from one
// that a copy of the program still running is working on.
namespace ProcessOwner {

// This process's tag: the machine's boot, the process id and the moment the process
// started, in letters, digits and dots only (every disk takes them in a name).
QByteArray tag();

enum class State { Running, Gone, Unknown };

// Whether the process a tag names still runs. A tag of an earlier boot names a process
// that is gone; a text that is no tag is Unknown, and nothing of it is the program's
// to remove.
State stateOf(const QByteArray &tag);

// A fresh name of this run: prefix, the tag, "-", random letters and digits, suffix.
QByteArray temporaryName(const QByteArray &prefix, const QByteArray &suffix = {});
// The state of the run that made a name temporaryName gave with the prefix; Unknown
// for any other name.
State stateOfName(const QByteArray &name, const QByteArray &prefix);

} // namespace ProcessOwner
