#pragma once

#include <QString>

class OpenFolder;

// The deleted-files store: the folder "deleted" in the program folder. A deleted file
// is moved there under a name that starts with a five-digit running number; the
// counter in "Main" CountDelFiles holds the number the next file receives.
namespace DeletedStore {

// How many numbers a delete tries before it gives up: every five-digit stored name.
inline constexpr qint64 NumbersTried = 100000;

// The store's folder, ending in "/". Raises "Path not found" when the program folder
// is empty or relative: the store would otherwise be a folder of whatever the
// working folder is.
QString folder();

// The counter as its stored text gives it: its leading digits; 0 without any.
qint64 counterFromText(const QString &text);

// The last five digits of the number, then the file's own name. A name the store's
// file system would refuse as too long (more than nameLimit bytes with the digits)
// loses the end of the part before its extension, whole characters only.
QString storedName(qint64 number, const QString &path, int nameLimit);

// Opens the store folder at path without following a link put in its place. A store
// that is a link, or no folder, is refused (ELOOP or ENOTDIR): the user is told,
// naming the path, for nothing in it is the program's to move, list or remove; it
// may lead to someone else's files. Returns 0 or the errno.
int openStore(const QString &path, OpenFolder &out);

// What an emptying left behind: the files it could not remove, and why (the errno of
// the first failure); or that the store was refused as a link or no folder.
struct EmptyingReport
{
    int stayed = 0;
    int failure = 0;
    bool storeRefused = false;
};

// Removes every file and link in the store, whatever bytes name it; sub-folders stay
// and are never entered. report, when given, says what stayed.
// Raises "File not found" when the store held none, or the first failure after
// trying every file.
void empty(EmptyingReport *report = nullptr);

// The message telling the user how many files an emptying left in the store and why.
QString stayedMessage(const EmptyingReport &report);

} // namespace DeletedStore

// Moves the file into the store (see DeletedStore), under the first number from the
// counter whose stored name is free; the counter is then saved past the number used.
// A file that cannot be moved for want of access stays where it is and the user is
// told; any other failure is told and raised to the caller, which may ignore it.
void MoveToDeletedStore(const QString &path);
