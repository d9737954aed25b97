// Moving files into the deleted-files store. On one file system a move is a rename,
// as fast for 1 GiB as for 1 KiB; across file systems it is a copy that must reach
// the disk before the source goes, and should run about as fast as cp followed by a
// sync of the copied file. Prints the figures beside their goals:
//   bench_store
#include "TestEnvironment.h"

#include "core/FileSettings.h"
#include "core/SharedState.h"
#include "files/DeletedStore.h"
#include "platform/files/FileSystem.h"
#include "platform/system/ErrorState.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStorageInfo>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/mount.h>
#include <unistd.h>

namespace {

constexpr qint64 kKiB = 1024;
constexpr qint64 kGiB = 1024 * 1024 * 1024;

double millisecondsOf(const std::function<void()> &run)
{
    QElapsedTimer clock;
    clock.start();
    run();
    return double(clock.nsecsElapsed()) / 1e6;
}

// A file of real data, synced, so that no write-back of it runs during a measurement.
void makeFile(const QString &path, qint64 size)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QByteArray block(4 * 1024 * 1024, 'v');
    for (qint64 done = 0; fd >= 0 && done < size;) {
        const qint64 count = qMin<qint64>(block.size(), size - done);
        block[0] = char(done / block.size());
        if (::write(fd, block.constData(), size_t(count)) != count)
            break;
        done += count;
    }
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

struct CrossDevice
{
    QString folder;
    QString reason; // why there is none
    bool mounted = false;
};

CrossDevice crossDevice(const QString &scratch)
{
    CrossDevice device;
    const QString mountPoint = scratch + QStringLiteral("/tmpfs");
    QDir().mkpath(mountPoint);
    if (::geteuid() == 0
        && ::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                   "size=1200m")
            == 0) {
        device.folder = mountPoint;
        device.mounted = true;
        return device;
    }
    const QString shm = QStringLiteral("/dev/shm");
    if (QStorageInfo(shm).bytesAvailable() < kGiB + 64 * 1024 * 1024) {
        device.reason = QStringLiteral("no tmpfs of our own (needs root) and less than 1 GiB free in /dev/shm");
        return device;
    }
    device.folder = shm + QStringLiteral("/vorlan-bench-%1").arg(::getpid());
    QDir().mkpath(device.folder);
    return device;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestEnvironment env;
    const QString store = env.appFolder() + QStringLiteral("deleted/");
    QDir().mkpath(store);

    std::printf("Same file system (%s): a move into the store is a rename\n",
                QStorageInfo(store).fileSystemType().constData());
    const double counter = millisecondsOf([] {
        for (int i = 0; i < 20; ++i)
            FileSettings::CountDelFiles.save(i + 1);
    }) / 20;
    std::printf("  the counter's write (settings file synced)   %8.3f ms\n", counter);
    for (const qint64 size : {kKiB, kGiB}) {
        const QString path = env.path(QStringLiteral("docs/soubor-%1.bin").arg(size));
        makeFile(path, size);
        const double renamed =
            millisecondsOf([&] { FileSystem::current().move(path, store + QStringLiteral("prejmenovany.bin")); });
        FileSystem::current().move(store + QStringLiteral("prejmenovany.bin"), path);
        const double whole = millisecondsOf([&] { MoveToDeletedStore(path); });
        std::printf("  %-6s the move itself %8.3f ms   goal <= 5 ms %s   whole MoveToDeletedStore %8.3f ms\n",
                    size == kKiB ? "1 KiB" : "1 GiB", renamed, renamed <= 5 ? "met" : "MISSED", whole);
    }
    runIgnoringErrors([] { DeletedStore::empty(); });

    CrossDevice device = crossDevice(env.root());
    if (device.folder.isEmpty()) {
        std::printf("Across file systems: skipped, %s\n", qPrintable(device.reason));
        return 0;
    }
    std::printf("Across file systems (%s on %s, store on a tmpfs): copy, sync, unlink\n",
                QStorageInfo(env.root()).fileSystemType().constData(), qPrintable(QStorageInfo(env.root()).rootPath()));
    // The program folder moves onto the tmpfs; the source stays on the disk.
    shared().AppDir = device.folder + QStringLiteral("/");
    shared().AppFolder = shared().AppDir;
    QDir().mkpath(device.folder + QStringLiteral("/deleted"));
    const QString source = env.path(QStringLiteral("docs/velky.bin"));
    const QString cpTarget = device.folder + QStringLiteral("/cp-kopie.bin");
    double storeTotal = 0, cpTotal = 0;
    for (int round = 1; round <= 2; ++round) {
        makeFile(source, kGiB);
        const double moved = millisecondsOf([&] { MoveToDeletedStore(source); });
        runIgnoringErrors([] { DeletedStore::empty(); });
        makeFile(source, kGiB);
        const double copied = millisecondsOf([&] {
            QProcess::execute(QStringLiteral("cp"), {source, cpTarget});
            QProcess::execute(QStringLiteral("sync"), {cpTarget});
        });
        QFile::remove(cpTarget);
        makeFile(source, kGiB);
        const double copiedByLayer = millisecondsOf([&] { FileSystem::current().copy(source, cpTarget); });
        const double unlinked = millisecondsOf([&] { FileSystem::current().remove(source); });
        QFile::remove(cpTarget);
        std::printf("  apart: the layer's copy %8.1f ms; unlinking 1 GiB outright %8.1f ms"
                    " (a move leaves the freeing to another thread)\n",
                    copiedByLayer, unlinked);
        std::printf("  round %d: into the store %8.1f ms (%6.0f MiB/s)   cp + sync %8.1f ms (%6.0f MiB/s)\n", round,
                    moved, 1024 / (moved / 1000), copied, 1024 / (copied / 1000));
        storeTotal += moved;
        cpTotal += copied;
    }
    QFile::remove(source);
    const double ratio = cpTotal / storeTotal;
    std::printf("  throughput against cp: %.2f x   goal: >= 0.90 x   %s\n", ratio, ratio >= 0.9 ? "met" : "MISSED");
    if (device.mounted)
        ::umount2(QFile::encodeName(device.folder).constData(), MNT_DETACH);
    else
        QDir(device.folder).removeRecursively();
    return 0;
}
