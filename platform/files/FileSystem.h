#pragma once

#include "platform/files/WildcardPattern.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

// Every change the program makes to a user's files goes through this layer. Nothing
// is ever replaced: a taken name makes an operation fail with EEXIST (on a disk
// without the no-replace rename the name is reserved first, see renameOntoReservation);
// a copy carries its target's name only once all of it reached the disk; a moved file leaves its
// old place only after its copy was synced. Each operation returns 0 or the errno of
// the system call that failed, and never follows a symbolic link it did not have to.

enum class FileKind { Missing, File, Folder, Link, Other };

struct FileStatus
{
    FileKind kind = FileKind::Missing;
    qint64 size = 0;
    unsigned mode = 0; // permission bits
    QDateTime modified;
    // Which file this is, whatever name it is reached by.
    quint64 device = 0;
    quint64 inode = 0;

    bool sameFileAs(const FileStatus &other) const { return device == other.device && inode == other.inode; }
};

// Whether the last step of a path may be a symbolic link that is followed.
enum class LastStep { FollowLink, RefuseLink };

// A folder opened once for a change or a series of changes. Every call made through
// it names an entry relative to its descriptor, so a folder renamed, or replaced by a
// link to another folder after it was opened, never leads a change elsewhere: the
// change lands in the folder that was opened, wherever it is now.
class OpenFolder
{
public:
    OpenFolder() = default;
    ~OpenFolder();
    OpenFolder(OpenFolder &&other) noexcept;
    OpenFolder &operator=(OpenFolder &&other) noexcept;
    OpenFolder(const OpenFolder &) = delete;
    OpenFolder &operator=(const OpenFolder &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    // The path it was opened by (it may name another folder by now).
    const QString &path() const { return m_path; }
    // Whether the folder still has a name: false once it was removed.
    bool stillLinked() const;
    void close();

private:
    friend class PosixFileSystem;
    int m_fd = -1;
    QString m_path;
};

// A regular file opened once for reading: the file its status describes is the file
// a copy reads, whatever is put at its name afterwards.
class SourceFile
{
public:
    SourceFile() = default;
    ~SourceFile();
    SourceFile(const SourceFile &) = delete;
    SourceFile &operator=(const SourceFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    // Read through the open descriptor: kind File, size as the system reports it.
    const FileStatus &status() const { return m_status; }
    void close();

private:
    friend class PosixFileSystem;
    int m_fd = -1;
    FileStatus m_status;
    // A file being moved keeps its permission bits in its new place; a copy is a new
    // file and takes the umask.
    bool m_moved = false;
};

// Which side of a copy a failure came from: the copy's calls move bytes from one file
// to the other in one step and do not say which of the two refused.
enum class FailedSide { None, Source, Target };

struct FolderEntry
{
    QString name;
    FileKind kind = FileKind::Other; // of the entry itself: a link is a Link
};

// What tells one folder from another made later at the same name: a new folder may
// get the inode number a removed one had, but not its moment of birth.
struct FolderIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 bornSeconds = 0; // 0 where the file system keeps no birth time
    quint32 bornNanoseconds = 0;

    bool operator==(const FolderIdentity &) const = default;
};

struct FolderListing
{
    // Every entry, its name decoded by decodeFileName (platform/files/FileNames.h), so
    // that bytes that are no UTF-8 still name it.
    std::vector<FolderEntry> entries;
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
    // A regular file's data, permission bits (less the umask, as cp gives them) and
    // modification time under a new name; a disk that refuses the user those bits and
    // times (FAT, exFAT) keeps its own.
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
    // Removes a folder's entry named by the bytes the folder holds for it: a file or
    // link, never what it points to. A folder is refused with EISDIR.
    virtual int removeEntry(const QString &folder, const QByteArray &name) = 0;
    // Gives the owner write permission when it is missing; a link is left as it is.
    virtual int makeWritable(const QString &path) = 0;
    // At most limit bytes from the start of a regular file. Other kinds (a FIFO, a
    // device) are refused without reading, so a read never blocks.
    virtual int readFileHead(const QString &path, qint64 limit, QByteArray &out) = 0;
    // The identity of the folder at the path itself; a link there is refused (ENOTDIR).
    virtual int identifyFolder(const QString &path, FolderIdentity &out) = 0;
    // Removes the folder at the path only while it is empty and is still the folder
    // identified; anything else there stays: a file or link (ENOTDIR), a folder with
    // entries (ENOTEMPTY), another folder (ESTALE).
    virtual int removeEmptyFolder(const QString &path, const FolderIdentity &identity) = 0;
    // Removes a folder the program made for its own use, with all it holds, only while
    // the path still holds the folder identified (else ESTALE). It goes down through
    // opened folders and never follows a link: one put inside or at its name is
    // removed as a link, or left, and never leads the removal elsewhere.
    virtual int removeOwnFolder(const QString &path, const FolderIdentity &identity) = 0;

    // The same operations through folders opened once. Each call above opens the
    // folders it changes once and goes on through them; a caller that checks before
    // it changes opens them itself, so that what it checked is what is changed. A
    // folder that must never be reached through a link (a store of the program's
    // own) is opened with RefuseLink and then listed, moved into and emptied only
    // through that OpenFolder:
    //     OpenFolder store;
    //     openFolder(path, store, LastStep::RefuseLink);
    //     list(store, listing); moveInto(from, name, store, newName); removeEntry(store, bytes);
    //
    // Opens a folder. With RefuseLink a link at the path's last step is refused
    // (ENOTDIR or ELOOP) instead of followed; the steps before it are followed.
    virtual int openFolder(const QString &path, OpenFolder &out, LastStep last = LastStep::FollowLink) = 0;
    // Opens a regular file for reading without blocking. The path is opened once, as a
    // place only (which opens no device and waits for no FIFO); only what that open
    // found to be a regular file is then opened for reading, through its descriptor.
    // A FIFO or a device is refused with EINVAL, a folder with EISDIR, a link with
    // RefuseLink by ELOOP.
    virtual int openSource(const QString &path, LastStep last, SourceFile &out) = 0;
    virtual int list(const OpenFolder &folder, FolderListing &out, const WildcardPattern *names = nullptr) = 0;
    // What is at a name of the folder, a link reported as a link.
    virtual int stat(const OpenFolder &folder, const QString &name, FileStatus &out) = 0;
    // The source's data, permission bits (less the umask; a file being moved keeps
    // them) and modification time under a new name of the folder, named only once
    // complete (and with sync on the disk). side, when given, says which file refused
    // a failed copy.
    virtual int copyInto(const SourceFile &source, const OpenFolder &folder, const QString &name, bool sync,
                         FailedSide *side = nullptr) = 0;
    // Moves the entry name of from to toName in to: a rename, or across file systems
    // a copy, sync and removal of the source (a link moves as a link). With checked,
    // the entry must still be that file (ESTALE otherwise, nothing changed), and it is
    // checked again right before the source's removal: a file put at its name while
    // it was copied is never removed, and a file written to while it was copied
    // stays (EAGAIN, the copy removed). side as for copyInto.
    virtual int moveInto(const OpenFolder &from, const QString &name, const OpenFolder &to, const QString &toName,
                         const FileStatus *checked = nullptr, FailedSide *side = nullptr) = 0;
    // The folder name of from, with every file and folder it holds, as a new folder
    // toName of to: down through opened folders, never following a link (a link or
    // anything but files and folders is refused, EINVAL), each file by the checked
    // copy, synced, keeping its bits as a move does. On a failure what was made goes.
    virtual int copyFolderInto(const OpenFolder &from, const QString &name, const OpenFolder &to,
                               const QString &toName) = 0;
    virtual int writeNew(const OpenFolder &folder, const QString &name, const QByteArray &bytes) = 0;
    virtual int makeFolder(const OpenFolder &folder, const QString &name) = 0;
    virtual int removeEntry(const OpenFolder &folder, const QByteArray &name) = 0;
    virtual int makeWritable(const OpenFolder &folder, const QString &name) = 0;

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
    int identifyFolder(const QString &path, FolderIdentity &out) override;
    int removeEmptyFolder(const QString &path, const FolderIdentity &identity) override;
    int removeOwnFolder(const QString &path, const FolderIdentity &identity) override;

    int openFolder(const QString &path, OpenFolder &out, LastStep last = LastStep::FollowLink) override;
    int openSource(const QString &path, LastStep last, SourceFile &out) override;
    int list(const OpenFolder &folder, FolderListing &out, const WildcardPattern *names = nullptr) override;
    int stat(const OpenFolder &folder, const QString &name, FileStatus &out) override;
    int copyInto(const SourceFile &source, const OpenFolder &folder, const QString &name, bool sync,
                 FailedSide *side = nullptr) override;
    int moveInto(const OpenFolder &from, const QString &name, const OpenFolder &to, const QString &toName,
                 const FileStatus *checked = nullptr, FailedSide *side = nullptr) override;
    int copyFolderInto(const OpenFolder &from, const QString &name, const OpenFolder &to,
                       const QString &toName) override;
    int writeNew(const OpenFolder &folder, const QString &name, const QByteArray &bytes) override;
    int makeFolder(const OpenFolder &folder, const QString &name) override;
    int removeEntry(const OpenFolder &folder, const QByteArray &name) override;
    int makeWritable(const OpenFolder &folder, const QString &name) override;

    // Forgets which folders this run swept of stale temporaries, as a new run would.
    static void forgetSweptFolders();

protected:
    // The rename with the no-replace flag; EINVAL means the file system refuses it.
    virtual int renameWithFlag(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to);
    // Moves the data of one open file to another: 0 or the errno, and which side
    // failed. size is the length the system reports for the source.
    virtual int copyData(int fromFd, int toFd, qint64 size, FailedSide &side);
    // The copy that shares the source's blocks (FICLONE): 0, or the errno where the
    // file system cannot share them.
    virtual int cloneData(int fromFd, int toFd);
    // Where the next data (SEEK_DATA) or hole (SEEK_HOLE) starts at or after offset:
    // the offset, or -1 with the errno (EINVAL where the file system cannot tell).
    virtual qint64 seekData(int fd, qint64 offset, int whence);
    // The kernel's copy of up to size bytes between two open files at the offsets,
    // which it advances: the count (0 at the source's end), or -1 with the errno.
    virtual qint64 copyRange(int fromFd, qint64 &from, int toFd, qint64 &to, qint64 size);
    // Reads up to size bytes of an open file at an offset: the count, or -1 with the errno.
    virtual qint64 readAt(int fd, char *data, qint64 size, qint64 offset);
    // Removes a file or link of a folder: 0 or the errno.
    virtual int unlinkEntry(int folder, const QByteArray &name);
    // A new file without a name in the folder, open for writing: the descriptor, or
    // -1 with the errno (EOPNOTSUPP where the file system has no such files).
    virtual int openNameless(int folder);
    // Called with the path right before a source is opened (tests put another file
    // there in between).
    virtual void beforeOpeningSource(const QByteArray &path);
    // Called once a name was reserved for a rename on a disk without the no-replace
    // rename and before the look that the reservation is still ours.
    virtual void reservationMade(int folder, const QByteArray &name);

private:
    // Whether name, taken in the folder, stands for the entry fromName itself rather
    // than for another file.
    bool namesTheSameEntry(const OpenFolder &folder, const QString &fromName, const QString &toName);
    int renameThroughTemporary(const OpenFolder &folder, const QByteArray &from, const QByteArray &to);
    struct CopyState;
    // Opens the folder of a path and gives the path's last name.
    int openParent(const QString &path, OpenFolder &folder, QString &name);
    // Runs a call of the layer on the opened folder of a path and the path's last name.
    int throughParent(const QString &path, const std::function<int(const OpenFolder &, const QString &)> &call);
    int renameAt(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to);
    int renameOntoReservation(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to, bool folder);
    void sweepStaleTemporaries(int folder);
    int copyFolderEntries(int fromFd, int toFd, int depth);
    int moveAcross(const OpenFolder &from, const QByteArray &name, const OpenFolder &to, const QString &toName,
                   const struct stat &info, FailedSide *side);
    int copyFile(const QString &from, const QString &to, bool sync);
    int copyIntoEntry(const SourceFile &source, const OpenFolder &folder, const QByteArray &name, bool sync,
                      FailedSide &side);
    int copyDataRanges(int fromFd, int toFd, qint64 size, bool &unsupported, FailedSide &side);
    int copySpan(int fromFd, int toFd, qint64 &at, qint64 end, CopyState &state, FailedSide &side, bool &ended);
    int writeThenName(const OpenFolder &folder, const QByteArray &name, unsigned mode,
                      const std::function<int(int)> &fill, bool sync);
};

// The runtime error number for a failed file call's errno: access refused 75, not
// found 53, name taken 58, no space 61, input or output failed 57, another file
// system 74, a name the system refuses 52, a path through a file 76.
int runtimeErrorOf(int systemError);
// Raises that runtime error, carrying the errno. Its description is the number's own
// text where that says what happened, and the system error's text otherwise.
[[noreturn]] void raiseFileError(int systemError);
