// Copying a file into another folder, as the copy command does it: checked, named
// only once complete, left to the system to write out as cp leaves it. One run copies
// a dense 1 GiB file and a sparse 1 GiB file (a disk image: a little data among
// holes) by cp and by CopyFileChecked in the given folder (the current one by
// default), and prints for each file both medians, the median of the per-round
// ratios and, for the sparse file, both copies' disk use, beside the goals:
//   bench_file_copy [folder]
// Each copy starts after a sync, yet the disk goes on settling after the first copy
// of a round and slows the second; so the rounds alternate which copier goes first
// (cp, own; own, cp; ...), and each round's ratio compares two copies made under the
// same conditions.
#include "files/CheckedFileOps.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kGiB = 1024 * kMiB;
constexpr int kRounds = 6; // an even count, so each copier goes first equally often

// Real data, synced, so that no write-back of it runs during a measurement.
bool makeFile(const QString &path, qint64 size)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    QByteArray block(4 * 1024 * 1024, 'c');
    bool written = true;
    for (qint64 done = 0; written && done < size; done += block.size()) {
        block[0] = char(done / block.size());
        written = ::write(fd, block.constData(), size_t(block.size())) == block.size();
    }
    written = written && ::fsync(fd) == 0;
    ::close(fd);
    return written;
}

// A file of the given length that holds data only in a few blocks spread over it,
// the rest holes, as a disk image is; synced.
bool makeSparseFile(const QString &path, qint64 size, int dataBlocks, qint64 blockSize)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const QByteArray block(int(blockSize), 'd');
    bool written = ::ftruncate(fd, size) == 0;
    for (int i = 0; written && i < dataBlocks; ++i) {
        const off_t at = off_t(size / dataBlocks * i);
        written = ::pwrite(fd, block.constData(), size_t(block.size()), at) == block.size();
    }
    written = written && ::fsync(fd) == 0;
    ::close(fd);
    return written;
}

// What du reports: the blocks the file takes on the disk.
qint64 diskUse(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? qint64(info.st_blocks) * 512 : -1;
}

double millisecondsOf(const std::function<bool()> &run)
{
    ::sync();
    QElapsedTimer clock;
    clock.start();
    const bool done = run();
    const double elapsed = double(clock.nsecsElapsed()) / 1e6;
    return done ? elapsed : -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Figures
{
    std::vector<double> byCp, byCheckedCopy, ratios;
    qint64 cpDiskUse = 0, ownDiskUse = 0; // the largest of the rounds
};

// Copies the source by both copiers in alternating order, round after round.
bool measureCopies(const QString &source, const QDir &dir, Figures &out)
{
    const QString cpTarget = dir.filePath(QStringLiteral("cp.bin"));
    const QString ownTarget = dir.filePath(QStringLiteral("vlastní.bin"));
    const std::function<bool()> byCp = [&] {
        return QProcess::execute(QStringLiteral("cp"), {source, cpTarget}) == 0;
    };
    const std::function<bool()> byCheckedCopy = [&] { return CopyFileChecked(source, ownTarget).code == 1; };
    for (int round = 0; round < kRounds; ++round) {
        double cp = 0, own = 0;
        if (round % 2 == 0) {
            cp = millisecondsOf(byCp);
            own = millisecondsOf(byCheckedCopy);
        } else {
            own = millisecondsOf(byCheckedCopy);
            cp = millisecondsOf(byCp);
        }
        if (cp < 0 || own < 0)
            return false;
        out.byCp.push_back(cp);
        out.byCheckedCopy.push_back(own);
        out.ratios.push_back(own / cp);
        ::sync(); // the blocks a delayed allocation holds count once they are on the disk
        out.cpDiskUse = std::max(out.cpDiskUse, diskUse(cpTarget));
        out.ownDiskUse = std::max(out.ownDiskUse, diskUse(ownTarget));
        QFile::remove(cpTarget);
        QFile::remove(ownTarget);
    }
    return true;
}

void printFigures(const char *what, const Figures &figures)
{
    std::printf("%s, %d rounds alternating which goes first:\n", what, kRounds);
    std::printf("  cp median %.1f ms, CopyFileChecked median %.1f ms\n", median(figures.byCp),
                median(figures.byCheckedCopy));
    std::printf("  per-round ratios");
    for (const double ratio : figures.ratios)
        std::printf(" %.2f", ratio);
    std::printf("; median %.2f (goal <= 1.10)\n", median(figures.ratios));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir dir(base + QStringLiteral("/bench_file_copy-XXXXXX"));
    const QString dense = dir.filePath(QStringLiteral("zdroj.bin"));
    const QString sparse = dir.filePath(QStringLiteral("obraz.img"));
    constexpr int kDataBlocks = 16;
    constexpr qint64 kDataBlockSize = kMiB;
    if (!dir.isValid() || !makeFile(dense, kGiB) || !makeSparseFile(sparse, kGiB, kDataBlocks, kDataBlockSize)) {
        std::fprintf(stderr, "cannot write the 1 GiB files in %s\n", qPrintable(base));
        return 1;
    }
    std::printf("copies in %s\n", qPrintable(base));
    Figures denseFigures, sparseFigures;
    if (!measureCopies(dense, QDir(dir.path()), denseFigures) || !measureCopies(sparse, QDir(dir.path()), sparseFigures)) {
        std::fprintf(stderr, "a copy failed in %s\n", qPrintable(base));
        return 1;
    }
    printFigures("dense 1 GiB", denseFigures);
    const QByteArray sparseTitle = "sparse 1 GiB (" + QByteArray::number(kDataBlocks * kDataBlockSize / kMiB)
        + " MiB of data, du " + QByteArray::number(diskUse(sparse) / 1024) + " KiB)";
    printFigures(sparseTitle.constData(), sparseFigures);
    std::printf("  du of the copies: cp %lld KiB, CopyFileChecked %lld KiB (goal: CopyFileChecked <= cp)\n",
                sparseFigures.cpDiskUse / 1024, sparseFigures.ownDiskUse / 1024);
    return 0;
}
