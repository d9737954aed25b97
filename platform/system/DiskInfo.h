#pragma once

#include <QString>

// What the program asks about the volumes that hold its paths: the free space left to
// the user and the kind of drive, in the terms the folder tree shows ("drive",
// "floppy", "netdrive", "cdrom", "ram", "other").
class DiskInfo
{
public:
    // Bytes the user may still write on the volume that holds the path; a path that
    // does not exist yet is measured on its nearest existing ancestor. 0 when no volume
    // can be asked (an empty or relative path, a path holding a NUL character).
    static qint64 freeBytes(const QString &path);

    // The longest name in bytes the file system of the volume that holds the path
    // (or its nearest existing ancestor) takes; 255, the common limit, when it
    // cannot be asked.
    static int nameLimit(const QString &path);

    // The drive kind of the volume that holds the path (or its nearest existing
    // ancestor); "other" when it cannot be determined.
    static QString driveKind(const QString &path);

    // The drive kind of a mount from its file-system type, its device and whether
    // that device is removable.
    static QString kindOf(const QString &fileSystemType, const QString &device, bool removable);

    // True when the block device (e.g. "/dev/sdb1", or a partition of it) reports
    // itself removable in the kernel's block-device tree below sysBlockRoot.
    static bool isRemovableDevice(const QString &device,
                                  const QString &sysBlockRoot = QStringLiteral("/sys/class/block"));

    // The nearest existing folder or file at or above the path; "" when the path is
    // not one that can be asked about.
    static QString nearestExisting(const QString &path);
};
