#include "Waits.h"
#include "app/frmMain.h"
#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ListView.h"

#include "ProgramRun.h"

#include <QComboBox>
#include <QDebug>
#include <QLineEdit>
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

// Where the search pane shows its text field and, after the same search, its rows, in
// the main window's coordinates: the same window built in this process over the same
// home, searched, measured and closed again.
struct SearchLayout
{
    QPoint textField;
    std::map<QString, QPoint> rows; // by file name
    bool measured = false;

    static SearchLayout measure(const QSize &size, const QString &documents, const QString &text)
    {
        QTemporaryDir probeFolder;
        const QString programFolder = std::exchange(shared().AppFolder, probeFolder.path() + QLatin1Char('/'));
        shared().AppDir = shared().AppFolder;
        shared().PersonalDir = documents;
        frmMain *probe = Forms::get<frmMain>();
        probe->tmrNW->stop();
        probe->LoadSettings();
        probe->show();
        SearchLayout layout;
        layout.measured = waitFor([&] { return probe->size() == size; }, 15000);
        probe->mnuViewPane_Click(3);
        QLineEdit *field = probe->comText->lineEdit();
        layout.textField = field->mapTo(probe, field->rect().center());
        field->setText(text);
        probe->StartSearch();
        const bool ended = waitFor([&] { return !probe->SearchRunning; }, 20000);
        if (!layout.measured || !ended)
            qWarning() << "probe: size" << probe->size() << "wanted" << size << "search ended" << ended;
        layout.measured = layout.measured && ended;
        QTreeWidget *list = probe->lstResults->treeWidget();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem *row = list->topLevelItem(i);
            layout.rows[row->text(0)] = list->viewport()->mapTo(probe, list->visualItemRect(row).center());
        }
        probe->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        shared().AppFolder = programFolder;
        return layout;
    }
};

// A new user searches the documents for a Czech word in capitals, finds the UTF-8 and
// the Windows-1250 page, opens one with the left button and not with the right one.
TEST_F(TempEnvTest, SearchFindsPagesAndOpensThemWithTheLeftButton)
{
    const QString docs = env.path(QStringLiteral("home/Documents"));
    env.writeFile(QStringLiteral("home/Documents/a/x.html"),
                  "<html><head><meta charset=\"utf-8\"><title>Příliš žluťoučký kůň</title></head><body>1</body></html>");
    env.writeFile(QStringLiteral("home/Documents/y.html"), "<html><title>Okno</title><body>p\xF8\xEDli\x9A</body></html>");
    env.writeFile(QStringLiteral("home/Documents/z.html"), "<html><title>Zet</title><body>nic</body></html>");

    ProgramRun run(env);
    ASSERT_TRUE(run.start({}));
    ASSERT_TRUE(run.waitForWindow(caption(QStringLiteral("about:blank"))));
    const QSize size = run.mainWindowSize();
    ASSERT_FALSE(size.isEmpty());
    const SearchLayout pane = SearchLayout::measure(size, docs, QStringLiteral("PŘÍLIŠ"));
    ASSERT_TRUE(pane.measured);
    ASSERT_EQ(pane.rows.size(), 2u);
    ASSERT_TRUE(run.activateMainWindow());
    const auto click = [&](const QPoint &point) { return ProgramRun::click(run.mainWindow(), point); };

    // View menu, "Hledat soubory".
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("alt+z")}));
    QThread::msleep(300);
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
                                 QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    QThread::msleep(500);
    ASSERT_TRUE(click(pane.textField));
    // Letters beyond ASCII by their key names: typing them as text loses some.
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("P"), QStringLiteral("Rcaron"), QStringLiteral("Iacute"),
                                 QStringLiteral("L"), QStringLiteral("I"), QStringLiteral("Scaron"),
                                 QStringLiteral("Return")}));
    QThread::msleep(1000);

    // The right button opens the menu, not the page.
    const QPoint x = pane.rows.at(QStringLiteral("x.html"));
    bool moved = false;
    ProgramRun::xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), run.mainWindow(), QString::number(x.x()),
                         QString::number(x.y()), QStringLiteral("click"), QStringLiteral("3")},
                        &moved);
    ASSERT_TRUE(moved);
    QThread::msleep(1000);
    EXPECT_TRUE(run.waitForWindow(caption(QStringLiteral("about:blank")), 100)) << "the right button opened the row";
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Escape")}));
    QThread::msleep(300);

    ASSERT_TRUE(click(pane.rows.at(QStringLiteral("x.html"))));
    ASSERT_TRUE(run.waitForWindow(caption(QStringLiteral("Příliš žluťoučký kůň"))));
    ASSERT_TRUE(click(pane.rows.at(QStringLiteral("y.html"))));
    ASSERT_TRUE(run.waitForWindow(caption(QStringLiteral("Okno"))));

    ASSERT_TRUE(run.close()) << run.output().toStdString() << run.exitSummary().toStdString();
}

} // namespace
