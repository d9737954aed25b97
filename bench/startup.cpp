// Start → page titled: the program against a bare engine view, as a user waits for it.
//   bench_startup [RUNS]     (5 by default)
// Each run starts, in turn, the program, the bare view shown at once and the bare view
// created after a 400 ms cold wait, each under a virtual display of its own (Xvfb)
// with a fresh home, on a page served from loopback; the time is taken from the start
// of the process until a window of it carries the page's title. Prints the medians,
// the ratios and the goals; it never fails.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
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

private:
    bool holds(Window window, const char *text) const
    {
        // Qt writes the name as UTF-8, which XFetchName does not read.
        XTextProperty name{};
        if (XGetWMName(m_display, window, &name) && name.value) {
            const bool found = std::strstr(reinterpret_cast<const char *>(name.value), text) != nullptr;
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
            found = holds(children[i], text);
        if (children)
            XFree(children);
        return found;
    }

    QString m_name;
    QProcess m_server;
    Display *m_display = nullptr;
};

// Milliseconds from the start of the process to the titled window; -1 when it never came.
double timeToTitle(const QString &program, const QStringList &arguments)
{
    VirtualDisplay display;
    QTemporaryDir home;
    if (!display.ready() || !home.isValid())
        return -1;
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
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    if (!qEnvironmentVariableIsSet("BENCH_SHOW_ERRORS"))
        process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    process.waitForStarted();
    if (process.state() != QProcess::Running)
        std::fprintf(stderr, "%s did not start: %s\n", qPrintable(program), qPrintable(process.errorString()));
    double elapsed = -1;
    while (timer.elapsed() < kDeadlineMs && process.state() != QProcess::NotRunning) {
        if (display.showsTitle(kTitle)) {
            elapsed = timer.nsecsElapsed() / 1e6;
            break;
        }
        QThread::usleep(2000);
    }
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished();
    return elapsed;
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
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString folder = QCoreApplication::applicationDirPath();
    const QString program = QDir(folder).absoluteFilePath(QStringLiteral("../vorlan"));
    const QString bare = QDir(folder).absoluteFilePath(QStringLiteral("bench_bare_view"));
    PageServer server;

    std::vector<double> programMs, bareMs, coldMs;
    for (int run = 0; run < runs; ++run) {
        programMs.push_back(timeToTitle(program, {server.url()}));
        bareMs.push_back(timeToTitle(bare, {server.url()}));
        coldMs.push_back(timeToTitle(bare, {server.url(), QStringLiteral("400")}));
        std::printf("run %d: program %.0f ms, bare view %.0f ms, bare view after 400 ms %.0f ms\n", run + 1,
                    programMs.back(), bareMs.back(), coldMs.back());
        std::fflush(stdout);
    }
    const double p = median(programMs);
    const double b = median(bareMs);
    const double c = median(coldMs);
    std::printf("median start -> titled: program %.0f ms, bare view %.0f ms, bare view after a 400 ms cold wait %.0f ms\n",
                p, b, c);
    if (p > 0 && b > 0 && c > 0) {
        std::printf("program / bare view: %.2f\n", p / b);
        std::printf("program / bare view after 400 ms: %.2f  (goal <= 1.00: %s; stretch <= 0.90: %s)\n", p / c,
                    p / c <= 1.0 ? "met" : "missed", p / c <= 0.9 ? "met" : "missed");
    }
    return 0;
}
