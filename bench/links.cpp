// Link capture on big local pages: the time from the capture command to the filled,
// visible list, and the time to write the captured-links page. Each workload runs five
// times; the median is compared with the goal. The saved page is checked against the
// digest in links-baseline.txt (its title line, which carries the time of saving,
// left out), so a faster capture can be seen to list exactly the same.
//
//   xvfb-run -a ./bench/bench_links                  figures and goals
//   xvfb-run -a ./bench/bench_links --write-baseline  records the digests anew
#include "TestEnvironment.h"

#include "app/OpenSave.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ListView.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr int kDeadlineMs = 600000;
constexpr int kRuns = 5;
const QString kBaselineFile = QStringLiteral(VORLAN_BENCH_DIR "/links-baseline.txt");

QByteArray linksPage(int count, const QByteArray &prefix)
{
    QByteArray html = "<html><head><title>Links</title></head><body>\n";
    html.reserve(count * 60);
    for (int i = 0; i < count; ++i) {
        html += "<a href=\"http://127.0.0.1:1/" + prefix + QByteArray::number(i) + "\">Link " + QByteArray::number(i) + "</a>";
        html += (i % 10 == 9) ? "<br>\n" : " ";
    }
    return html + "</body></html>\n";
}

QByteArray framesPage(int frames)
{
    QByteArray html = "<html><head><title>Frames</title></head><body>\n";
    for (int i = 0; i < frames; ++i)
        html += "<iframe src=\"frame" + QByteArray::number(i) + ".htm\"></iframe>\n";
    return html + "</body></html>\n";
}

bool load(frmMain *main, const QString &path)
{
    NewWindow(QUrl::fromLocalFile(path).toString());
    frmWeb *window = main->ActiveForm();
    if (!window)
        return false;
    BrowserControl *web = window->Web;
    const QString name = QFileInfo(path).fileName();
    if (!QTest::qWaitFor([&] { return web->LocationURL().endsWith(name) && !web->Busy(); }, kDeadlineMs))
        return false;
    // The window is done with the page before its frames are, and the page is drawn
    // after that: a capture is measured on the page as a user sees it, loaded whole and
    // drawn (two animation frames have passed).
    const auto ask = [&](const QString &script) {
        QVariant result;
        bool answered = false;
        web->runScript(script, [&](const QVariant &value) {
            result = value;
            answered = true;
        }, ScriptWorld::Application);
        static_cast<void>(QTest::qWaitFor([&] { return answered; }, kDeadlineMs));
        return result;
    };
    if (!QTest::qWaitFor([&] { return ask(QStringLiteral("document.readyState")).toString() == QLatin1String("complete"); },
                         kDeadlineMs))
        return false;
    ask(QStringLiteral("window.drawn = false;"
                       "requestAnimationFrame(function () { requestAnimationFrame(function () { window.drawn = true; }); });"));
    return QTest::qWaitFor([&] { return ask(QStringLiteral("window.drawn")).toBool(); }, kDeadlineMs);
}

// The saved page's digest without its title line, and with the temporary folder of the
// pages, which differs from run to run, replaced by a fixed word.
QByteArray pageDigest(QByteArray bytes, const QString &pagesFolder)
{
    const qsizetype titleStart = bytes.indexOf("\r\n") + 2;
    const qsizetype titleEnd = bytes.indexOf("\r\n", titleStart);
    if (titleStart < 2 || titleEnd < 0)
        return {};
    bytes.remove(titleStart, titleEnd - titleStart);
    bytes.replace(QUrl::fromLocalFile(pagesFolder).toEncoded(), "PAGES");
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

std::map<QByteArray, QByteArray> readBaseline()
{
    std::map<QByteArray, QByteArray> digests;
    QFile file(kBaselineFile);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> parts = line.trimmed().split(' ');
            if (parts.size() == 2)
                digests[parts[0]] = parts[1];
        }
    }
    return digests;
}

struct Result
{
    std::vector<qint64> captureMs;
    qint64 saveMs = 0;
    int links = 0;
    QByteArray digest;
};

Result measure(frmMain *main, const TestEnvironment &env, const QString &page)
{
    Result result;
    for (int run = 0; run < kRuns; ++run) {
        main->lstLinks->clear();
        if (!load(main, page))
            return result;
        bool finished = false;
        const auto connection = QObject::connect(main, &frmMain::linksCaptureFinished, [&] { finished = true; });
        QElapsedTimer timer;
        timer.start();
        main->CaptureLinks(1);
        if (!QTest::qWaitFor([&] { return finished; }, kDeadlineMs))
            std::printf("capture did not finish\n");
        // The list is filled when it has painted its rows.
        QCoreApplication::processEvents();
        result.captureMs.push_back(timer.elapsed());
        QObject::disconnect(connection);
        result.links = main->lstLinks->count();
        if (run == kRuns - 1) {
            const QString target = env.path(QStringLiteral("saved/%1.htm").arg(QFileInfo(page).completeBaseName()));
            QFile::remove(target);
            OpenSave::setDialog([&](const SaveDialogRequest &) { return SaveDialogAnswer{true, target, 1}; });
            timer.restart();
            main->SaveCapturedLinks(1);
            result.saveMs = timer.elapsed();
            OpenSave::setDialog({});
            result.digest = pageDigest(TestEnvironment::readFile(target), QFileInfo(page).absolutePath());
        }
        main->ActiveForm()->close();
        QCoreApplication::processEvents();
    }
    return result;
}

qint64 median(std::vector<qint64> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString runsText(const std::vector<qint64> &values)
{
    QStringList parts;
    for (const qint64 v : values)
        parts << QString::number(v);
    return parts.join(QLatin1Char(' '));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    const bool writeBaseline = app.arguments().contains(QStringLiteral("--write-baseline"));
    TestEnvironment env;
    resetWindowTable();

    const QString single = env.writeFile(QStringLiteral("pages/links.htm"), linksPage(100000, "p"));
    for (int i = 0; i < 10; ++i)
        env.writeFile(QStringLiteral("pages/frame%1.htm").arg(i), linksPage(10000, "f" + QByteArray::number(i) + "-"));
    const QString framed = env.writeFile(QStringLiteral("pages/frames.htm"), framesPage(10));

    frmMain *main = Forms::get<frmMain>();
    main->tmrNW->stop();
    main->show();
    main->mnuViewPane_Click(4); // the list is visible while it fills

    const struct
    {
        const char *name;
        const char *label;
        QString page;
        qint64 goalMs;
    } workloads[] = {
        {"single", "one page, 100000 links", single, 500},
        {"frames", "10 frames of 10000 links", framed, 600},
    };
    const std::map<QByteArray, QByteArray> baseline = readBaseline();
    QByteArray newBaseline;
    for (const auto &w : workloads) {
        const Result r = measure(main, env, w.page);
        const qint64 m = median(r.captureMs);
        const auto known = baseline.find(w.name);
        const char *same = known == baseline.end() ? "none recorded" : (known->second == r.digest ? "identical" : "DIFFERENT");
        std::printf("%-26s %6d links  capture median %5lld ms (runs: %s)  goal <= %lld ms: %s\n", w.label, r.links,
                    static_cast<long long>(m), qPrintable(runsText(r.captureMs)), static_cast<long long>(w.goalMs),
                    m >= 0 && m <= w.goalMs ? "met" : "missed");
        std::printf("%-26s saved page %lld ms; against the baseline: %s\n", "", static_cast<long long>(r.saveMs), same);
        newBaseline += QByteArray(w.name) + ' ' + r.digest + '\n';
    }
    if (writeBaseline) {
        QFile file(kBaselineFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(newBaseline);
        std::printf("baseline written to %s\n", qPrintable(kBaselineFile));
    }
    main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
