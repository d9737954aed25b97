#include "platform/files/FileJournal.h"

#include "platform/system/FileDescriptors.h"
#include "platform/system/ProcessOwner.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QMutex>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

QMutex g_lock;
QString g_folder;

QByteArray folderPathOf(int folderFd)
{
    QByteArray path(4096, '\0');
    const ssize_t length = ::readlink(("/proc/self/fd/" + QByteArray::number(folderFd)).constData(), path.data(),
                                      size_t(path.size()));
    path.truncate(length > 0 ? length : 0);
    return path;
}

QByteArray identityLine(int folderFd)
{
    struct stat info {};
    if (::fstat(folderFd, &info) != 0)
        return {};
    return QByteArray::number(quint64(info.st_dev)) + ' ' + QByteArray::number(quint64(info.st_ino));
}

// Opens the folder a record names, only while it is still the folder recorded.
int openRecordedFolder(const QByteArray &path, const QByteArray &identity)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (identityLine(fd) != identity) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Gives the entry from the name to, never replacing: the name must be free.
bool renameIfFree(int folderFd, const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(folderFd, from.constData(), folderFd, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL)
        return false;
    struct stat taken {};
    if (::fstatat(folderFd, to.constData(), &taken, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
        return false;
    return ::renameat(folderFd, from.constData(), folderFd, to.constData()) == 0;
}

void actOn(const QList<QByteArray> &lines)
{
    if (lines.size() < 5)
        return;
    const QByteArray path = QByteArray::fromHex(lines[1]);
    const int folderFd = openRecordedFolder(path, lines[2]);
    if (folderFd < 0)
        return;
    if (lines[0] == "reservation") {
        // Only the reservation itself, still empty: a file the user has put there since
        // is another inode, or holds something.
        const QByteArray name = QByteArray::fromHex(lines[3]);
        struct stat info {};
        if (::fstatat(folderFd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0
            && quint64(info.st_ino) == lines[4].toULongLong() && info.st_size == 0
            && (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)))
            ::unlinkat(folderFd, name.constData(), S_ISDIR(info.st_mode) ? AT_REMOVEDIR : 0);
    } else if (lines[0] == "caserename" && lines.size() >= 6) {
        const QByteArray temporary = QByteArray::fromHex(lines[3]);
        if (!renameIfFree(folderFd, temporary, QByteArray::fromHex(lines[4])))
            renameIfFree(folderFd, temporary, QByteArray::fromHex(lines[5]));
    }
    ::close(folderFd);
}

} // namespace

namespace FileJournal {

void setFolder(const QString &folder)
{
    QMutexLocker locker(&g_lock);
    g_folder = folder;
    if (folder.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
}

QString folder()
{
    QMutexLocker locker(&g_lock);
    return g_folder;
}

Record::~Record()
{
    remove();
}

void Record::reservation(int folderFd, const QByteArray &name, quint64 inode)
{
    write("reservation\n" + folderPathOf(folderFd).toHex() + '\n' + identityLine(folderFd) + '\n' + name.toHex() + '\n'
          + QByteArray::number(inode) + '\n');
}

void Record::caseRename(int folderFd, const QByteArray &temporary, const QByteArray &oldName, const QByteArray &newName)
{
    write("caserename\n" + folderPathOf(folderFd).toHex() + '\n' + identityLine(folderFd) + '\n' + temporary.toHex()
          + '\n' + oldName.toHex() + '\n' + newName.toHex() + '\n');
}

void Record::write(const QByteArray &text)
{
    remove();
    const QString journal = folder();
    if (journal.isEmpty())
        return;
    // Synced before the step it describes starts, so that a crash in the step always
    // finds its record.
    for (int attempt = 0; attempt < 10 && m_name.isEmpty(); ++attempt) {
        const QByteArray name = QFile::encodeName(journal) + '/' + ProcessOwner::temporaryName({});
        const int fd = ::open(name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return;
        }
        const bool written = writeAllBytes(fd, text.constData(), text.size()) == 0 && ::fsync(fd) == 0;
        ::close(fd);
        if (!written) {
            ::unlink(name.constData());
            return;
        }
        m_name = name;
    }
    const int folderFd = ::open(QFile::encodeName(journal).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

void Record::remove()
{
    if (!m_name.isEmpty())
        ::unlink(m_name.constData());
    m_name.clear();
}

int recover()
{
    const QString journal = folder();
    if (journal.isEmpty())
        return 0;
    const QByteArray path = QFile::encodeName(journal);
    const int folderFd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return 0;
    std::vector<QByteArray> names;
    const int unread = readEntryNames(folderFd, names);
    ::close(folderFd);
    if (unread != 0)
        return 0;
    int done = 0;
    for (const QByteArray &name : names) {
        if (ProcessOwner::stateOfName(name, {}) != ProcessOwner::State::Gone)
            continue;
        const QByteArray record = path + '/' + name;
        QFile file(QFile::decodeName(record));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        actOn(file.readAll().split('\n'));
        file.close();
        ::unlink(record.constData());
        ++done;
    }
    return done;
}

} // namespace FileJournal
