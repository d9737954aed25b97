#include "FaultMount.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

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

// Runs a tool to its end: "" on success, else what went wrong.
QString runTool(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
        return program + QStringLiteral(": ") + (said.isEmpty() ? process.errorString() : said);
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return {};
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

CaseFoldingMount::CaseFoldingMount(const QString &folder)
    : m_folder(folder)
{
    if (::geteuid() != 0) {
        m_skipReason = QStringLiteral("a case-folding disk needs root to mount");
        return;
    }
    for (const char *tool : {"mkfs.exfat", "mount.exfat-fuse", "losetup"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool), {"/usr/sbin", "/sbin", "/usr/bin", "/bin"}).isEmpty()) {
            m_skipReason = QStringLiteral("%1 is not installed (exfatprogs, exfat-fuse)").arg(QLatin1String(tool));
            return;
        }
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        m_skipReason = systemError("/dev/fuse");
        return;
    }
    QDir().mkpath(folder);
    m_image = folder + QStringLiteral(".exfat");
    QFile image(m_image);
    if (!image.open(QIODevice::WriteOnly) || !image.resize(8 * 1024 * 1024)) {
        m_skipReason = QStringLiteral("image: ") + image.errorString();
        return;
    }
    image.close();
    m_skipReason = runTool(QStringLiteral("mkfs.exfat"), {m_image});
    if (m_skipReason.isEmpty())
        m_skipReason = runTool(QStringLiteral("losetup"), {QStringLiteral("--find"), QStringLiteral("--show"), m_image}, &m_device);
    if (m_skipReason.isEmpty())
        m_skipReason = runTool(QStringLiteral("mount.exfat-fuse"), {m_device, folder});
    m_mounted = m_skipReason.isEmpty();
}

CaseFoldingMount::~CaseFoldingMount()
{
    if (m_mounted) {
        // The driver may still be answering a last call: a busy mount is tried again.
        const QByteArray path = QFile::encodeName(m_folder);
        int attempt = 0;
        for (; attempt < 50 && ::umount2(path.constData(), 0) != 0; ++attempt)
            QThread::msleep(100);
        if (attempt == 50)
            ::umount2(path.constData(), MNT_DETACH);
    }
    if (!m_device.isEmpty())
        runTool(QStringLiteral("losetup"), {QStringLiteral("--detach"), m_device});
    if (!m_image.isEmpty())
        QFile::remove(m_image);
}
