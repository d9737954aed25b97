#include "platform/files/WalkFolder.h"

#include "platform/files/EntryKind.h"
#include "platform/files/FileNames.h"
#include "platform/system/FileDescriptors.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

qint64 msecsOf(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

} // namespace

WalkFolder::~WalkFolder()
{
    close();
}

WalkFolder::WalkFolder(WalkFolder &&other) noexcept
{
    *this = std::move(other);
}

WalkFolder &WalkFolder::operator=(WalkFolder &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_device = other.m_device;
        m_inode = other.m_inode;
        m_mountId = other.m_mountId;
        m_hasMountId = other.m_hasMountId;
    }
    return *this;
}

void WalkFolder::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int WalkFolder::adopt(int fd)
{
    close();
    if (fd < 0)
        return errno;
    struct statx info {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_INO | STATX_MNT_ID, &info) != 0) {
        const int failure = errno;
        ::close(fd);
        return failure;
    }
    m_fd = fd;
    m_device = (quint64(info.stx_dev_major) << 32) | info.stx_dev_minor;
    m_inode = info.stx_ino;
    // Without mount ids (a kernel before 5.8) a mount shows by its device alone.
    m_hasMountId = (info.stx_mask & STATX_MNT_ID) != 0;
    m_mountId = m_hasMountId ? info.stx_mnt_id : m_device;
    return 0;
}

int WalkFolder::adoptSame(int fd)
{
    const quint64 device = m_device;
    const quint64 inode = m_inode;
    int failure = adopt(fd);
    if (failure == 0 && (m_device != device || m_inode != inode))
        failure = ESTALE;
    if (failure != 0) {
        close();
        m_device = device;
        m_inode = inode;
    }
    return failure;
}

int WalkFolder::open(const QString &path, Links links)
{
    const int follow = links == Links::Resolved ? 0 : O_NOFOLLOW;
    return adopt(::open(encodeFileName(path).constData(), O_RDONLY | O_DIRECTORY | follow | O_CLOEXEC));
}

int WalkFolder::openChild(const WalkFolder &parent, const QString &name)
{
    if (!parent.isOpen())
        return EBADF;
    return adopt(::openat(parent.m_fd, encodeFileName(name).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

int WalkFolder::reopenAbove(const WalkFolder &child)
{
    if (!child.isOpen()) {
        close();
        return EBADF;
    }
    return adoptSame(::openat(child.m_fd, "..", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

int WalkFolder::reopenIn(const WalkFolder &parent, const QString &name)
{
    if (!parent.isOpen()) {
        close();
        return EBADF;
    }
    return adoptSame(::openat(parent.m_fd, encodeFileName(name).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

int WalkFolder::list(std::vector<FolderEntry> &out) const
{
    out.clear();
    if (!isOpen())
        return EBADF;
    // The folder's own descriptor reads the entries, straight into a buffer of the
    // walking thread: no stream to set up and tear down for every folder.
    thread_local std::vector<char> buffer(64 * 1024);
    QString name;
    for (;;) {
        const ssize_t count = ::getdents64(m_fd, buffer.data(), buffer.size());
        if (count == 0)
            return 0;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (ssize_t at = 0; at < count;) {
            const auto *entry = reinterpret_cast<const struct dirent64 *>(buffer.data() + at);
            at += entry->d_reclen;
            // Hidden names, and "." and "..".
            if (entry->d_name[0] == '.')
                continue;
            name = decodeFileName(QByteArrayView(entry->d_name));
            const FileKind kind = kindOfEntry(m_fd, entry->d_type, entry->d_name);
            out.push_back({name, kind});
        }
    }
}

bool WalkFolder::isKernelView() const
{
    struct statfs info {};
    if (!isOpen() || ::fstatfs(m_fd, &info) != 0)
        return false;
    // The numbers each of these file systems gives itself (linux/magic.h; a few older
    // headers lack some of them).
    static constexpr unsigned long views[] = {
        PROC_SUPER_MAGIC, SYSFS_MAGIC,     DEVPTS_SUPER_MAGIC, CGROUP_SUPER_MAGIC, CGROUP2_SUPER_MAGIC,
        SECURITYFS_MAGIC, DEBUGFS_MAGIC,   TRACEFS_MAGIC,      0x62656570 /* configfs */,
        0x65735543 /* fusectl */,          PSTOREFS_MAGIC,     BPF_FS_MAGIC, 0x19800202 /* mqueue */,
        HUGETLBFS_MAGIC,  AUTOFS_SUPER_MAGIC, BINFMTFS_MAGIC,   EFIVARFS_MAGIC,     SELINUX_MAGIC,
        NSFS_MAGIC,       0x67596969 /* rpc_pipefs */,         0x6e667364 /* nfsd */, USBDEVICE_SUPER_MAGIC,
    };
    const auto type = static_cast<unsigned long>(info.f_type);
    return std::find(std::begin(views), std::end(views), type) != std::end(views);
}

int WalkFolder::statEntry(const QString &name, FileKind &kind, qint64 &size, qint64 &modifiedMSecs) const
{
    struct stat info {};
    if (::fstatat(m_fd, encodeFileName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    kind = kindOfMode(info.st_mode);
    size = info.st_size;
    modifiedMSecs = msecsOf(info.st_mtim);
    return 0;
}

WalkFile::~WalkFile()
{
    close();
}

void WalkFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int WalkFile::open(const WalkFolder &folder, const QString &name)
{
    close();
    if (!folder.isOpen())
        return EBADF;
    // A FIFO opened for reading would wait for a writer, and a device's read may take
    // what it hands out (a kernel log loses the messages read): only a regular file is
    // opened at all.
    struct stat info {};
    const int fd = openRegularFile(folder.m_fd, encodeFileName(name).constData(), false, info);
    if (fd < 0)
        return errno == EISDIR ? EINVAL : errno;
    m_fd = fd;
    m_size = info.st_size;
    m_modified = msecsOf(info.st_mtim);
    return 0;
}

qint64 WalkFile::read(char *data, qint64 size)
{
    for (;;) {
        const ssize_t count = ::read(m_fd, data, size_t(size));
        if (count >= 0 || errno != EINTR)
            return count;
    }
}

qint64 WalkFile::readAt(char *data, qint64 size, qint64 offset)
{
    for (;;) {
        const ssize_t count = ::pread(m_fd, data, size_t(size), off_t(offset));
        if (count >= 0 || errno != EINTR)
            return count;
    }
}
