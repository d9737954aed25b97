#include "ProgramRun.h"

#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "platform/Forms.h"
#include "platform/TabStrip.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QTabBar>
#include <QTest>
#include <QTimer>

namespace {

// Drives the real program with keys and the mouse: three windows, switched with the
// window tabs and with the Window menu. The frame names the maximised child window in
// its caption, which is what the checks read.
class WindowsEndToEnd : public TempEnvTest
{
protected:
    // A page that is one big link opening the next page in a new window.
    QString page(const char *name, const char *title, const char *next)
    {
        return env.writeFile(QStringLiteral("pages/%1.html").arg(QString::fromLatin1(name)),
                             QByteArray("<title>") + title + "</title><a href=\"" + next +
                                 "\" target=\"_blank\" style=\"display:block;height:4000px\">" + title + "</a>");
    }

    static QString caption(const char *child)
    {
        return QStringLiteral("^Vorlan - \\[%1\\]$").arg(QString::fromLatin1(child));
    }

    // Where the first window tab and the middle of the window area lie in the program's
    // main window: the same window built in this process from the same settings, shown
    // under the same window manager until it has the same size, measured, and closed.
    bool measure(const QSize &size)
    {
        frmMain *probe = Forms::get<frmMain>();
        probe->tmrNW->stop();
        probe->LoadSettings();
        probe->show();
        probe->tbsWindows->add(WindowTabKey(1), QStringLiteral("Jedna"));
        const bool sameSize = QTest::qWaitFor([&] { return probe->size() == size; });
        QCoreApplication::processEvents();
        auto *bar = probe->tbsWindows->findChild<QTabBar *>();
        const QRect tab = bar->tabRect(0);
        m_firstTab = bar->mapTo(probe, QPoint(tab.left() + 10, tab.center().y()));
        m_windowArea = probe->mdiArea->mapTo(probe, probe->mdiArea->rect().center());
        probe->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return sameSize;
    }

    // The open menu is a window of its own: these keys go to whatever has the focus.
    static bool windowMenu(const QString &mnemonic)
    {
        return ProgramRun::key({QStringLiteral("alt+o"), mnemonic, QStringLiteral("Return")});
    }

    QPoint m_firstTab;
    QPoint m_windowArea;
};

TEST_F(WindowsEndToEnd, ThreeWindowsSwitchedByTabAndByTheWindowMenu)
{
    const QString first = page("one", "Jedna", "two.html");
    page("two", "Dva", "one.html");
    ProgramRun run(env);
    ASSERT_TRUE(run.start({first}));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - ")));
    ASSERT_TRUE(run.waitForWindow(caption("Jedna")));
    ASSERT_TRUE(run.activateMainWindow());
    ASSERT_TRUE(measure(ProgramRun::geometryOf(run.mainWindow()).size()));

    // Window 2 from the page's link, window 3 from the keyboard.
    ASSERT_TRUE(ProgramRun::click(run.mainWindow(), m_windowArea));
    ASSERT_TRUE(run.waitForWindow(caption("Dva")));
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("F9")}));
    ASSERT_TRUE(run.waitForWindow(caption("about:blank")));

    ASSERT_TRUE(ProgramRun::click(run.mainWindow(), m_firstTab));
    EXPECT_TRUE(run.waitForWindow(caption("Jedna"))) << "the first tab shows the first window";

    // "Ná&sledující" shares its letter with "&Srovnat ikony": the first press only selects it.
    ASSERT_TRUE(windowMenu(QStringLiteral("s")));
    EXPECT_TRUE(run.waitForWindow(caption("Dva")));
    ASSERT_TRUE(windowMenu(QStringLiteral("s")));
    EXPECT_TRUE(run.waitForWindow(caption("about:blank")));
    ASSERT_TRUE(windowMenu(QStringLiteral("s")));
    EXPECT_TRUE(run.waitForWindow(caption("Jedna"))) << "after the last window comes the first";
    ASSERT_TRUE(windowMenu(QStringLiteral("p")));
    EXPECT_TRUE(run.waitForWindow(caption("about:blank"))) << "before the first window comes the last";

    ASSERT_TRUE(run.close()) << run.output().toStdString() << " exit " << run.exitSummary().toStdString();
}

} // namespace
