#include "platform/system/DiskInfo.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <unistd.h>

namespace {

struct KindCase { const char *fileSystemType; const char *device; bool removable; const char *kind; };

const KindCase kKindCases[] = {
    {"ext4", "/dev/sda1", false, "drive"},
    {"vfat", "/dev/sdb1", true, "floppy"},
    {"nfs", "server:/export/home", false, "netdrive"},
    {"cifs", "//server/share", false, "netdrive"},
    {"sshfs", "user@host:/srv", false, "netdrive"},
    // Optical drives call themselves removable; they are still CD drives.
    {"iso9660", "/dev/sr0", true, "cdrom"},
    {"udf", "/dev/sr0", true, "cdrom"},
    {"tmpfs", "tmpfs", false, "ram"},
    // A container's root and a ZFS data set name no device node, yet are disks.
    {"overlay", "overlay", false, "drive"},
    {"zfs", "tank/home", false, "drive"},
    {"", "", false, "other"},
    // A removable flag without a device to carry it decides nothing.
    {"fuse", "someprogram", true, "other"},
};

} // namespace

TEST(DiskInfoKind, MountMapsToDriveKind)
{
    for (const KindCase &c : kKindCases) {
        SCOPED_TRACE(std::string(c.fileSystemType) + " " + c.device + (c.removable ? " removable" : ""));
        EXPECT_EQ(DiskInfo::kindOf(QString::fromLatin1(c.fileSystemType), QString::fromLatin1(c.device), c.removable),
                  QString::fromLatin1(c.kind));
    }
}

class DiskInfoRemovableTest : public TempEnvTest
{
protected:
    // A miniature of the kernel's block-device tree: the class folder links to the
    // device folders; a partition sits inside its disk and has a "partition" file.
    QString makeBlockTree()
    {
        disk(QStringLiteral("sdb"), "1");
        partition(QStringLiteral("sdb"), QStringLiteral("sdb1"));
        disk(QStringLiteral("sda"), "0");
        partition(QStringLiteral("sda"), QStringLiteral("sda2"));
        return env.root() + QStringLiteral("/sys/class/block");
    }

private:
    void link(const QString &name, const QString &target)
    {
        const QString classDir = env.root() + QStringLiteral("/sys/class/block");
        QDir().mkpath(classDir);
        ASSERT_TRUE(QFile::link(target, classDir + QLatin1Char('/') + name));
    }
    void disk(const QString &name, const QByteArray &removable)
    {
        const QString dir = QStringLiteral("sys/devices/") + name;
        env.writeFile(dir + QStringLiteral("/removable"), removable + "\n");
        link(name, env.root() + QLatin1Char('/') + dir);
    }
    void partition(const QString &diskName, const QString &name)
    {
        const QString dir = QStringLiteral("sys/devices/") + diskName + QLatin1Char('/') + name;
        env.writeFile(dir + QStringLiteral("/partition"), "1\n");
        link(name, env.root() + QLatin1Char('/') + dir);
    }
};

TEST_F(DiskInfoRemovableTest, ReadsTheFlagOfTheDiskOrOfThePartitionsDisk)
{
    const QString sysRoot = makeBlockTree();
    const struct { const char *device; bool removable; } cases[] = {
        {"/dev/sdb", true}, {"/dev/sdb1", true}, {"/dev/sda", false}, {"/dev/sda2", false},
        {"/dev/sdz9", false}, {"tmpfs", false}, {"", false}, {"/dev/..", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.device);
        EXPECT_EQ(DiskInfo::isRemovableDevice(QString::fromLatin1(c.device), sysRoot), c.removable);
    }
}

using DiskInfoVolumeTest = TempEnvTest;

TEST_F(DiskInfoVolumeTest, MissingPathIsMeasuredOnItsNearestExistingFolder)
{
    const QString deep = env.root() + QStringLiteral("/not/there/yet/file.txt");
    EXPECT_EQ(DiskInfo::nearestExisting(deep), env.root());
    EXPECT_EQ(DiskInfo::nearestExisting(env.root() + QStringLiteral("/a/../b/./c")), env.root());

    // Other programs write to the same volume; look for a quiet moment in which the
    // folder and the missing path below it report the same amount.
    bool same = false;
    for (int attempt = 0; attempt < 50 && !same; ++attempt) {
        const qint64 before = DiskInfo::freeBytes(env.root());
        const qint64 below = DiskInfo::freeBytes(deep);
        const qint64 after = DiskInfo::freeBytes(env.root());
        same = before == below && below == after;
    }
    EXPECT_TRUE(same);
}

TEST_F(DiskInfoVolumeTest, TheNameLimitIsTheVolumesOwn)
{
    const long own = ::pathconf(QFile::encodeName(env.root()).constData(), _PC_NAME_MAX);
    ASSERT_GT(own, 0);
    EXPECT_EQ(DiskInfo::nameLimit(env.root()), own);
    EXPECT_EQ(DiskInfo::nameLimit(env.root() + QStringLiteral("/not/there/yet")), own);
    for (const char *unusable : {"", "relative/folder"})
        EXPECT_EQ(DiskInfo::nameLimit(QString::fromLatin1(unusable)), 255) << unusable;
}

TEST(DiskInfoMounts, MemoryAndPseudoFileSystemsOfThisMachine)
{
    const struct { const char *path; const char *fileSystemType; const char *kind; } cases[] = {
        {"/dev/shm", "tmpfs", "ram"},
        {"/proc", "proc", "other"},
        {"/sys", "sysfs", "other"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const QStorageInfo storage(QString::fromLatin1(c.path));
        if (!storage.isValid() || storage.rootPath() != QLatin1String(c.path)
            || storage.fileSystemType() != c.fileSystemType)
            continue; // not mounted that way here
        EXPECT_EQ(DiskInfo::driveKind(QString::fromLatin1(c.path) + QStringLiteral("/no/such/entry")),
                  QString::fromLatin1(c.kind));
    }
}
