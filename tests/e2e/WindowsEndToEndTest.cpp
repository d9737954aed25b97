#include "ProgramRun.h"

#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "platform/Forms.h"
#include "platform/TabStrip.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QRegularExpression>
#include <QTabBar>
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

    bool keys(const QStringList &sequence)
    {
        bool ok = false;
        ProgramRun::xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--window"), m_window} + sequence, &ok);
        return ok;
    }

    void findMainWindow(ProgramRun &run)
    {
        m_window = ProgramRun::xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                        QString::number(run.pid()), QStringLiteral("--name"), QStringLiteral("^Vorlan")})
                           .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                           .value(0);
    }

    QSize mainWindowSize() const
    {
        const QString geometry = ProgramRun::xdotool({QStringLiteral("getwindowgeometry"), m_window});
        const auto match = QRegularExpression(QStringLiteral("Geometry: (\\d+)x(\\d+)")).match(geometry);
        return QSize(match.captured(1).toInt(), match.captured(2).toInt());
    }

    // Where the first window tab and the middle of the window area lie in a main window
    // of that size: the same layout built in this process, measured, and closed again.
    void measure(const QSize &size)
    {
        frmMain *probe = Forms::get<frmMain>();
        probe->tmrNW->stop();
        probe->resize(size);
        probe->show();
        probe->tbsWindows->add(WindowTabKey(1), QStringLiteral("Jedna"));
        QCoreApplication::processEvents();
        auto *bar = probe->tbsWindows->findChild<QTabBar *>();
        const QRect tab = bar->tabRect(0);
        m_firstTab = bar->mapTo(probe, QPoint(tab.left() + 10, tab.center().y()));
        m_windowArea = probe->mdiArea->mapTo(probe, probe->mdiArea->rect().center());
        probe->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    bool click(const QPoint &point)
    {
        // The pointer lands on the point whatever xdotool reports for the move itself.
        ProgramRun::xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), m_window,
                             QString::number(point.x()), QString::number(point.y())});
        bool ok = false;
        ProgramRun::xdotool({QStringLiteral("click"), QStringLiteral("1")}, &ok);
        return ok;
    }

    // The open menu is a window of its own: these keys go to whatever has the focus.
    bool windowMenu(const QString &mnemonic)
    {
        bool ok = false;
        ProgramRun::xdotool({QStringLiteral("key"), QStringLiteral("alt+o"), mnemonic, QStringLiteral("Return")}, &ok);
        return ok;
    }

    QString m_window;
    QPoint m_firstTab;
    QPoint m_windowArea;
};

TEST_F(WindowsEndToEnd, ThreeWindowsSwitchedByTabAndByTheWindowMenu)
{
    const QString first = page("one", "Jedna", "two.html");
    page("two", "Dva", "one.html");
    ProgramRun run(env);
    ASSERT_TRUE(run.start({first}));
    ASSERT_TRUE(run.waitForWindow(caption("Jedna"))) << run.output().toStdString();
    findMainWindow(run);
    ASSERT_FALSE(m_window.isEmpty());
    measure(mainWindowSize());

    // Window 2 from the page's link, window 3 from the keyboard; the click also makes the
    // frame the active window, which without a window manager only a click does.
    ASSERT_TRUE(click(m_windowArea));
    ASSERT_TRUE(run.waitForWindow(caption("Dva"))) << run.output().toStdString();
    ASSERT_TRUE(keys({QStringLiteral("F9")}));
    ASSERT_TRUE(run.waitForWindow(caption("about:blank"))) << run.output().toStdString();

    ASSERT_TRUE(click(m_firstTab));
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
