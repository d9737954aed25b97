#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class WalkFolder;

// One mounted volume as the drive list shows it.
struct Volume
{
    QString mountPath; // "/", "/home", "/media/u/STICK"
    QString label;     // the file system's label; empty when it has none
    QString device;    // "/dev/sdb1", "//server/share", "server:/export"
    QString type;      // the file-system type, "ext4", "nfs4", ...
    QString kind;      // "drive", "floppy", "netdrive", "cdrom", "ram", "other"
    bool readOnly = false;
    bool ready = true;
    // Which mount this is, as the system numbers it (0: unknown), and the device
    // number of its file system ((major << 32) | minor).
    quint64 mountId = 0;
    quint64 deviceNumber = 0;
};

// The mounts a user would call drives: "/", "/home", what is mounted under "/media",
// "/run/media" and "/mnt", and network mounts wherever they are; pseudo file systems
// and bind mounts of a sub-folder (a second view of a disk already listed) are left
// out. Sorted by mount path.
class VolumeTable
{
public:
    // The mounts of this process, from its mount table (the path is replaceable so
    // that tests can hand in a table of their own) and the system's volume labels.
    static VolumeTable fromSystem(const QString &mountInfoPath = QStringLiteral("/proc/self/mountinfo"));
    // Built from the text of a mount table alone: no labels, every volume ready.
    static VolumeTable fromMountInfo(const QByteArray &mountInfo);
    // Exactly these volumes, sorted by mount path (tests hand in the volumes a walk may
    // enter); one handed in without its mount number is taken as whatever is mounted
    // at its path now.
    static VolumeTable fromVolumes(QList<Volume> volumes);

    const QList<Volume> &volumes() const { return m_volumes; }

    // Every mount of the table, pseudo file systems and second views included.
    const QList<Volume> &mounts() const { return m_mounts; }
    // The mount an open folder was reached through; nullptr when the table does not
    // hold it. Where the system numbers mounts, the number alone decides: the device a
    // folder reports need not be the one the table lists (a btrfs volume reports one
    // of its own for each sub-volume). Only without mount numbers does the device
    // tell the file system, every view of which is of one type.
    const Volume *mountOf(const WalkFolder &folder) const;
    const Volume *mountOfNumber(quint64 mountId) const;
    const Volume *mountOfDevice(quint64 deviceNumber) const;
    // Holds the mount files a user keeps (a disk, a RAM disk, a network share, a bind
    // mount of any of them), rather than a view of the kernel's state (proc, sysfs,
    // devtmpfs, devpts, cgroup and the like)?
    static bool holdsFiles(const Volume &mount);

    // The volume holding the path: the longest mount path that is a whole-component
    // prefix of it ("/home" holds "/home/u", not "/homework"); nullptr when none does.
    const Volume *volumeOf(const QString &path) const;

private:
    static VolumeTable build(const QByteArray &mountInfo, bool askSystem);

    QList<Volume> m_volumes;
    QList<Volume> m_mounts;
};
