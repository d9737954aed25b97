#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Writes the bytes to a temporary file beside the target (its name followed by "."
// and six letters or digits) and renames it over the target only when every byte
// reached the disk, so a failure leaves the old file, or none, never a cut-off one.
// A link is followed to the file it points to; only a regular file is ever
// replaced. Raises "Path/File access error" (its source: the path; its system
// error: the errno of the call that failed, EISDIR for a folder in the way and
// EEXIST for anything else that is no regular file) on failure.
void writeFileAtomically(const QString &path, const QByteArray &bytes);

// The file a save of the path replaces: the end of its chain of links, or the path.
QString replaceableTarget(const QString &path);

// Why a file cannot be written beside the given one now, as the system says it: the
// errno of creating, filling or syncing a one-byte temporary file there (removed at
// once); 0 when all of that works.
int writeProblemBeside(const QString &path);

// A file the program could not use or could not save, for telling the user.
struct FileProblem
{
    QString path;
    QString reason; // the system's error text, or what is wrong with the content
    QString keptAs; // where an unusable file was moved aside; empty when it could not be
    // The file is still used, without some of its lines: keptAs is a copy of it whole.
    bool linesLost = false;
};

// What is wrong with the path for reading or replacing it, for telling the user:
// empty when it is missing or, links followed, a regular file.
QString notRegularFileReason(const QString &path);
// A start file that is, or links to, something other than a regular file (a device,
// a pipe, a folder) is moved aside, the link itself and never what it points to.
// Returns what was found, for telling the user once; nothing for a regular or
// missing file.
std::optional<FileProblem> setAsideUnlessRegular(const QString &path);

// Identifies one version of a file. The inode is part of it because every save
// replaces the file, so two saves within the clock's resolution still differ.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    bool operator==(const FileStamp &) const = default;
};

// The stamp of the file a path names, links followed; an empty one when there is none.
FileStamp stampOf(const QString &path);

// Reads a whole regular file of at most maxSize bytes, never waiting on a pipe nor
// opening a device. Returns nothing when it cannot; reason then holds the system's
// error text or says what stands in the way, and systemError the errno (ENOENT for
// a missing file, EISDIR for a folder, EEXIST for anything else no regular file).
std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxSize, QString &reason, int &systemError);

// Moves an unusable file (or whatever stands in its place) aside under a name that
// was free, never replacing anything: "registry.reg" becomes
// "registry-nečitelný-20250102-030405.reg". Returns the new path; empty (with
// errno set) when it could not be moved.
QString moveAside(const QString &path);

// Keeps a copy of a file's bytes beside it under a name that was free, never
// replacing anything: "registry.reg" gives "registry-kopie-20250102-030405.reg".
// Returns the copy's path; empty (with errno set) when it could not be written.
QString keepCopy(const QString &path, const QByteArray &bytes);

// Removes what interrupted saves of the files matching targetWildcard left in a
// folder: temporary copies (the target's name, ".", six letters or digits) and the
// marker of a stale lock's removal (".lock.rmlock"). A file younger than a second
// may belong to a save running right now and stays.
void removeInterruptedSaves(const QString &folder, const QString &targetWildcard);
