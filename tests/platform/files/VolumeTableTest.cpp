#include "platform/files/VolumeTable.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

// A mount table as a desktop with a container-style root, a USB stick, a bind mount
// of a sub-folder, a network share and the usual pseudo file systems shows it.
const QByteArray kMountInfo =
    "22 1 0:45 / / rw,relatime - overlay overlay rw,lowerdir=/a,upperdir=/b\n"
    "23 22 0:5 / /proc rw,nosuid - proc proc rw\n"
    "24 22 0:21 / /sys rw - sysfs sysfs rw\n"
    "25 22 0:6 / /dev rw - devtmpfs udev rw\n"
    "26 22 8:2 / /home rw,relatime - ext4 /dev/sda2 rw\n"
    "27 22 8:17 / /media/u/M\\040STICK ro,nosuid - vfat /dev/sdb1 rw\n"
    "28 22 8:2 /u/projekty /mnt/projekty rw - ext4 /dev/sda2 rw\n"
    "29 22 0:50 / /mnt/share rw - cifs //server/share rw\n"
    "30 22 0:51 / /run/media/u/DVD ro - iso9660 /dev/sr0 ro\n"
    "31 22 0:52 / /mnt/ram rw - tmpfs tmpfs rw\n"
    "32 22 0:53 / /home/u/nfs rw - nfs4 server:/export rw\n"
    "33 22 0:54 / /run/user/1000 rw - tmpfs tmpfs rw\n"
    "34 22 0:55 / /media rw - tmpfs tmpfs rw\n"
    "garbage line\n";

struct Row { const char *mountPath; const char *device; const char *type; const char *kind; bool readOnly; };

const Row kExpected[] = {
    {"/", "overlay", "overlay", "drive", false},
    {"/home", "/dev/sda2", "ext4", "drive", false},
    {"/home/u/nfs", "server:/export", "nfs4", "netdrive", false},
    {"/media/u/M STICK", "/dev/sdb1", "vfat", "drive", true},
    {"/mnt/ram", "tmpfs", "tmpfs", "ram", false},
    {"/mnt/share", "//server/share", "cifs", "netdrive", false},
    {"/run/media/u/DVD", "/dev/sr0", "iso9660", "cdrom", true},
};

} // namespace

TEST(VolumeTable, ListsTheMountsAUserSeesSortedByPath)
{
    const VolumeTable table = VolumeTable::fromMountInfo(kMountInfo);
    ASSERT_EQ(table.volumes().size(), qsizetype(std::size(kExpected)));
    for (qsizetype i = 0; i < table.volumes().size(); ++i) {
        const Volume &volume = table.volumes()[i];
        const Row &row = kExpected[i];
        SCOPED_TRACE(row.mountPath);
        EXPECT_EQ(volume.mountPath, QString::fromUtf8(row.mountPath));
        EXPECT_EQ(volume.device, QString::fromUtf8(row.device));
        EXPECT_EQ(volume.type, QString::fromUtf8(row.type));
        EXPECT_EQ(volume.kind, QString::fromUtf8(row.kind));
        EXPECT_EQ(volume.readOnly, row.readOnly);
        EXPECT_TRUE(volume.ready);
    }
}

TEST(VolumeTable, KeepsBtrfsSubVolumesButNotBindsInsideThem)
{
    const VolumeTable table = VolumeTable::fromMountInfo(
        "1 0 0:30 /@ / rw - btrfs /dev/nvme0n1p2 rw\n"
        "2 1 0:30 /@home /home rw - btrfs /dev/nvme0n1p2 rw\n"
        "3 1 0:30 /@home/u/data /mnt/data rw - btrfs /dev/nvme0n1p2 rw\n");
    QStringList paths;
    for (const Volume &volume : table.volumes())
        paths << volume.mountPath;
    EXPECT_EQ(paths, QStringList({"/", "/home"}));
}

TEST(VolumeTable, AMountOverAnotherShowsOnlyTheLast)
{
    const VolumeTable table = VolumeTable::fromMountInfo("1 0 8:1 / /mnt/x rw - ext4 /dev/sdc1 rw\n"
                                                         "2 1 8:2 / /mnt/x ro - ext4 /dev/sdd1 ro\n");
    ASSERT_EQ(table.volumes().size(), 1);
    EXPECT_EQ(table.volumes()[0].device, QStringLiteral("/dev/sdd1"));
}

TEST(VolumeTable, VolumeOfMatchesWholeComponents)
{
    const VolumeTable table = VolumeTable::fromMountInfo(kMountInfo);
    const struct { const char *path; const char *volume; } cases[] = {
        {"/home/u/dopis.txt", "/home"},
        {"/homework/a", "/"},
        {"/home", "/home"},
        {"/home/u/nfs/x", "/home/u/nfs"},
        {"/home/u/nfsx", "/home"},
        {"/media/u/M STICK/foto.jpg", "/media/u/M STICK"},
        {"/usr/bin", "/"},
        {"relativni/cesta", nullptr},
        {"", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const Volume *volume = table.volumeOf(QString::fromUtf8(c.path));
        if (!c.volume) {
            EXPECT_EQ(volume, nullptr);
            continue;
        }
        ASSERT_NE(volume, nullptr);
        EXPECT_EQ(volume->mountPath, QString::fromUtf8(c.volume));
    }
}

TEST(VolumeTable, FindsEveryMountByItsNumbersAndTellsViewsOfTheKernelApart)
{
    const VolumeTable table = VolumeTable::fromMountInfo(kMountInfo);
    EXPECT_EQ(table.mounts().size(), 13);
    const struct { quint64 id, major, minor; const char *path; bool holdsFiles; } cases[] = {
        {23, 0, 5, "/proc", false},        {24, 0, 21, "/sys", false},
        {25, 0, 6, "/dev", false},         {31, 0, 52, "/mnt/ram", true},
        {28, 8, 2, "/mnt/projekty", true}, {33, 0, 54, "/run/user/1000", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const Volume *mount = table.mountOfNumber(c.id);
        ASSERT_NE(mount, nullptr);
        EXPECT_EQ(mount->mountPath, QString::fromUtf8(c.path));
        EXPECT_EQ(VolumeTable::holdsFiles(*mount), c.holdsFiles);
        // Without mount numbers, the device alone: some view of the same file system.
        const Volume *byDevice = table.mountOfDevice((c.major << 32) | c.minor);
        ASSERT_NE(byDevice, nullptr);
        EXPECT_EQ(byDevice->deviceNumber, mount->deviceNumber);
        EXPECT_EQ(byDevice->type, mount->type);
    }
    EXPECT_EQ(table.mountOfNumber(99), nullptr);
    EXPECT_EQ(table.mountOfDevice(99), nullptr);
}

TEST_F(TempEnvTest, VolumeTableReadsAnInjectedMountTable)
{
    const QString path = env.writeFile(QStringLiteral("mountinfo"), kMountInfo);
    const VolumeTable table = VolumeTable::fromSystem(path);
    ASSERT_FALSE(table.volumes().isEmpty());
    EXPECT_EQ(table.volumes().front().mountPath, QStringLiteral("/"));
    EXPECT_TRUE(VolumeTable::fromSystem(env.path(QStringLiteral("missing"))).volumes().isEmpty());
}
