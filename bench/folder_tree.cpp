// Expanding, collapsing and expanding again a folder of 100,000 files in the folder
// tree, each timed until the tree has painted the result, with the longest gap of a
// 10 ms timer meanwhile (how long the window did not answer). Beside it the floor:
// `ls -f | wc -l` on the same folder. Goal: each step 0.5 s or less.
//   bench_folder_tree [files]
#include "BenchFigures.h"
#include "TestEnvironment.h"

#include "files/FolderTreeLoader.h"
#include "files/FolderTreeModel.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/TreeView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace {

constexpr double kGoalMs = 500;

// Counts the paints of a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Figures
{
    qint64 elapsedMs;
    qint64 longestGapMs;
};

// Runs the step on the next turn of the loop and waits until the viewport has painted
// after it; a 10 ms timer measures the longest time the loop did not answer.
Figures timed(QWidget *viewport, PaintCounter &counter, const std::function<void()> &step)
{
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticks;
    ticks.setInterval(10);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
    });
    bool done = false;
    int paintsBefore = 0;
    QTimer::singleShot(0, [&] {
        clock.start();
        sinceTick.start();
        ticks.start();
        step();
        paintsBefore = counter.paints;
        viewport->update();
    });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        done = clock.isValid() && counter.paints > paintsBefore;
    }
    const qint64 elapsed = clock.elapsed();
    longestGap = std::max(longestGap, sinceTick.elapsed());
    return {elapsed, longestGap};
}

void print(const char *what, const Figures &f)
{
    std::printf("%-28s %7lld ms   longest gap %5lld ms   goal <= %.0f ms: %s\n", what, f.elapsedMs, f.longestGapMs,
                kGoalMs, f.elapsedMs <= kGoalMs && f.longestGapMs <= kGoalMs ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    TestEnvironment env;
    const QString dir = env.path("big");
    makeManyFiles(dir, count);

    QElapsedTimer floor;
    floor.start();
    QProcess ls;
    ls.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("ls -f \"$0\" | wc -l"), dir});
    ls.waitForFinished();
    const qint64 floorMs = floor.elapsed();

    ImageList images;
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::yellow);
    for (const QString &key : FolderTree::imageKeys())
        images.add(key, QIcon(pixmap));
    TreeView tree;
    tree.setImageList(&images);
    FolderTreeLoader loader(tree);
    const QString pattern = QStringLiteral("*.html;*.htm;*.txt");
    QObject::connect(&tree, &TreeView::expanded, [&](TreeNode n) { loader.expand(n, pattern, QString()); });
    QObject::connect(&tree, &TreeView::collapsed, [&](TreeNode n) { loader.collapse(n); });
    tree.addRoot(dir, QStringLiteral("big"), QStringLiteral("closed")).setTag(FolderTree::TagDir);
    tree.add(dir, TreeRelation::LastChild, QString(), QString());
    tree.resize(400, 700);
    tree.show();
    PaintCounter counter;
    QWidget *viewport = tree.treeWidget()->viewport();
    viewport->installEventFilter(&counter);
    QCoreApplication::processEvents();

    std::printf("folder of %d files\n", count);
    std::printf("%-28s %7lld ms   (%s entries)\n", "ls -f | wc -l (the floor)", floorMs,
                ls.readAllStandardOutput().trimmed().constData());
    const TreeNode node = tree.node(dir);
    print("expand", timed(viewport, counter, [&] { node.setExpanded(true); }));
    std::printf("%-28s %7d\n", "nodes shown", node.children());
    print("collapse", timed(viewport, counter, [&] { node.setExpanded(false); }));
    print("expand again", timed(viewport, counter, [&] { node.setExpanded(true); }));
    return 0;
}
