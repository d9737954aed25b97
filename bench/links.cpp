// Link capture on big local pages: the time from the capture command to the filled
// list, and the time to write the captured-links page. Prints the figures.
//
//   xvfb-run -a ./bench/bench_links
#include "TestEnvironment.h"

#include "app/OpenSave.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/BrowserControl.h"
#include "platform/Forms.h"
#include "platform/ListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

constexpr int kDeadlineMs = 600000;

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
    return QTest::qWaitFor([&] { return web->LocationURL().endsWith(name) && !web->Busy(); }, kDeadlineMs);
}

void measure(frmMain *main, const TestEnvironment &env, const char *name, const QString &page)
{
    main->lstLinks->clear();
    if (!load(main, page)) {
        std::printf("%-28s page did not load\n", name);
        return;
    }
    bool finished = false;
    const auto connection = QObject::connect(main, &frmMain::linksCaptureFinished, [&] { finished = true; });
    QElapsedTimer timer;
    timer.start();
    main->CaptureLinks(1);
    QTest::qWaitFor([&] { return finished; }, kDeadlineMs);
    const qint64 captureMs = timer.elapsed();
    QObject::disconnect(connection);

    const QString target = env.path(QStringLiteral("saved/%1.htm").arg(QLatin1String(name)));
    OpenSave::setDialog([&](const SaveDialogRequest &) { return SaveDialogAnswer{true, target, 1}; });
    timer.restart();
    main->SaveCapturedLinks(1);
    const qint64 saveMs = timer.elapsed();
    OpenSave::setDialog({});

    std::printf("%-28s %7d links  capture %7lld ms  save %6lld ms  (%lld bytes)\n", name, main->lstLinks->count(),
                static_cast<long long>(captureMs), static_cast<long long>(saveMs),
                static_cast<long long>(QFileInfo(target).size()));
    main->ActiveForm()->close();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestEnvironment env;
    resetWindowTable();

    const QString single = env.writeFile(QStringLiteral("pages/links.htm"), linksPage(100000, "p"));
    for (int i = 0; i < 10; ++i)
        env.writeFile(QStringLiteral("pages/frame%1.htm").arg(i), linksPage(10000, "f" + QByteArray::number(i) + "-"));
    const QString framed = env.writeFile(QStringLiteral("pages/frames.htm"), framesPage(10));

    frmMain *main = Forms::get<frmMain>();
    main->tmrNW->stop();
    main->show();
    measure(main, env, "one page, 100000 links", single);
    measure(main, env, "10 frames of 10000 links", framed);
    main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
