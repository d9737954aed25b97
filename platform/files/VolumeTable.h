#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

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
    // enter).
    static VolumeTable fromVolumes(QList<Volume> volumes);

    const QList<Volume> &volumes() const { return m_volumes; }

    // The volume holding the path: the longest mount path that is a whole-component
    // prefix of it ("/home" holds "/home/u", not "/homework"); nullptr when none does.
    const Volume *volumeOf(const QString &path) const;

private:
    static VolumeTable build(const QByteArray &mountInfo, bool askSystem);

    QList<Volume> m_volumes;
};
