#pragma once

#include "platform/files/FileSystem.h"

#include <QString>

#include <vector>

// A folder held open for a walk through a tree: its listing, its files and its
// sub-folders are all reached relative to it, so a folder renamed or replaced by a
// link meanwhile never leads the walk elsewhere. Nothing is followed: a link at the
// place of a folder or a file is refused.
class WalkFolder
{
public:
    WalkFolder() = default;
    ~WalkFolder();
    WalkFolder(WalkFolder &&other) noexcept;
    WalkFolder &operator=(WalkFolder &&other) noexcept;
    WalkFolder(const WalkFolder &) = delete;
    WalkFolder &operator=(const WalkFolder &) = delete;

    // Opens the folder at an absolute path: 0 or the errno. A link at the path itself is
    // refused, unless the path is one a user names (a start folder), which is resolved
    // as the system resolves any path; nothing below it is followed either way.
    enum class Links { Refused, Resolved };
    int open(const QString &path, Links links = Links::Refused);
    // Opens a sub-folder of an open folder by its name: 0 or the errno.
    int openChild(const WalkFolder &parent, const QString &name);
    // Opens again a folder held open before (this one, closed meanwhile), never through
    // a link at its place: through the parent entry of an open sub-folder of it, or by
    // its name in an open folder. 0, the errno, or ESTALE when what is found there now
    // is another folder (its sub-folder was moved elsewhere, or another folder or a
    // link stands at its name); either way it stays this folder, closed.
    int reopenAbove(const WalkFolder &child);
    int reopenIn(const WalkFolder &parent, const QString &name);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    // Which folder this is, whatever the path it was reached by (a bind mount shows
    // one folder at two places), and which mount it was reached through.
    quint64 device() const { return m_device; }
    quint64 inode() const { return m_inode; }
    // The mount's number; where the system gives none (a kernel before 5.8) the device
    // number stands in for it.
    quint64 mountId() const { return m_mountId; }
    bool hasMountId() const { return m_hasMountId; }
    // Whether the file system the open folder is on says it is a view of the kernel's
    // state (proc, sysfs, cgroup, debugfs and the like), whatever a mount table says.
    // A devtmpfs calls itself tmpfs: only a mount table tells that one.
    bool isKernelView() const;

    // The entries, read once (a second call finds none), in the folder's own order, with their kinds as the folder
    // records them, names decoded by decodeFileName: names beginning with "." are
    // left out. 0 or the errno; what was read before a failure is kept.
    int list(std::vector<FolderEntry> &out) const;
    // What an entry is, without following a link: its kind, size and modification
    // time in milliseconds since the epoch.
    int statEntry(const QString &name, FileKind &kind, qint64 &size, qint64 &modifiedMSecs) const;

private:
    friend class WalkFile;
    int adopt(int fd);
    // Adopts what was opened when it is this folder; else closes it and stays this one.
    int adoptSame(int fd);

    int m_fd = -1;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    quint64 m_mountId = 0;
    bool m_hasMountId = false;
};

// A regular file of a walked folder, open for reading. Opening never blocks (a FIFO
// or a device is refused after the open, which does not wait for a writer) and never
// follows a link; what is found there is checked on the open file, so nothing can be
// swapped in between the check and the read.
class WalkFile
{
public:
    WalkFile() = default;
    ~WalkFile();
    WalkFile(const WalkFile &) = delete;
    WalkFile &operator=(const WalkFile &) = delete;

    // 0, or the errno (EINVAL for anything but a regular file).
    int open(const WalkFolder &folder, const QString &name);
    void close();

    qint64 size() const { return m_size; }
    qint64 modifiedMSecs() const { return m_modified; }

    // Reads up to size bytes at the current position; the count read (0 at the end),
    // or -1 on a failure.
    qint64 read(char *data, qint64 size);
    // The same at an offset, the position left where it was.
    qint64 readAt(char *data, qint64 size, qint64 offset);

private:
    int m_fd = -1;
    qint64 m_size = 0;
    qint64 m_modified = 0;
};
