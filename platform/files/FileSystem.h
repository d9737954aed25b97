#pragma once

#include "platform/files/WildcardPattern.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <vector>

// Every change the program makes to a user's files goes through this layer. Nothing
// is ever replaced: a taken name makes an operation fail with EEXIST; a copy carries
// its target's name only once all of it reached the disk; a moved file leaves its
// old place only after its copy was synced. Each operation returns 0 or the errno of
// the system call that failed, and never follows a symbolic link it did not have to.

enum class FileKind { Missing, File, Folder, Link, Other };

struct FileStatus
{
    FileKind kind = FileKind::Missing;
    qint64 size = 0;
    unsigned mode = 0; // permission bits
    QDateTime modified;
    quint64 device = 0;
    quint64 inode = 0;
};

struct FolderEntry
{
    QString name;
    FileKind kind = FileKind::Other; // of the entry itself: a link is a Link
};

struct FolderListing
{
    std::vector<FolderEntry> entries;
    // Names that are not valid UTF-8: no text names them, so no text key can stand
    // for them; they come back as the bytes the folder holds.
    QList<QByteArray> undecodable;
};

class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // The entries of a folder, without "." and "..", in the folder's own order; with
    // a pattern only the names it matches.
    virtual int list(const QString &folder, FolderListing &out, const WildcardPattern *names = nullptr) = 0;
    // What is at the path itself (a link is reported as a link).
    virtual int stat(const QString &path, FileStatus &out) = 0;
    // A new name in the same file system. Where the new name is taken by the file
    // itself (a disk that folds letter case finds "B.txt" when "b.txt" is there), the
    // file is named through a temporary name of the same folder, so that a rename
    // changing only letter case is done.
    virtual int rename(const QString &from, const QString &to) = 0;
    // A rename, or across file systems a copy, sync and removal of the source; a
    // symbolic link moves as a link. Folders move only within a file system.
    virtual int move(const QString &from, const QString &to) = 0;
    // A regular file's data, permission bits and modification time under a new name.
    virtual int copy(const QString &from, const QString &to) = 0;
    // The same copy, named once complete but left to the system to write out in its
    // own time, as cp leaves it: the source stays, so nothing is lost if it never
    // reaches the disk. A move never uses it.
    virtual int copyUnsynced(const QString &from, const QString &to) = 0;
    // A new file holding the bytes; fails with EEXIST when the name is taken.
    virtual int writeNew(const QString &path, const QByteArray &bytes) = 0;
    virtual int makeFolder(const QString &path) = 0;
    // Removes a file or link (never what it points to), or an empty folder.
    virtual int remove(const QString &path) = 0;
    // Removes a folder's entry named by the bytes the folder holds for it, which may
    // be no valid UTF-8 (FolderListing::undecodable): a file or link, never what it
    // points to. A folder is refused with EISDIR.
    virtual int removeEntry(const QString &folder, const QByteArray &name) = 0;
    // Gives the owner write permission when it is missing; a link is left as it is.
    virtual int makeWritable(const QString &path) = 0;
    // At most limit bytes from the start of a regular file. Other kinds (a FIFO, a
    // device) are refused without reading, so a read never blocks.
    virtual int readFileHead(const QString &path, qint64 limit, QByteArray &out) = 0;

    // The layer every caller uses; tests install one that injects faults.
    static FileSystem &current();
    // Installs a layer (nullptr restores the system's); not owned.
    static void install(FileSystem *fileSystem);
};

// The layer over the system's calls. Tests derive from it and override the few calls
// below to make one step fail the way a disk or a file system can.
class PosixFileSystem : public FileSystem
{
public:
    int list(const QString &folder, FolderListing &out, const WildcardPattern *names = nullptr) override;
    int stat(const QString &path, FileStatus &out) override;
    int rename(const QString &from, const QString &to) override;
    int move(const QString &from, const QString &to) override;
    int copy(const QString &from, const QString &to) override;
    int copyUnsynced(const QString &from, const QString &to) override;
    int writeNew(const QString &path, const QByteArray &bytes) override;
    int makeFolder(const QString &path) override;
    int remove(const QString &path) override;
    int removeEntry(const QString &folder, const QByteArray &name) override;
    int makeWritable(const QString &path) override;
    int readFileHead(const QString &path, qint64 limit, QByteArray &out) override;

protected:
    // The rename with the no-replace flag; EINVAL means the file system refuses it.
    virtual int renameWithFlag(const QString &from, const QString &to);
    // Moves size bytes from one open file to another: 0 or the errno.
    virtual int copyData(int fromFd, int toFd, qint64 size);
    // Where the next data (SEEK_DATA) or hole (SEEK_HOLE) starts at or after offset:
    // the offset, or -1 with the errno (EINVAL where the file system cannot tell).
    virtual qint64 seekData(int fd, qint64 offset, int whence);
    // Removes a file or link: 0 or the errno.
    virtual int unlinkFile(const QString &path);

private:
    // The no-replace rename, falling back where the file system refuses the flag.
    int renameOnce(const QString &from, const QString &to);
    // Whether to, taken, stands for the entry from itself rather than for another file.
    bool namesTheSameEntry(const QString &from, const QString &to);
    int renameThroughTemporary(const QString &from, const QString &to);
    int moveAcross(const QString &from, const QString &to);
    int copyFile(const QString &from, const QString &to, bool sync);
    int copyDataRanges(int fromFd, int toFd, bool &unsupported);
};

// The runtime error number for a failed file call's errno: access refused 75, not
// found 53, name taken 58, no space 61, input or output failed 57, another file
// system 74, a name the system refuses 52, a path through a file 76.
int runtimeErrorOf(int systemError);
// Raises that runtime error, carrying the errno. Its description is the number's own
// text where that says what happened, and the system error's text otherwise.
[[noreturn]] void raiseFileError(int systemError);
