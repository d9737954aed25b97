// Opens N browser windows on about:blank and prints what each costs:
//   bench_windows [N]      (N = 50 by default)
// Runs under a temporary home; needs a display (xvfb-run) and, as root,
// QTWEBENGINE_DISABLE_SANDBOX=1. Memory is this process's own; the pages render in
// the engine's helper processes.

#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "core/SharedState.h"
#include "platform/Forms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

void pointHomeAt(const QString &root)
{
    qputenv("HOME", root.toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/.config")).toUtf8());
    qputenv("XDG_DATA_HOME", (root + QStringLiteral("/.local/share")).toUtf8());
    qputenv("XDG_CACHE_HOME", (root + QStringLiteral("/.cache")).toUtf8());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QTemporaryDir home;
    pointHomeAt(home.path());
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 50;

    shared().AppFolder = home.path() + QStringLiteral("/.local/share/Vorlan/");
    shared().AppDir = shared().AppFolder;
    frmMain *main = Forms::get<frmMain>();
    main->tmrNW->stop();
    main->show();
    QCoreApplication::processEvents();

    const long before = residentKiB();
    std::vector<double> perWindow;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer timer;
        timer.start();
        NewWindow(QStringLiteral("about:blank"));
        QCoreApplication::processEvents();
        perWindow.push_back(timer.nsecsElapsed() / 1e6);
    }
    // Let the engine settle so the memory figure includes the rendered windows.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const long after = residentKiB();
    const int open = shared().WindowCount;

    QElapsedTimer closing;
    closing.start();
    main->mdiArea->closeAllSubWindows();
    QCoreApplication::processEvents();
    const double closeMs = closing.nsecsElapsed() / 1e6;

    std::sort(perWindow.begin(), perWindow.end());
    std::printf("windows opened:          %d (open: %d)\n", count, open);
    std::printf("median ms per window:    %.2f\n", perWindow[perWindow.size() / 2]);
    std::printf("resident KiB before:     %ld\n", before);
    std::printf("resident KiB after:      %ld\n", after);
    std::printf("resident KiB per window: %.1f\n", double(after - before) / count);
    std::printf("ms to close them all:    %.2f\n", closeMs);
    main->close();
    return 0;
}
