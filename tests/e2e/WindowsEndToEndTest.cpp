#include "MainWindowLayout.h"
#include "ProgramRun.h"

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

    // The open menu is a window of its own: these keys go to whatever has the focus.
    static bool windowMenu(const QString &mnemonic)
    {
        return ProgramRun::key({QStringLiteral("alt+o"), mnemonic, QStringLiteral("Return")});
    }
};

TEST_F(WindowsEndToEnd, ThreeWindowsSwitchedByTabAndByTheWindowMenu)
{
    const QString first = page("one", "Jedna", "two.html");
    page("two", "Dva", "one.html");
    ProgramRun run(env);
    ASSERT_TRUE(run.start({first}));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - ")));
    ASSERT_TRUE(run.waitForWindow(caption("Jedna")));
    const MainWindowLayout layout = MainWindowLayout::measure(run.mainWindowSize());
    ASSERT_TRUE(layout.measured);
    ASSERT_TRUE(run.activateMainWindow());

    // Window 2 from the page's link, window 3 from the keyboard.
    ASSERT_TRUE(ProgramRun::click(run.mainWindow(), layout.windowArea));
    ASSERT_TRUE(run.waitForWindow(caption("Dva")));
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("F9")}));
    ASSERT_TRUE(run.waitForWindow(caption("about:blank")));

    ASSERT_TRUE(ProgramRun::click(run.mainWindow(), layout.firstTab));
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
