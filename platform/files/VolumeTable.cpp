#include "platform/files/VolumeTable.h"

#include "platform/files/FileNames.h"
#include "platform/files/WalkFolder.h"
#include "platform/system/DiskInfo.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStorageInfo>

#include <algorithm>

namespace {

struct MountLine
{
    QString device;   // major:minor of the file system
    QString root;     // the folder of that file system seen at the mount path
    Volume volume;
};

// The mount table writes blanks, tabs, line feeds and backslashes as "\" and three
// octal digits.
QString decodeField(const QByteArray &field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code < 256) {
                bytes.append(char(code));
                i += 3;
                continue;
            }
        }
        bytes.append(field[i]);
    }
    return decodeFileName(bytes);
}

bool hasOption(const QByteArray &options, const char *option)
{
    return options.split(',').contains(QByteArray(option));
}

bool isUnder(const QString &path, const QString &folder)
{
    if (folder == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == folder || (path.startsWith(folder) && path.at(folder.size()) == QLatin1Char('/'));
}

bool isSeenByUser(const Volume &volume)
{
    if (volume.kind == QLatin1String("netdrive"))
        return true;
    const QString &path = volume.mountPath;
    if (path == QLatin1String("/") || path == QLatin1String("/home"))
        return true;
    for (const char *folder : {"/media/", "/run/media/", "/mnt/"}) {
        if (path.startsWith(QLatin1String(folder)) && path.size() > int(qstrlen(folder)))
            return true;
    }
    return false;
}

QList<MountLine> parseMountInfo(const QByteArray &text)
{
    QList<MountLine> lines;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf(QByteArray("-"));
        if (fields.size() < 6 || separator < 6 || separator + 2 >= fields.size())
            continue;
        MountLine mount;
        mount.volume.mountId = fields[0].toULongLong();
        mount.device = QString::fromLatin1(fields[2]);
        const QList<QByteArray> numbers = fields[2].split(':');
        if (numbers.size() == 2)
            mount.volume.deviceNumber = (numbers[0].toULongLong() << 32) | numbers[1].toULongLong();
        mount.root = decodeField(fields[3]);
        mount.volume.mountPath = decodeField(fields[4]);
        mount.volume.type = decodeField(fields[separator + 1]);
        mount.volume.device = decodeField(fields[separator + 2]);
        const QByteArray superOptions = separator + 3 < fields.size() ? fields[separator + 3] : QByteArray();
        mount.volume.readOnly = hasOption(fields[5], "ro") || hasOption(superOptions, "ro");
        lines.append(mount);
    }
    return lines;
}

// A mount whose root is a sub-folder shows part of a file system. It is a second
// view of a disk when another mount of the same file system shows a folder above it;
// a btrfs sub-volume is the one view of its own tree and stays.
bool isSubFolderBind(const MountLine &mount, const QList<MountLine> &all)
{
    if (mount.root == QLatin1String("/"))
        return false;
    for (const MountLine &other : all) {
        if (&other != &mount && other.device == mount.device && other.root != mount.root
            && isUnder(mount.root, other.root))
            return true;
    }
    return mount.volume.type != QLatin1String("btrfs");
}

} // namespace

VolumeTable VolumeTable::build(const QByteArray &mountInfo, bool askSystem)
{
    const QList<MountLine> lines = parseMountInfo(mountInfo);
    QHash<QString, QStorageInfo> storage;
    if (askSystem) {
        for (const QStorageInfo &info : QStorageInfo::mountedVolumes())
            storage.insert(info.rootPath(), info);
    }
    VolumeTable table;
    // A mount path mounted over again shows only the last mount.
    QHash<QString, Volume> byPath;
    for (const MountLine &line : lines) {
        Volume volume = line.volume;
        const bool removable = askSystem && DiskInfo::isRemovableDevice(volume.device);
        volume.kind = DiskInfo::kindOf(volume.type, volume.device, removable);
        const auto info = storage.constFind(volume.mountPath);
        if (info != storage.constEnd()) {
            volume.label = info->name();
            volume.ready = info->isReady();
        }
        table.m_mounts.append(volume);
        if (!isSeenByUser(volume)) {
            byPath.remove(volume.mountPath);
            continue;
        }
        if (isSubFolderBind(line, lines)) {
            byPath.remove(volume.mountPath);
            continue;
        }
        byPath.insert(volume.mountPath, volume);
    }
    table.m_volumes = byPath.values();
    std::sort(table.m_volumes.begin(), table.m_volumes.end(),
              [](const Volume &a, const Volume &b) { return a.mountPath < b.mountPath; });
    return table;
}

VolumeTable VolumeTable::fromMountInfo(const QByteArray &mountInfo)
{
    return build(mountInfo, false);
}

VolumeTable VolumeTable::fromVolumes(QList<Volume> volumes)
{
    for (Volume &volume : volumes) {
        WalkFolder root;
        if (volume.mountId == 0 && root.open(volume.mountPath) == 0) {
            volume.mountId = root.mountId();
            volume.deviceNumber = root.device();
        }
    }
    VolumeTable table;
    table.m_mounts = volumes;
    table.m_volumes = std::move(volumes);
    std::sort(table.m_volumes.begin(), table.m_volumes.end(),
              [](const Volume &a, const Volume &b) { return a.mountPath < b.mountPath; });
    return table;
}

VolumeTable VolumeTable::fromSystem(const QString &mountInfoPath)
{
    QFile file(mountInfoPath);
    // The kernel's table reports size 0: read until it ends.
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return build(file.readAll(), true);
}

const Volume *VolumeTable::volumeOf(const QString &path) const
{
    const Volume *best = nullptr;
    for (const Volume &volume : m_volumes) {
        if (isUnder(path, volume.mountPath) && (!best || volume.mountPath.size() > best->mountPath.size()))
            best = &volume;
    }
    return best;
}

const Volume *VolumeTable::mountOf(const WalkFolder &folder) const
{
    return folder.hasMountId() ? mountOfNumber(folder.mountId()) : mountOfDevice(folder.device());
}

const Volume *VolumeTable::mountOfNumber(quint64 mountId) const
{
    for (const Volume &mount : m_mounts) {
        if (mount.mountId == mountId)
            return &mount;
    }
    return nullptr;
}

const Volume *VolumeTable::mountOfDevice(quint64 deviceNumber) const
{
    for (const Volume &mount : m_mounts) {
        if (mount.deviceNumber == deviceNumber)
            return &mount;
    }
    return nullptr;
}

bool VolumeTable::holdsFiles(const Volume &mount)
{
    static const QStringList views = {
        QStringLiteral("proc"),       QStringLiteral("sysfs"),     QStringLiteral("devtmpfs"),
        QStringLiteral("devpts"),     QStringLiteral("devfs"),     QStringLiteral("cgroup"),
        QStringLiteral("cgroup2"),    QStringLiteral("securityfs"), QStringLiteral("debugfs"),
        QStringLiteral("tracefs"),    QStringLiteral("configfs"),  QStringLiteral("fusectl"),
        QStringLiteral("pstore"),     QStringLiteral("bpf"),       QStringLiteral("mqueue"),
        QStringLiteral("hugetlbfs"),  QStringLiteral("autofs"),    QStringLiteral("binfmt_misc"),
        QStringLiteral("efivarfs"),   QStringLiteral("selinuxfs"), QStringLiteral("rpc_pipefs"),
        QStringLiteral("nsfs"),       QStringLiteral("nfsd"),      QStringLiteral("usbfs"),
    };
    return !views.contains(mount.type.toLower());
}
