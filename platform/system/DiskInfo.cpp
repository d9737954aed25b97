#include "platform/system/DiskInfo.h"

#include "platform/system/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <limits>

namespace {

const QString kOther = QStringLiteral("other");

bool isNetworkFileSystem(const QString &type)
{
    static const QStringList types = {
        QStringLiteral("nfs"),  QStringLiteral("nfs4"),  QStringLiteral("cifs"),  QStringLiteral("smb"),
        QStringLiteral("smb3"), QStringLiteral("smbfs"), QStringLiteral("sshfs"), QStringLiteral("fuse.sshfs"),
    };
    return types.contains(type);
}

bool isOpticalFileSystem(const QString &type)
{
    return type == QLatin1String("iso9660") || type == QLatin1String("udf");
}

bool isMemoryFileSystem(const QString &type)
{
    return type == QLatin1String("tmpfs") || type == QLatin1String("ramfs");
}

bool isDevicePath(const QString &device)
{
    return device.startsWith(QLatin1String("/dev/")) && device.size() > 5;
}

// Free blocks times block size, saturated: a wrap-around would turn a huge volume into a
// negative or tiny amount of free space.
qint64 multiplySaturated(unsigned long long blocks, unsigned long long blockSize)
{
    constexpr auto max = static_cast<unsigned long long>(std::numeric_limits<qint64>::max());
    if (blockSize != 0 && blocks > max / blockSize)
        return std::numeric_limits<qint64>::max();
    return static_cast<qint64>(blocks * blockSize);
}

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(64).trimmed();
}

} // namespace

QString DiskInfo::nearestExisting(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)) || !path.startsWith(QLatin1Char('/')))
        return {};
    QString current = QDir::cleanPath(path);
    struct stat info {};
    while (::stat(encodeFileName(current).constData(), &info) != 0) {
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            return {};
        current = parent;
    }
    return current;
}

qint64 DiskInfo::freeBytes(const QString &path)
{
    const QString existing = nearestExisting(path);
    if (existing.isEmpty())
        return 0;
    struct statvfs info {};
    if (::statvfs(encodeFileName(existing).constData(), &info) != 0)
        return 0;
    return multiplySaturated(info.f_bavail, info.f_frsize);
}

int DiskInfo::nameLimit(const QString &path)
{
    constexpr int commonLimit = 255;
    const QString existing = nearestExisting(path);
    struct statvfs info {};
    if (existing.isEmpty() || ::statvfs(encodeFileName(existing).constData(), &info) != 0 || info.f_namemax == 0)
        return commonLimit;
    return int(qMin<unsigned long>(info.f_namemax, 4096));
}

QString DiskInfo::driveKind(const QString &path)
{
    const QString existing = nearestExisting(path);
    if (existing.isEmpty())
        return kOther;
    const QStorageInfo storage(existing);
    if (!storage.isValid())
        return kOther;
    const QString device = QFile::decodeName(storage.device());
    return kindOf(QString::fromLatin1(storage.fileSystemType()), device, isRemovableDevice(device));
}

QString DiskInfo::kindOf(const QString &fileSystemType, const QString &device, bool removable)
{
    const QString type = fileSystemType.toLower();
    if (isNetworkFileSystem(type))
        return QStringLiteral("netdrive");
    // Optical drives report themselves removable too; the file system tells them apart.
    if (isOpticalFileSystem(type))
        return QStringLiteral("cdrom");
    if (isMemoryFileSystem(type))
        return QStringLiteral("ram");
    // A container's root and a ZFS data set are local disks whose source names no
    // device node.
    if (type == QLatin1String("overlay") || type == QLatin1String("zfs"))
        return QStringLiteral("drive");
    if (!isDevicePath(device))
        return kOther;
    return removable ? QStringLiteral("floppy") : QStringLiteral("drive");
}

bool DiskInfo::isRemovableDevice(const QString &device, const QString &sysBlockRoot)
{
    if (!isDevicePath(device))
        return false;
    // /dev/disk/by-*/ and /dev/mapper/ names are links to the kernel's own device name.
    const QString resolved = QFileInfo(device).canonicalFilePath();
    const QString name = QFileInfo(resolved.isEmpty() ? device : resolved).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    QString node = QFileInfo(sysBlockRoot + QLatin1Char('/') + name).canonicalFilePath();
    if (node.isEmpty())
        return false;
    // A partition carries no flag of its own; its disk is the folder above it.
    if (QFileInfo::exists(node + QStringLiteral("/partition")))
        node = QFileInfo(node).path();
    return readSmallFile(node + QStringLiteral("/removable")) == "1";
}
