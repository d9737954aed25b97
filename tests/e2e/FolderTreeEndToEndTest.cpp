#include "Waits.h"
#include "app/frmMain.h"
#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/StatusPanel.h"
#include "platform/controls/TreeView.h"

#include "MainWindowLayout.h"
#include "ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <map>
#include <utility>

namespace {

QString caption(const QString &child)
{
    return QStringLiteral("^Vorlan - \\[%1\\]$").arg(child);
}

// Where the folders-and-files pane shows the documents folder's rows once it is
// expanded, and its lock panel, in the main window's coordinates: the same window built
// in this process over the same home, measured and closed again.
struct TreeLayout
{
    QPoint documentsExpander;
    std::map<QString, QPoint> rows; // by file name, in the order the tree shows them
    QPoint navPanel;
    QPoint emptyTree;
    bool measured = false;

    static TreeLayout measure(const QSize &size, const QString &documents, const QString &desktop)
    {
        QTemporaryDir probeFolder;
        const QString programFolder = std::exchange(shared().AppFolder, probeFolder.path() + QLatin1Char('/'));
        shared().AppDir = shared().AppFolder;
        shared().PersonalDir = documents;
        shared().DesktopDir = desktop;
        frmMain *probe = Forms::get<frmMain>();
        probe->tmrNW->stop();
        probe->LoadSettings();
        probe->show();
        TreeLayout layout;
        layout.measured = waitFor([&] { return probe->size() == size; });
        probe->mnuViewPane_Click(2);
        TreeView *tree = probe->trwPath;
        if (tree->contains(desktop))
            tree->remove(desktop); // the program's tree drops it when it first gets the focus
        QCoreApplication::processEvents();
        QTreeWidget *widget = tree->treeWidget();
        const auto centre = [&](const QString &key) {
            const auto items = widget->findItems(tree->node(key).text(), Qt::MatchExactly | Qt::MatchRecursive);
            const QRect rect = widget->visualItemRect(items.value(0));
            return std::make_pair(rect, widget->viewport()->mapTo(probe, rect.center()));
        };
        const auto [documentsRect, documentsCentre] = centre(documents);
        layout.documentsExpander = widget->viewport()->mapTo(
                probe, QPoint(documentsRect.left() - widget->indentation() / 2, documentsRect.center().y()));
        tree->node(documents).setExpanded(true);
        QCoreApplication::processEvents();
        for (const QString &name : QDir(documents).entryList(QDir::Files))
            layout.rows[name] = centre(documents + QLatin1Char('/') + name).second;
        StatusPanel &nav = probe->sbFileBar->panel(QStringLiteral("nav"));
        layout.navPanel = nav.mapTo(probe, nav.rect().center());
        layout.emptyTree = widget->viewport()->mapTo(probe, QPoint(widget->viewport()->width() / 2,
                                                                   widget->viewport()->height() - 10));
        probe->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        shared().AppFolder = programFolder;
        return layout;
    }
};

// A new user shows the folders-and-files pane, opens documents, shows files by a click,
// locks the tree, renames a file in place (and is refused a taken name), and sees a
// file deleted meanwhile leave the tree.
TEST_F(TempEnvTest, FilesOfTheTreeShowInTheBrowserAndTakeNewNames)
{
    const QString docs = env.path(QStringLiteral("home/Documents"));
    env.writeFile(QStringLiteral("home/Documents/stranka.html"), "<meta charset=\"utf-8\"><title>Zkouška</title><p>1</p>");
    env.writeFile(QStringLiteral("home/Documents/druha.html"), "<meta charset=\"utf-8\"><title>Druhá</title><p>2</p>");
    env.writeFile(QStringLiteral("home/Documents/poznamka.txt"), "text");
    env.writeFile(QStringLiteral("home/.config/Vorlan/Vorlan.conf"), "[Main]\nPattern=*.html;*.htm;*.txt\n");
    const auto exists = [&](const char *name) { return QFile::exists(docs + QLatin1Char('/') + QLatin1String(name)); };

    ProgramRun run(env);
    ASSERT_TRUE(run.start({}));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - ")));
    ASSERT_TRUE(run.waitForWindow(caption(QStringLiteral("about:blank"))));
    const QSize size = run.mainWindowSize();
    ASSERT_FALSE(size.isEmpty());
    const MainWindowLayout main = MainWindowLayout::measure(size);
    const TreeLayout tree = TreeLayout::measure(size, docs, env.path(QStringLiteral("home/Desktop")));
    ASSERT_TRUE(main.measured && tree.measured);
    ASSERT_EQ(tree.rows.size(), 3u);
    ASSERT_TRUE(run.activateMainWindow());
    const auto click = [&](const QPoint &point) { return ProgramRun::click(run.mainWindow(), point); };
    const auto row = [&](const char *name) { return tree.rows.at(QString::fromLatin1(name)); };
    // A second, slower click on the selected file edits its label.
    const auto rename = [&](const char *name, const QString &newName) {
        return click(row(name)) && (QThread::msleep(1000), click(row(name))) && (QThread::msleep(1000), true)
               && ProgramRun::type(newName) && ProgramRun::key({QStringLiteral("Return")});
    };

    // View menu, "Složky a soubory".
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("alt+z")}));
    QThread::msleep(300);
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
                                 QStringLiteral("Down"), QStringLiteral("Return")}));
    QThread::msleep(500);
    ASSERT_TRUE(click(tree.documentsExpander));
    QThread::msleep(500);
    ASSERT_TRUE(click(row("stranka.html")));
    ASSERT_TRUE(run.waitForWindow(caption(QStringLiteral("Zkouška"))));

    // Locked: a click still shows a file, the keyboard only selects.
    ASSERT_TRUE(click(tree.navPanel));
    ASSERT_TRUE(click(row("druha.html")));
    ASSERT_TRUE(run.waitForWindow(caption(QStringLiteral("Druhá"))));
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Down")}));
    QThread::msleep(1500);
    EXPECT_TRUE(run.waitForWindow(caption(QStringLiteral("Druhá")), 100)) << "the locked tree showed poznamka.txt";
    ASSERT_TRUE(click(tree.navPanel));

    ASSERT_TRUE(rename("stranka.html", QStringLiteral("nova.html")));
    ASSERT_TRUE(run.waitFor([&] { return exists("nova.html") && !exists("stranka.html"); }));

    // A taken name: the critical box, both files kept.
    ASSERT_TRUE(rename("druha.html", QStringLiteral("nova.html")));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan$")));
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Return")}));
    ASSERT_TRUE(run.waitFor([&] { return run.windows(QStringLiteral("^Vorlan$")).isEmpty(); }));
    EXPECT_TRUE(exists("druha.html") && exists("nova.html"));

    // A file deleted outside leaves the tree when it gets the focus again: its row
    // then holds the renamed page.
    ASSERT_TRUE(QFile::remove(docs + QStringLiteral("/poznamka.txt")));
    ASSERT_TRUE(click(main.windowArea));
    QThread::msleep(500);
    ASSERT_TRUE(click(tree.emptyTree));
    QThread::msleep(500);
    ASSERT_TRUE(click(row("poznamka.txt")));
    EXPECT_TRUE(run.waitForWindow(caption(QStringLiteral("Zkouška"))));

    ASSERT_TRUE(run.close()) << run.output().toStdString() << run.exitSummary().toStdString();
}

} // namespace
