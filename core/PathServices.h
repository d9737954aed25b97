#pragma once

#include <QString>

#include <optional>

// Small path, disk and file-name functions. Paths are native: "/" separates, "\" is an
// ordinary character. Functions taking a reference change the caller's text as well
// as returning a result; callers rely on that.

// The lower-cased text after the last "." of the last path component; "${other}" when
// that component has no "." at all.
QString GetFileExtension(const QString &name);
// Everything before the last "/"; "" when there is none. A file in the root gives "/";
// the root "/" itself gives "", so a walk up the folders ends.
QString GetParentPath(const QString &path);
// Free bytes for the user on the volume that holds the path (or its nearest existing
// ancestor); 0 when it cannot be asked (an empty or relative path). Never negative.
qint64 GetDiskFree(const QString &path);
// Removes one trailing "/" from the caller's path (the root "/" stays as it is);
// returns the text after the last "/", "" when there is none.
QString GetFileName(QString &path);
// True when anything exists at exactly that path (no wildcards); a dangling symbolic
// link exists too. Never fails.
bool FileExists(const QString &path);
// Replaces the characters a file name must not hold, in the caller's text.
QString SanitizeFileName(QString &name);
// The kind of volume that holds the path: "drive", "floppy", "netdrive", "cdrom", "ram", "other".
QString DriveTypeName(const QString &path);
// The emulated Windows folders under the program folder, without a trailing "/";
// created when missing. A failure is logged under the function's name and the path is
// returned all the same ("" when there is no program folder).
QString WindowsDirectory();
QString WindowsSystemDirectory();
// The text after the last "/" of the caller's path ("" when it ends with "/" or has none).
QString GetLastPathPart(QString &path);
// A file's path in a preset folder, with one "/" between them; none when the folder
// is empty (the file system root is never a preset's target).
std::optional<QString> presetTargetPath(const QString &folder, const QString &fileName);
