// The file search over /usr/include and /usr/share, warm cache, beside the tools a
// user would compare it with. One warm-up, then five rounds, our search and each
// tool in turn; the medians, the ratios to the goals and every side's hit count are
// printed, each tool's command as it was run:
//   name "*.h"                       find -iname, fdfind and fdfind -j1
//        goals: <= 0.9 x find, <= 1.0 x the faster fdfind
//   "*.*" with an absent word        grep -rliF, rg -l -i -F -uu -a, rg -j1
//   "*.*" with a common ASCII word   the same
//        goals: <= 0.8 x grep, <= 1.0 x rg (threads)
//   "*.*" with "příliš" in any case  grep -rliF, rg (counts differ by design:
//        a Windows-1250 file is read as such here)
//        goals: <= 1.0 x grep, <= 1.0 x rg (threads)
// and the peak memory of a text search over a tree holding a 2 GiB sparse file,
// goal at most 64 MiB above idle. Then the bench runs itself again under
// "taskset -c 0", both sides on one core: the text search against rg -j1, goal
// <= 1.0. It installs nothing: a tool that is missing is named and left out.
// Prints, never fails:
//   bench_search [WHAT]              (only the figures whose label begins with WHAT)
//   bench_search --one-core [WHAT]   (the one-core part alone, as taskset runs it)
#include "TestEnvironment.h"

#include "files/FileSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

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
                     [&](quint64, const QList<SearchRow> &rows, qint64) { figure.hits += rows.size(); });
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

struct Tool
{
    QString program;
    QStringList arguments;

    // The command as a shell would take it.
    QString shown() const
    {
        QStringList words{program};
        for (const QString &argument : arguments)
            words << (argument.contains(QLatin1Char('*')) ? QLatin1Char('\'') + argument + QLatin1Char('\'') : argument);
        return words.join(QLatin1Char(' '));
    }
    bool installed() const { return !QStandardPaths::findExecutable(program).isEmpty(); }
};

// Our median over the fastest median of some of the tools.
struct Goal
{
    QList<int> tools;
    double limit;
    const char *against;
};

struct Comparison
{
    const char *what;
    QString pattern;
    QString text;
    QList<Tool> tools;
    QList<Goal> goals;
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

Tool grepFor(const QString &word)
{
    return {QStringLiteral("grep"), QStringList{QStringLiteral("-rliF"), word} + kFolders};
}

Tool rgFor(const QString &word, bool oneThread)
{
    QStringList arguments;
    if (oneThread)
        arguments << QStringLiteral("-j1");
    arguments << QStringLiteral("-l") << QStringLiteral("-i") << QStringLiteral("-F") << QStringLiteral("-uu")
              << QStringLiteral("-a") << word;
    return {QStringLiteral("rg"), arguments + kFolders};
}

Tool fdFor(bool oneThread)
{
    QStringList arguments;
    if (oneThread)
        arguments << QStringLiteral("-j1");
    arguments << QStringLiteral("-u") << QStringLiteral("-t") << QStringLiteral("f") << QStringLiteral("-g")
              << QStringLiteral("*.h");
    return {QStringLiteral("fdfind"), arguments + kFolders};
}

void compare(const Comparison &c, const VolumeTable &volumes)
{
    std::printf("%s  (medians of 5 interleaved rounds)\n", c.what);
    QList<int> present;
    for (int i = 0; i < c.tools.size(); ++i) {
        if (c.tools[i].installed())
            present << i;
        else
            std::printf("  %s: not installed, left out\n", qPrintable(c.tools[i].shown()));
    }
    searchOnce(kFolders, c.pattern, c.text, volumes);
    for (int i : present)
        toolOnce(c.tools[i].program, c.tools[i].arguments);
    std::vector<double> ours;
    std::vector<std::vector<double>> theirs(size_t(c.tools.size()));
    qint64 ourHits = 0;
    QList<qint64> theirHits(c.tools.size(), 0);
    for (int round = 0; round < 5; ++round) {
        const Figure mine = searchOnce(kFolders, c.pattern, c.text, volumes);
        ours.push_back(mine.seconds);
        ourHits = mine.hits;
        for (int i : present) {
            const Figure tool = toolOnce(c.tools[i].program, c.tools[i].arguments);
            theirs[size_t(i)].push_back(tool.seconds);
            theirHits[i] = tool.hits;
        }
    }
    const double mine = median(ours);
    std::printf("  %-70s %.3f s  %lld hits\n", "this search", mine, static_cast<long long>(ourHits));
    for (int i : present) {
        // Padded by characters, not bytes: the Czech word is wider in bytes.
        std::printf("  %s %.3f s  %lld hits\n", qPrintable(c.tools[i].shown().leftJustified(70)), median(theirs[size_t(i)]),
                    static_cast<long long>(theirHits[i]));
    }
    for (const Goal &goal : c.goals) {
        double best = 0;
        for (int i : goal.tools) {
            if (present.contains(i) && (best == 0 || median(theirs[size_t(i)]) < best))
                best = median(theirs[size_t(i)]);
        }
        if (best > 0)
            std::printf("  ratio %.2f to %s (goal <= %.1f)\n", mine / best, goal.against, goal.limit);
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestEnvironment env;
    const VolumeTable volumes = VolumeTable::fromSystem();
    QStringList arguments = app.arguments().mid(1);
    const bool oneCore = arguments.removeAll(QStringLiteral("--one-core")) > 0;
    const QString only = arguments.value(0);
    if (!oneCore && (only.isEmpty() || only == QLatin1String("memory")))
        memoryFigure(env, volumes);

    const QString absent = QStringLiteral("zqxjkvwq");
    const QString common = QStringLiteral("include");
    const QString czech = QStringLiteral("příliš");
    const Tool find{QStringLiteral("find"), kFolders + QStringList{QStringLiteral("-type"), QStringLiteral("f"),
                                                                     QStringLiteral("-iname"), QStringLiteral("*.h")}};
    QList<Comparison> comparisons;
    if (!oneCore) {
        comparisons = {
            {"name *.h", QStringLiteral("*.h"), {}, {find, fdFor(false), fdFor(true)},
             {{{0}, 0.9, "find"}, {{1, 2}, 1.0, "the faster fdfind"}}},
            {"absent word", QStringLiteral("*.*"), absent, {grepFor(absent), rgFor(absent, false), rgFor(absent, true)},
             {{{0}, 0.8, "grep"}, {{1}, 1.0, "rg with its threads"}}},
            {"common word", QStringLiteral("*.*"), common, {grepFor(common), rgFor(common, false), rgFor(common, true)},
             {{{0}, 0.8, "grep"}, {{1}, 1.0, "rg with its threads"}}},
            {"příliš, any case", QStringLiteral("*.*"), czech, {grepFor(czech), rgFor(czech, false)},
             {{{0}, 1.0, "grep"}, {{1}, 1.0, "rg with its threads"}}},
        };
    } else {
        std::printf("one core (taskset -c 0), both sides:\n");
        comparisons = {
            {"one core: absent word", QStringLiteral("*.*"), absent, {rgFor(absent, true)}, {{{0}, 1.0, "rg -j1"}}},
            {"one core: common word", QStringLiteral("*.*"), common, {rgFor(common, true)}, {{{0}, 1.0, "rg -j1"}}},
            {"one core: name *.h", QStringLiteral("*.h"), {}, {fdFor(true)}, {}},
        };
    }
    for (const Comparison &c : comparisons) {
        if (QString::fromUtf8(c.what).startsWith(only) || (oneCore && QString::fromUtf8(c.what).mid(10).startsWith(only)))
            compare(c, volumes);
    }
    if (oneCore)
        return 0;
    // The same on one core: the bench itself under taskset, so both sides have one.
    if (QStandardPaths::findExecutable(QStringLiteral("taskset")).isEmpty()) {
        std::printf("taskset: not installed, the one-core figures are left out\n");
        return 0;
    }
    QProcess pinned;
    pinned.setProcessChannelMode(QProcess::ForwardedChannels);
    QStringList pinnedArguments{QStringLiteral("-c"), QStringLiteral("0"), QCoreApplication::applicationFilePath(),
                                QStringLiteral("--one-core")};
    if (!only.isEmpty())
        pinnedArguments << only;
    pinned.start(QStringLiteral("taskset"), pinnedArguments);
    pinned.waitForFinished(-1);
    return 0;
}
