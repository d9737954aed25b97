// The file search over /usr/include and /usr/share, warm cache, beside the tools a
// user would compare it with. One warm-up, then five rounds, each tool in turn; the
// medians, their ratios and the hit counts of both sides are printed:
//   name "*.h"                       vs find DIRS -type f -iname '*.h'   goal <= 0.9
//   "*.*" with an absent word        vs grep -rliF WORD DIRS             goal <= 0.8
//   "*.*" with a common ASCII word   vs grep -rliF WORD DIRS             goal <= 0.8
//   "*.*" with "příliš" in any case  vs grep -rliF příliš DIRS           goal <= 1.0
// and the peak memory of a text search over a tree holding a 2 GiB sparse file,
// goal at most 64 MiB above idle. Prints, never fails:
//   bench_search [WHAT]   (only the figures whose label begins with WHAT)
#include "TestEnvironment.h"

#include "files/FileSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

const QStringList kFolders = {QStringLiteral("/usr/include"), QStringLiteral("/usr/share")};

struct Figure
{
    double seconds = 0;
    qint64 hits = 0;
};

Figure searchOnce(const QStringList &folders, const QString &pattern, const QString &text, const VolumeTable &volumes)
{
    FileSearch search;
    SearchRequest request;
    for (const QString &folder : folders)
        request.starts.append({folder, false});
    request.pattern = pattern;
    request.text = text;
    request.volumes = volumes;
    Figure figure;
    QEventLoop loop;
    QObject::connect(&search, &FileSearch::rowsFound, &loop,
                     [&](quint64, const QList<SearchRow> &rows, const QString &, qint64) { figure.hits += rows.size(); });
    QObject::connect(&search, &FileSearch::finished, &loop, [&] { loop.quit(); });
    QElapsedTimer clock;
    clock.start();
    search.start(request);
    loop.exec();
    figure.seconds = double(clock.nsecsElapsed()) / 1e9;
    return figure;
}

Figure toolOnce(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    process.waitForFinished(-1);
    Figure figure;
    figure.seconds = double(clock.nsecsElapsed()) / 1e9;
    figure.hits = process.readAllStandardOutput().count('\n');
    return figure;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Comparison
{
    const char *what;
    QString pattern;
    QString text;
    QString tool;
    QStringList toolArguments;
    double goal;
};

qint64 peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

void memoryFigure(const TestEnvironment &env, const VolumeTable &volumes)
{
    const QString big = env.path(QStringLiteral("tree/big.txt"));
    env.writeFile(QStringLiteral("tree/small.txt"), "malý soubor");
    const int fd = ::open(QFile::encodeName(big).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool sparse = fd >= 0 && ::ftruncate(fd, qint64(2) << 30) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!sparse) {
        std::printf("memory: could not make a 2 GiB sparse file\n");
        return;
    }
    const qint64 idle = peakKiB();
    QElapsedTimer clock;
    clock.start();
    const Figure figure = searchOnce({env.path(QStringLiteral("tree"))}, QStringLiteral("*.*"), QStringLiteral("zqxjkvwq"), volumes);
    const double aboveMiB = double(peakKiB() - idle) / 1024;
    std::printf("memory: text search over a 2 GiB sparse file: peak %.1f MiB above idle (goal <= 64), %.2f s, %lld hits\n",
                aboveMiB, figure.seconds, static_cast<long long>(figure.hits));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestEnvironment env;
    const VolumeTable volumes = VolumeTable::fromSystem();
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (only.isEmpty() || only == QLatin1String("memory"))
        memoryFigure(env, volumes);

    const QString czech = QStringLiteral("příliš");
    const QList<Comparison> comparisons = {
        {"name *.h", QStringLiteral("*.h"), {}, QStringLiteral("find"),
         kFolders + QStringList{QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-iname"), QStringLiteral("*.h")}, 0.9},
        {"absent word", QStringLiteral("*.*"), QStringLiteral("zqxjkvwq"), QStringLiteral("grep"),
         QStringList{QStringLiteral("-rliF"), QStringLiteral("zqxjkvwq")} + kFolders, 0.8},
        {"common word", QStringLiteral("*.*"), QStringLiteral("include"), QStringLiteral("grep"),
         QStringList{QStringLiteral("-rliF"), QStringLiteral("include")} + kFolders, 0.8},
        {"příliš, any case", QStringLiteral("*.*"), czech, QStringLiteral("grep"),
         QStringList{QStringLiteral("-rliF"), czech} + kFolders, 1.0},
    };
    for (const Comparison &c : comparisons) {
        if (!QString::fromUtf8(c.what).startsWith(only))
            continue;
        searchOnce(kFolders, c.pattern, c.text, volumes);
        toolOnce(c.tool, c.toolArguments);
        std::vector<double> ours, theirs;
        qint64 ourHits = 0, theirHits = 0;
        for (int round = 0; round < 5; ++round) {
            const Figure mine = searchOnce(kFolders, c.pattern, c.text, volumes);
            const Figure tool = toolOnce(c.tool, c.toolArguments);
            ours.push_back(mine.seconds);
            theirs.push_back(tool.seconds);
            ourHits = mine.hits;
            theirHits = tool.hits;
        }
        const double a = median(ours), b = median(theirs);
        std::printf("%-18s search %.3f s  %s %.3f s  ratio %.2f (goal <= %.1f)  hits %lld / %lld\n", c.what, a,
                    qPrintable(c.tool), b, a / b, c.goal, static_cast<long long>(ourHits), static_cast<long long>(theirHits));
        std::fflush(stdout);
    }
    return 0;
}
