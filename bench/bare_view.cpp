// The smallest program that shows one engine view: the yardstick of bench_startup.
//   bench_bare_view URL [WAIT_MS]
// With WAIT_MS the view is created only after that many milliseconds, the engine left
// cold meanwhile, as a program that opens its first window from a timer would. The
// window takes the page's title.
#include <QApplication>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QUrl url(QString::fromLocal8Bit(argv[1]));
    const int waitMs = argc > 2 ? atoi(argv[2]) : 0;
    QWebEngineView *view = nullptr;
    QTimer::singleShot(waitMs, [&] {
        view = new QWebEngineView;
        QObject::connect(view, &QWebEngineView::titleChanged, view, &QWidget::setWindowTitle);
        view->resize(1000, 700);
        view->load(url);
        view->show();
    });
    const int result = app.exec();
    delete view;
    return result;
}
