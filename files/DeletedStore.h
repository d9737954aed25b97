#pragma once

#include <QString>

// The deleted-files store: the folder "deleted" in the program folder. A deleted file
// is moved there under a name that starts with a five-digit running number; the
// counter in "Main" CountDelFiles holds the number the next file receives.
namespace DeletedStore {

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

// Removes every file and link in the store, whatever bytes name it; sub-folders stay
// and are never entered.
// Raises "File not found" when the store held none, or the first failure after
// trying every file.
void empty();

} // namespace DeletedStore

// Moves the file into the store (see DeletedStore). A file that cannot be moved
// for want of access stays where it is and the user is told; any other failure is
// raised to the caller, which decides whether to ignore it.
void MoveToDeletedStore(const QString &path);
