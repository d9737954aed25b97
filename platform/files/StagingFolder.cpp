#include "platform/files/StagingFolder.h"

#include "platform/files/FileNames.h"

#include "platform/system/ProcessOwner.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

// Opens the area, made when missing, only while it is a folder of this user's that
// nobody else may write into.
int openArea(const QString &area, OpenFolder &out)
{
    FileSystem &files = FileSystem::current();
    ::mkdir(QFile::encodeName(area).constData(), 0700);
    if (const int failure = files.openFolder(area, out, LastStep::RefuseLink))
        return failure;
    struct stat info {};
    if (::fstat(out.descriptor(), &info) != 0)
        return errno;
    if (info.st_uid != ::geteuid())
        return EPERM;
    if ((info.st_mode & 077) != 0 && ::fchmod(out.descriptor(), 0700) != 0)
        return errno;
    return 0;
}

} // namespace

StagingFolder::~StagingFolder()
{
    remove();
}

int StagingFolder::make(const QString &area)
{
    remove();
    OpenFolder opened;
    if (const int failure = openArea(area, opened))
        return failure;
    FileSystem &files = FileSystem::current();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = QString::fromLatin1(ProcessOwner::temporaryName({}));
        const int made = ::mkdirat(opened.descriptor(), QFile::encodeName(name).constData(), 0700);
        if (made != 0 && errno == EEXIST)
            continue;
        if (made != 0)
            return errno;
        QString path = opened.path();
        while (path.endsWith(QLatin1Char('/')))
            path.chop(1);
        path += QLatin1Char('/') + name;
        if (const int failure = files.identifyFolder(path, m_identity))
            return failure;
        if (const int failure = files.openFolder(path, m_folder, LastStep::RefuseLink))
            return failure;
        m_path = path;
        return 0;
    }
    return EEXIST;
}

int StagingFolder::moveOut(const QString &name, const OpenFolder &target, const QString &toName)
{
    if (!m_folder.isOpen())
        return EBADF;
    FileSystem &files = FileSystem::current();
    FileStatus staged;
    if (const int failure = files.stat(m_folder, name, staged))
        return failure;
    if (staged.kind == FileKind::File)
        return files.moveInto(m_folder, name, target, toName, &staged);
    if (staged.kind != FileKind::Folder)
        return EINVAL;
    const int moved = files.moveInto(m_folder, name, target, toName, &staged);
    if (moved != EXDEV)
        return moved;
    // What stays in the staging folder goes with it.
    return files.copyFolderInto(m_folder, name, target, toName);
}

qint64 StagingFolder::bytesHeld() const
{
    FileSystem &files = FileSystem::current();
    FolderListing listing;
    if (!m_folder.isOpen() || files.list(m_folder, listing) != 0)
        return 0;
    qint64 held = 0;
    for (const FolderEntry &entry : listing.entries) {
        FileStatus status;
        if (entry.kind == FileKind::File && files.stat(m_folder, entry.name, status) == 0)
            held += status.size;
    }
    return held;
}

int StagingFolder::remove()
{
    if (!m_folder.isOpen())
        return 0;
    m_folder.close();
    return FileSystem::current().removeOwnFolder(std::exchange(m_path, QString()), m_identity);
}

int StagingFolder::sweep(const QString &area)
{
    OpenFolder opened;
    if (openArea(area, opened) != 0)
        return 0;
    FileSystem &files = FileSystem::current();
    FolderListing listing;
    files.list(opened, listing);
    int removed = 0;
    QString path = opened.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    for (const FolderEntry &entry : listing.entries) {
        if (entry.kind != FileKind::Folder
            || ProcessOwner::stateOfName(encodeFileName(entry.name), {}) != ProcessOwner::State::Gone)
            continue;
        const QString folder = path + QLatin1Char('/') + entry.name;
        FolderIdentity identity;
        if (files.identifyFolder(folder, identity) == 0 && files.removeOwnFolder(folder, identity) == 0)
            ++removed;
    }
    return removed;
}
