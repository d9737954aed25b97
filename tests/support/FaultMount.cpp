#include "FaultMount.h"
#include "ToolRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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

// Runs a tool to its end: its standard output, or why it failed in failure.
QString toolOutput(const QString &program, const QStringList &arguments, QString &failure)
{
    const ToolRun run = runTool(program, arguments, 30000);
    if (!run.succeeded) {
        failure = QStringLiteral("%1: %2").arg(program, run.errors);
        return {};
    }
    return run.output;
}

// A system tool by its name, also where root's tools live when they are not on the path.
QString toolPath(const char *name)
{
    const QString tool = QString::fromLatin1(name);
    const QString found = QStandardPaths::findExecutable(tool);
    return found.isEmpty() ? QStandardPaths::findExecutable(tool, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
                           : found;
}

void copyInto(const QMap<QString, QByteArray> &kept, const QString &folder)
{
    for (auto file = kept.cbegin(); file != kept.cend(); ++file) {
        const QString target = folder + QLatin1Char('/') + file.key();
        QDir().mkpath(QFileInfo(target).path());
        QFile out(target);
        if (out.open(QIODevice::WriteOnly))
            out.write(file.value());
    }
}

} // namespace

void FaultMount::mountExFat()
{
    for (const char *tool : {"mkfs.exfat", "mount.exfat-fuse", "losetup"}) {
        if (toolPath(tool).isEmpty()) {
            m_skipReason = QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
            return;
        }
    }
    const QMap<QString, QByteArray> kept = contents(m_folder);
    m_image = m_folder + QStringLiteral(".exfat.img");
    QFile image(m_image);
    if (!image.open(QIODevice::WriteOnly) || !image.resize(8 * 1024 * 1024)) {
        m_skipReason = QStringLiteral("no room for a disk image");
        return;
    }
    image.close();
    QString failure;
    toolOutput(toolPath("mkfs.exfat"), {m_image}, failure);
    if (failure.isEmpty())
        m_loopDevice = toolOutput(toolPath("losetup"), {QStringLiteral("-f"), QStringLiteral("--show"), m_image}, failure);
    if (failure.isEmpty()) // the FUSE driver goes on in the background until the unmount
        toolOutput(toolPath("mount.exfat-fuse"), {m_loopDevice, m_folder}, failure);
    if (!failure.isEmpty()) {
        m_skipReason = failure;
        return;
    }
    m_mounted = true;
    copyInto(kept, m_folder);
}

FaultMount::FaultMount(FaultKind kind, const QString &folder)
    : m_folder(folder)
{
    if (::geteuid() != 0) {
        m_skipReason = QStringLiteral("real file-system faults need root to mount");
        return;
    }
    QDir().mkpath(folder);
    const QByteArray path = QFile::encodeName(folder);
    if (kind == FaultKind::RefusesNames) {
        mountExFat();
        return;
    }
    if (kind == FaultKind::FullDisk) {
        const QMap<QString, QByteArray> kept = contents(folder);
        if (::mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") != 0) {
            m_skipReason = systemError("mount tmpfs");
            return;
        }
        m_mounted = true;
        copyInto(kept, folder);
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
    QString failure;
    // A device still held by the driver as it ends is freed when it lets go.
    if (!m_loopDevice.isEmpty())
        toolOutput(toolPath("losetup"), {QStringLiteral("-d"), m_loopDevice}, failure);
    if (!m_image.isEmpty())
        QFile::remove(m_image);
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
