// What each further browser window costs in memory: the PSS of the whole process tree
// (the program and every engine helper below it, from /proc/PID/smaps_rollup) with the
// first window open and with 1, 10 and 50 further windows, for blank windows and for
// windows of distinct sites, under each of the engine's process models. Prints the
// figures and the goal; it never fails.
//   xvfb-run -a ./bench/bench_windows                     every model, both kinds
//   xvfb-run -a ./bench/bench_windows MODEL KIND           one (default|site|limit, blank|sites)
#include "TestEnvironment.h"

#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/Forms.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <map>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDeadlineMs = 60000;
const int kCheckpoints[] = {1, 10, 50};

struct Model
{
    const char *name;
    const char *flag;
    const char *label;
};
const Model kModels[] = {
    {"default", "", "the engine's default"},
    {"site", "--process-per-site", "one process per site"},
    {"limit", "--renderer-process-limit=4", "at most 4 renderer processes"},
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The process and all its descendants: PSS in KiB and how many helpers run below it
// (renderers are forked from the engine's zygote and carry its command line, so they
// are counted with it).
struct TreeMemory
{
    long pssKiB = 0;
    int helpers = 0;
};

TreeMemory treeMemory(qint64 root)
{
    std::map<qint64, qint64> parents;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
        const qsizetype end = stat.lastIndexOf(')');
        if (end < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(end + 2).split(' ');
        if (fields.size() > 1)
            parents[pid] = fields.at(1).toLongLong();
    }
    TreeMemory memory;
    for (const auto &[pid, parent] : parents) {
        qint64 ancestor = pid;
        while (ancestor > 1 && ancestor != root)
            ancestor = parents.count(ancestor) ? parents[ancestor] : 0;
        if (ancestor != root)
            continue;
        for (const QByteArray &line : readFile(QStringLiteral("/proc/%1/smaps_rollup").arg(pid)).split('\n')) {
            if (line.startsWith("Pss:"))
                memory.pssKiB += line.mid(4).trimmed().split(' ').value(0).toLong();
        }
        if (pid != root)
            ++memory.helpers;
    }
    return memory;
}

// One small page per site: 127.0.0.2, 127.0.0.3, ... are sites of their own.
class Sites
{
public:
    explicit Sites(int count)
    {
        for (int i = 0; i < count; ++i) {
            auto server = std::make_unique<QTcpServer>();
            if (!server->listen(QHostAddress(QStringLiteral("127.0.0.%1").arg(i + 2))))
                continue;
            QTcpServer *raw = server.get();
            QObject::connect(raw, &QTcpServer::newConnection, raw, [raw, i] {
                while (QTcpSocket *socket = raw->nextPendingConnection()) {
                    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, i] {
                        socket->readAll();
                        const QByteArray body = "<html><head><title>Site " + QByteArray::number(i)
                                                + "</title></head><body><p>Site</p></body></html>";
                        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                                      + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                        socket->disconnectFromHost();
                    });
                }
            });
            m_urls << QStringLiteral("http://127.0.0.%1:%2/").arg(i + 2).arg(server->serverPort());
            m_servers.push_back(std::move(server));
        }
    }
    QString url(int i) const { return m_urls.value(i); }

private:
    std::vector<std::unique_ptr<QTcpServer>> m_servers;
    QStringList m_urls;
};

bool allLoaded(frmMain *main)
{
    for (QMdiSubWindow *sub : main->mdiArea->subWindowList()) {
        auto *web = qobject_cast<frmWeb *>(sub->widget());
        if (web && web->Web->Busy())
            return false;
    }
    return true;
}

void settle(frmMain *main)
{
    static_cast<void>(QTest::qWaitFor([&] { return allLoaded(main); }, kDeadlineMs));
    QTest::qWait(1500);
}

int measureOne(const QString &model, const QString &kind)
{
    TestEnvironment env;
    resetWindowTable();
    const bool sites = kind == QLatin1String("sites");
    const int most = kCheckpoints[std::size(kCheckpoints) - 1];
    Sites servers(sites ? most : 0);
    frmMain *main = Forms::get<frmMain>();
    main->tmrNW->stop();
    main->show();
    NewWindow(sites ? QStringLiteral("http://127.0.0.1:1/") : QStringLiteral("about:blank"));
    settle(main);
    const qint64 self = QCoreApplication::applicationPid();
    const TreeMemory first = treeMemory(self);
    std::printf("%-8s %-6s first window: %7.1f MiB PSS, %2d helper processes\n", qPrintable(model), qPrintable(kind),
                first.pssKiB / 1024.0, first.helpers);
    int open = 0;
    for (const int checkpoint : kCheckpoints) {
        while (open < checkpoint) {
            NewWindow(sites ? servers.url(open) : QStringLiteral("about:blank"));
            ++open;
            QCoreApplication::processEvents();
        }
        settle(main);
        const TreeMemory now = treeMemory(self);
        std::printf("%-8s %-6s +%2d windows: %7.1f MiB PSS, %2d helper processes, %5.1f MiB per further window\n",
                    qPrintable(model), qPrintable(kind), checkpoint, now.pssKiB / 1024.0, now.helpers,
                    (now.pssKiB - first.pssKiB) / 1024.0 / checkpoint);
        std::fflush(stdout);
    }
    main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3) {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
        QApplication app(argc, argv);
        return measureOne(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    }
    // Each process model is fixed when the engine starts: one process per measurement.
    QCoreApplication app(argc, argv);
    const QByteArray baseFlags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const Model &model : kModels) {
        std::printf("== %s (%s)\n", model.label, *model.flag ? model.flag : "no flag");
        std::fflush(stdout);
        for (const char *kind : {"blank", "sites"}) {
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
                               QString::fromLocal8Bit(baseFlags + ' ' + model.flag).trimmed());
            if (geteuid() == 0)
                environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
            child.setProcessEnvironment(environment);
            child.setStandardErrorFile(QProcess::nullDevice());
            child.start(QCoreApplication::applicationFilePath(), {QLatin1String(model.name), QLatin1String(kind)});
            child.waitForFinished(600000);
            const QByteArray output = child.readAllStandardOutput();
            std::fwrite(output.constData(), 1, size_t(output.size()), stdout);
        }
    }
    std::printf("goal: <= 10 MiB PSS per further blank window, never two sites' pages in one process\n");
    return 0;
}
