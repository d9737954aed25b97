#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Writes the bytes to a temporary file beside the target (its name followed by "."
// and six letters or digits) and renames it over the target only when every byte
// reached the disk, so a failure leaves the old file, or none, never a cut-off one.
// Raises "Path/File access error" (its source: the path; its system error: the
// errno of the call that failed) on failure.
void writeFileAtomically(const QString &path, const QByteArray &bytes);

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
};

// Reads a whole regular file of at most maxSize bytes. Returns nothing when it
// cannot; reason then holds the system's error text or says what stands in the
// way, and systemError the errno (ENOENT for a missing file).
std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxSize, QString &reason, int &systemError);

// Moves an unusable file (or whatever stands in its place) aside under a name that
// was free, never replacing anything: "registry.reg" becomes
// "registry-nečitelný-20250102-030405.reg". Returns the new path; empty (with
// errno set) when it could not be moved.
QString moveAside(const QString &path);

// Removes what interrupted saves of the files matching targetWildcard left in a
// folder: temporary copies (the target's name, ".", six letters or digits) and the
// marker of a stale lock's removal (".lock.rmlock"). A file younger than a second
// may belong to a save running right now and stays.
void removeInterruptedSaves(const QString &folder, const QString &targetWildcard);
