// Copying a file into another folder, as the copy command does it: checked, named
// only once complete, left to the system to write out as cp leaves it. One run copies
// a 1 GiB file three times by cp and three times by CopyFileChecked, alternating, in
// the given folder (the current one by default), and prints both medians beside the
// goal of at most 1.1 × cp:
//   bench_file_copy [folder]
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
#include <unistd.h>
#include <vector>

namespace {

constexpr qint64 kGiB = 1024 * 1024 * 1024;

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
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir dir(base + QStringLiteral("/bench_file_copy-XXXXXX"));
    if (!dir.isValid() || !makeFile(dir.filePath(QStringLiteral("zdroj.bin")), kGiB)) {
        std::fprintf(stderr, "cannot write a 1 GiB file in %s\n", qPrintable(base));
        return 1;
    }
    const QString source = dir.filePath(QStringLiteral("zdroj.bin"));
    std::vector<double> byCp, byCheckedCopy;
    for (int round = 0; round < 3; ++round) {
        const QString cpTarget = dir.filePath(QStringLiteral("cp.bin"));
        const QString ownTarget = dir.filePath(QStringLiteral("vlastní.bin"));
        byCp.push_back(millisecondsOf([&] {
            return QProcess::execute(QStringLiteral("cp"), {source, cpTarget}) == 0;
        }));
        byCheckedCopy.push_back(millisecondsOf([&] { return CopyFileChecked(source, ownTarget).code == 1; }));
        if (byCp.back() < 0 || byCheckedCopy.back() < 0) {
            std::fprintf(stderr, "a copy failed in %s\n", qPrintable(base));
            return 1;
        }
        QFile::remove(cpTarget);
        QFile::remove(ownTarget);
    }
    const double cp = median(byCp), own = median(byCheckedCopy);
    std::printf("copy 1 GiB in %s: cp median %.0f ms, CopyFileChecked median %.0f ms, ratio %.2f (goal <= 1.10)\n",
                qPrintable(base), cp, own, own / cp);
    return 0;
}
