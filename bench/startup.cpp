// Start → page titled: the program against a bare engine view, as a user waits for it,
// on all cores and again on two (taskset -c 0,1), with the memory (PSS, the engine's
// helper processes included) of each at that moment.
//   bench_startup [RUNS]     (5 by default)
//   bench_startup registry [RUNS]   (3 by default: a start with a registry of 800,000 small keys)
// Each run starts, in turn, the program, the bare view shown at once and the bare view
// created after a 400 ms cold wait, each under a virtual display of its own (Xvfb)
// with a fresh home, on a page served from loopback; the time is taken from the start
// of the process until a window of it carries the page's title. Prints the medians,
// the ratios and the goals; it never fails.
#include "BenchFigures.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDeadlineMs = 30000;
const char *const kTitle = "Startbench";

// Answers every request on 127.0.0.1 with one small page, until stopped.
class PageServer
{
public:
    PageServer()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        ::listen(m_socket, 16);
        m_thread = std::thread([this] { serve(); });
    }

    ~PageServer()
    {
        m_stop = true;
        ::shutdown(m_socket, SHUT_RDWR);
        ::close(m_socket);
        m_thread.join();
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1/start.htm").arg(m_port); }

private:
    void serve()
    {
        const QByteArray body = QByteArray("<html><head><title>") + kTitle + "</title></head><body><p>Page</p></body></html>";
        const QByteArray answer = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                                  + QByteArray::number(body.size()) + "\r\n\r\n" + body;
        while (!m_stop) {
            const int client = ::accept(m_socket, nullptr, nullptr);
            if (client < 0)
                continue;
            char request[4096];
            [[maybe_unused]] const ssize_t got = ::recv(client, request, sizeof request, 0);
            [[maybe_unused]] const ssize_t sent = ::send(client, answer.constData(), answer.size(), MSG_NOSIGNAL);
            ::close(client);
        }
    }

    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// A virtual display of its own for one run.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        for (int number = 150; number < 400; ++number) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))
                || QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
                continue;
            m_name = QStringLiteral(":%1").arg(number);
            m_server.start(QStringLiteral("Xvfb"), {m_name, QStringLiteral("-screen"), QStringLiteral("0"),
                                                    QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            m_server.waitForStarted();
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 5000 && m_server.state() == QProcess::Running) {
                if ((m_display = XOpenDisplay(m_name.toLocal8Bit().constData())))
                    return;
                QThread::msleep(10);
            }
            m_server.kill();
            m_server.waitForFinished();
        }
    }

    ~VirtualDisplay()
    {
        if (m_display)
            XCloseDisplay(m_display);
        m_server.terminate();
        if (!m_server.waitForFinished(3000))
            m_server.kill();
        m_server.waitForFinished();
    }

    bool ready() const { return m_display != nullptr; }
    const QString &name() const { return m_name; }

    // Whether any window of the display has a name that holds text.
    bool showsTitle(const char *text) const { return holds(DefaultRootWindow(m_display), text); }

    // Whether a window of exactly this name is mapped.
    bool shows(const char *title) const { return mapped(DefaultRootWindow(m_display), title); }

private:
    // Whether the window or one below it passes the test, which sees the window and its
    // name. Qt writes the name as UTF-8, which XFetchName does not read.
    template <typename Test>
    bool anyWindow(Window window, const Test &test) const
    {
        XTextProperty name{};
        if (XGetWMName(m_display, window, &name) && name.value) {
            const bool found = test(window, reinterpret_cast<const char *>(name.value));
            XFree(name.value);
            if (found)
                return true;
        }
        Window root = 0;
        Window parent = 0;
        Window *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_display, window, &root, &parent, &children, &count))
            return false;
        bool found = false;
        for (unsigned int i = 0; i < count && !found; ++i)
            found = anyWindow(children[i], test);
        if (children)
            XFree(children);
        return found;
    }

    bool mapped(Window window, const char *title) const
    {
        return anyWindow(window, [&](Window candidate, const char *name) {
            XWindowAttributes attributes{};
            return std::strcmp(name, title) == 0 && XGetWindowAttributes(m_display, candidate, &attributes)
                && attributes.map_state == IsViewable;
        });
    }

    bool holds(Window window, const char *text) const
    {
        return anyWindow(window, [&](Window, const char *name) { return std::strstr(name, text) != nullptr; });
    }

    QString m_name;
    QProcess m_server;
    Display *m_display = nullptr;
};

QProcessEnvironment freshEnvironment(const VirtualDisplay &display, const QTemporaryDir &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display.name());
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (geteuid() == 0)
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    return environment;
}

// The process and all its descendants (the engine's helper processes).
std::vector<qint64> processTree(qint64 pid)
{
    std::vector<std::pair<qint64, qint64>> parents; // pid, parent pid
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 child = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() > 1)
            parents.emplace_back(child, fields[1].toLongLong());
    }
    std::vector<qint64> tree{pid};
    for (size_t i = 0; i < tree.size(); ++i) {
        for (const auto &[child, parent] : parents) {
            if (parent == tree[i])
                tree.push_back(child);
        }
    }
    return tree;
}

// The proportional set size of a process and its descendants, in kB.
qint64 treePss(qint64 pid)
{
    qint64 total = 0;
    for (const qint64 member : processTree(pid)) {
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(member));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : rollup.readAll().split('\n')) {
            if (line.startsWith("Pss:"))
                total += line.mid(4).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return total;
}

struct Titled
{
    double ms = -1;  // from the start of the process to the titled window; -1 when it never came
    qint64 pssKb = 0; // of the process with its helpers, right then
};

// Starts a program (under taskset on the cores given, when any) and waits for its page's title.
Titled timeToTitle(const QString &program, const QStringList &arguments, const QString &cores = {})
{
    Titled result;
    VirtualDisplay display;
    QTemporaryDir home;
    if (!display.ready() || !home.isValid())
        return result;
    QProcess process;
    process.setProcessEnvironment(freshEnvironment(display, home));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    if (!qEnvironmentVariableIsSet("BENCH_SHOW_ERRORS"))
        process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    if (cores.isEmpty())
        process.start(program, arguments);
    else
        process.start(QStringLiteral("taskset"), QStringList{QStringLiteral("-c"), cores, program} + arguments);
    process.waitForStarted();
    if (process.state() != QProcess::Running)
        std::fprintf(stderr, "%s did not start: %s\n", qPrintable(program), qPrintable(process.errorString()));
    while (timer.elapsed() < kDeadlineMs && process.state() != QProcess::NotRunning) {
        if (display.showsTitle(kTitle)) {
            result.ms = timer.nsecsElapsed() / 1e6;
            result.pssKb = treePss(process.processId());
            break;
        }
        QThread::usleep(2000);
    }
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished();
    return result;
}

// A field of /proc/PID/status in kB; 0 when the process is gone.
qint64 statusField(qint64 pid, const char *field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

struct RegistryStart
{
    double mainWindowMs = -1;
    qint64 peakKb = 0;
    double exitMs = -1;
};

// Starts the program with the registry file given (none when empty), times it to its
// main window, lets the first window come, then asks it to end as a logout does and
// times its exit; the peak memory is the most the process held, up to its end.
RegistryStart startWithRegistry(const QString &program, const QByteArray &registry)
{
    RegistryStart result;
    VirtualDisplay display;
    QTemporaryDir home;
    if (!display.ready() || !home.isValid())
        return result;
    if (!registry.isEmpty()) {
        const QString folder = home.path() + QStringLiteral("/.local/share/Vorlan/windows");
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/registry.reg"));
        if (!file.open(QIODevice::WriteOnly) || file.write(registry) != registry.size())
            return result;
    }
    QProcess process;
    process.setProcessEnvironment(freshEnvironment(display, home));
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    process.waitForStarted();
    while (timer.elapsed() < kDeadlineMs && process.state() == QProcess::Running) {
        if (display.shows("Vorlan")) {
            result.mainWindowMs = timer.nsecsElapsed() / 1e6;
            break;
        }
        QThread::usleep(2000);
    }
    const qint64 pid = process.processId();
    // The first window comes 400 ms after the main window; its page loads meanwhile.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 2500 && process.state() == QProcess::Running) {
        result.peakKb = std::max(result.peakKb, statusField(pid, "VmHWM:"));
        QThread::msleep(20);
    }
    QElapsedTimer exiting;
    exiting.start();
    process.terminate();
    while (process.state() == QProcess::Running && exiting.elapsed() < 10000) {
        result.peakKb = std::max(result.peakKb, statusField(pid, "VmHWM:"));
        process.waitForFinished(1);
    }
    if (process.state() == QProcess::NotRunning)
        result.exitMs = exiting.nsecsElapsed() / 1e6;
    else
        process.kill();
    process.waitForFinished();
    return result;
}

double median(std::vector<double> values)
{
    values.erase(std::remove(values.begin(), values.end(), -1.0), values.end());
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int registryFigure(const QString &program, int runs)
{
    const QByteArray registry = smallRegistryKeys(800000);
    std::vector<double> emptyMain, emptyPeak, emptyExit, bigMain, bigPeak, bigExit;
    for (int run = 0; run < runs; ++run) {
        const RegistryStart empty = startWithRegistry(program, {});
        const RegistryStart big = startWithRegistry(program, registry);
        emptyMain.push_back(empty.mainWindowMs);
        emptyPeak.push_back(empty.peakKb > 0 ? double(empty.peakKb) : -1);
        emptyExit.push_back(empty.exitMs);
        bigMain.push_back(big.mainWindowMs);
        bigPeak.push_back(big.peakKb > 0 ? double(big.peakKb) : -1);
        bigExit.push_back(big.exitMs);
        std::printf("run %d: empty start: main window %.0f ms, peak %.0f MB, exit %.0f ms; "
                    "800,000 keys: main window %.0f ms, peak %.0f MB, exit %.0f ms\n",
                    run + 1, empty.mainWindowMs, empty.peakKb / 1024.0, empty.exitMs, big.mainWindowMs,
                    big.peakKb / 1024.0, big.exitMs);
        std::fflush(stdout);
    }
    const double grownMb = (median(bigPeak) - median(emptyPeak)) / 1024.0;
    const double fileMb = registry.size() / 1048576.0;
    std::printf("start with a registry.reg of 800,000 small keys (%.1f MB), medians of %d runs:\n", fileMb, runs);
    std::printf("  time to the main window      %8.0f ms (empty start %.0f ms)   goal <= 1500 ms\n", median(bigMain),
                median(emptyMain));
    std::printf("  peak memory above an empty start %6.0f MB = %.1f x the file   goal <= 10 x\n", grownMb,
                grownMb / fileMb);
    std::printf("  exit time                    %8.0f ms (empty start %.0f ms)   goal <= 500 ms\n", median(bigExit),
                median(emptyExit));
    return 0;
}

} // namespace

// A window may go between listing it and reading its name; that is no reason to stop.
int ignoreXErrors(Display *, XErrorEvent *)
{
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    XSetErrorHandler(ignoreXErrors);
    const QString folder = QCoreApplication::applicationDirPath();
    const QString program = QDir(folder).absoluteFilePath(QStringLiteral("../vorlan"));
    if (argc > 1 && std::strcmp(argv[1], "registry") == 0)
        return registryFigure(program, argc > 2 ? std::max(1, atoi(argv[2])) : 3);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString bare = QDir(folder).absoluteFilePath(QStringLiteral("bench_bare_view"));
    PageServer server;

    struct Figures
    {
        double program = -1;
        double bare = -1;
        double cold = -1;
        double programPss = -1;
        double coldPss = -1;
    };
    const auto compare = [&](const QString &cores) {
        std::vector<double> programMs, bareMs, coldMs, programPss, coldPss;
        for (int run = 0; run < runs; ++run) {
            const Titled p = timeToTitle(program, {server.url()}, cores);
            const Titled b = timeToTitle(bare, {server.url()}, cores);
            const Titled c = timeToTitle(bare, {server.url(), QStringLiteral("400")}, cores);
            programMs.push_back(p.ms);
            bareMs.push_back(b.ms);
            coldMs.push_back(c.ms);
            programPss.push_back(p.pssKb > 0 ? double(p.pssKb) : -1);
            coldPss.push_back(c.pssKb > 0 ? double(c.pssKb) : -1);
            std::printf("%s run %d: program %.0f ms (%.0f MB), bare view %.0f ms, bare view after 400 ms %.0f ms "
                        "(%.0f MB)\n",
                        cores.isEmpty() ? "all cores" : qPrintable(QStringLiteral("cores %1").arg(cores)), run + 1,
                        p.ms, p.pssKb / 1024.0, b.ms, c.ms, c.pssKb / 1024.0);
            std::fflush(stdout);
        }
        return Figures{median(programMs), median(bareMs), median(coldMs), median(programPss), median(coldPss)};
    };
    const Figures all = compare({});
    const Figures two = compare(QStringLiteral("0,1"));
    const auto report = [](const char *where, const Figures &f) {
        std::printf("%s: median start -> titled: program %.0f ms, bare view %.0f ms, bare view after a 400 ms cold "
                    "wait %.0f ms\n",
                    where, f.program, f.bare, f.cold);
        if (f.program > 0 && f.bare > 0 && f.cold > 0) {
            std::printf("  program / bare view: %.2f\n", f.program / f.bare);
            std::printf("  program / bare view after 400 ms: %.2f  (goal <= 0.90: %s)\n", f.program / f.cold,
                        f.program / f.cold <= 0.9 ? "met" : "missed");
        }
    };
    report("all cores", all);
    report("taskset -c 0,1", two);
    if (all.programPss > 0 && all.coldPss > 0)
        std::printf("memory (PSS, with the engine's helpers) at titled: program %.0f MB, bare view %.0f MB: %.2f  "
                    "(goal <= 1.10: %s)\n",
                    all.programPss / 1024.0, all.coldPss / 1024.0, all.programPss / all.coldPss,
                    all.programPss / all.coldPss <= 1.1 ? "met" : "missed");
    return 0;
}
