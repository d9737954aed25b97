#include "FaultMount.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

QString systemError(const char *call)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(call), QString::fromLocal8Bit(std::strerror(errno)));
}

// Writes until the file system says it is full.
void fill(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const QByteArray block(4096, 'f');
    while (fd >= 0 && ::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    if (fd >= 0)
        ::close(fd);
}

} // namespace

FaultMount::FaultMount(FaultKind kind, const QString &folder)
    : m_folder(folder)
{
    if (::geteuid() != 0) {
        m_skipReason = QStringLiteral("real file-system faults need root to mount");
        return;
    }
    QDir().mkpath(folder);
    const QByteArray path = QFile::encodeName(folder);
    if (kind == FaultKind::FullDisk) {
        const QMap<QString, QByteArray> kept = contents(folder);
        if (::mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") != 0) {
            m_skipReason = systemError("mount tmpfs");
            return;
        }
        m_mounted = true;
        for (auto file = kept.cbegin(); file != kept.cend(); ++file) {
            const QString target = folder + QLatin1Char('/') + file.key();
            QDir().mkpath(QFileInfo(target).path());
            QFile out(target);
            if (out.open(QIODevice::WriteOnly))
                out.write(file.value());
        }
        fill(folder + QLatin1Char('/') + fillerName());
        return;
    }
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0) {
        m_skipReason = systemError("mount --bind");
        return;
    }
    m_mounted = true;
    if (::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        m_skipReason = systemError("mount -o remount,ro");
}

FaultMount::~FaultMount()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

QMap<QString, QByteArray> FaultMount::contents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files.insert(QDir(folder).relativeFilePath(path), file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return files;
}
