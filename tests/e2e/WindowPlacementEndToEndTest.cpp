#include "Waits.h"
#include "MainWindowLayout.h"
#include "ProgramRun.h"

#include "app/ProgramIcon.h"
#include "app/frmSplash.h"
#include "platform/controls/Forms.h"
#include "platform/store/SettingsStore.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

#include <QProcess>
#include <QThread>

namespace {

// The main window's place and state across restarts, under a real window manager:
// the window manager frames the window, honours a state only on the window it maps,
// and the frame's native window is replaced once the first page view joins it.
class WindowPlacementEndToEnd : public TempEnvTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ProgramRun::ensureWindowManager());
        page = env.writeFile(QStringLiteral("pages/start.html"), "<title>Start</title><p>Ahoj</p>");
    }

    static void storeNormal(int left, int top, int width, int height)
    {
        const std::pair<const char *, int> values[] = {
            {"WindowState", 0}, {"MainLeft", left}, {"MainTop", top}, {"MainWidth", width}, {"MainHeight", height}};
        for (const auto &[key, value] : values)
            SaveSetting(QStringLiteral("Settings"), QString::fromLatin1(key), value);
    }

    // The main window once the first browser window has opened in it, shown or not.
    static QString mainWindow(const ProgramRun &run, ProgramRun::Visibility visibility = ProgramRun::Visibility::Any)
    {
        return run.windows(QStringLiteral("^Vorlan - \\[Start\\]$"), visibility).value(0);
    }

    // Starts the program, waits for its first browser window and lets the window
    // manager settle; returns the main window.
    QString start(ProgramRun &run)
    {
        if (!run.start({page}))
            return {};
        QString window;
        run.waitFor([&] { return !(window = mainWindow(run)).isEmpty(); });
        QThread::msleep(700);
        return mainWindow(run);
    }

    QString page;
};

TEST_F(WindowPlacementEndToEnd, StartQuitStartLeavesTheWindowWhereItWas)
{
    storeNormal(3000, 3000, 12000, 9000);
    QRect first;
    {
        ProgramRun run(env);
        const QString window = start(run);
        ASSERT_FALSE(window.isEmpty()) << run.output().toStdString();
        first = ProgramRun::geometryOf(window);
        EXPECT_EQ(first.size(), QSize(800, 600));
        ASSERT_TRUE(run.close()) << run.output().toStdString() << run.exitSummary().toStdString();
        EXPECT_EQ(run.stored("Settings/MainLeft"), "3000");
        EXPECT_EQ(run.stored("Settings/MainTop"), "3000");
        EXPECT_EQ(run.stored("Settings/MainWidth"), "12000");
        EXPECT_EQ(run.stored("Settings/MainHeight"), "9000");
    }
    ProgramRun run(env);
    const QString window = start(run);
    ASSERT_FALSE(window.isEmpty()) << run.output().toStdString();
    const QRect second = ProgramRun::geometryOf(window);
    EXPECT_EQ(second, first) << "moved by " << second.x() - first.x() << "," << second.y() - first.y();
    ASSERT_TRUE(run.close()) << run.output().toStdString();
}

// A user moves and resizes the window and hides a bar, quits, starts again and finds
// them as left.
TEST_F(WindowPlacementEndToEnd, TheWindowAndItsBarsComeBackAsTheUserLeftThem)
{
    storeNormal(1500, 1500, 12000, 9000);
    QRect left;
    {
        ProgramRun run(env);
        ASSERT_TRUE(run.start({page}));
        ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - ")));
        ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - \\[Start\\]$")));
        ProgramRun::xdotool({QStringLiteral("windowsize"), QStringLiteral("--sync"), run.mainWindow(),
                             QStringLiteral("900"), QStringLiteral("650")});
        ProgramRun::xdotool({QStringLiteral("windowmove"), QStringLiteral("--sync"), run.mainWindow(),
                             QStringLiteral("150"), QStringLiteral("120")});
        ASSERT_TRUE(run.waitFor([&] { return ProgramRun::geometryOf(run.mainWindow()).size() == QSize(900, 650); }));
        QThread::msleep(500);
        left = ProgramRun::geometryOf(run.mainWindow());

        // View menu, its last item (Up wraps round to it): the window-commands band of the
        // bottom bar. The menu is a window of its own, open and closed again.
        ASSERT_TRUE(run.activateMainWindow());
        const int windows = run.windows(QString()).size();
        ASSERT_TRUE(ProgramRun::key({QStringLiteral("alt+z")}));
        ASSERT_TRUE(run.waitFor([&] { return run.windows(QString()).size() > windows; })) << "the menu opens";
        ASSERT_TRUE(ProgramRun::key({QStringLiteral("Up"), QStringLiteral("Return")}));
        ASSERT_TRUE(run.waitFor([&] { return run.windows(QString()).size() == windows; })) << "the menu closes";
        ASSERT_TRUE(run.close()) << run.output().toStdString() << run.exitSummary().toStdString();
    }
    ProgramRun run(env);
    EXPECT_EQ(run.stored("Settings/WindowState"), "0");
    EXPECT_EQ(run.stored("Settings/BottomToolbar1Visible"), "False");
    EXPECT_EQ(run.stored("Settings/Toolbar2Visible"), "True");

    ASSERT_TRUE(run.start({page}));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - ")));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - \\[Start\\]$")));
    EXPECT_TRUE(run.waitFor([&] { return ProgramRun::geometryOf(run.mainWindow()) == left; }, 5000))
        << "left at " << left.x() << "," << left.y() << " " << left.width() << "x" << left.height() << ", back at "
        << ProgramRun::geometryOf(run.mainWindow()).x() << "," << ProgramRun::geometryOf(run.mainWindow()).y();
    ASSERT_TRUE(run.close()) << run.output().toStdString();
    // Restored hidden, it is stored hidden again.
    EXPECT_EQ(run.stored("Settings/BottomToolbar1Visible"), "False");
}

TEST_F(WindowPlacementEndToEnd, TheFirstStartIsMaximisedAndSoIsTheNext)
{
    for (int startNumber = 1; startNumber <= 2; ++startNumber) {
        SCOPED_TRACE(startNumber);
        ProgramRun run(env);
        const QString window = start(run);
        ASSERT_FALSE(window.isEmpty()) << run.output().toStdString();
        EXPECT_EQ(ProgramRun::geometryOf(window).width(), 1280) << "as wide as the screen";
        ASSERT_TRUE(run.close()) << run.output().toStdString();
        EXPECT_EQ(run.stored("Settings/WindowState"), "2");
    }
}

TEST_F(WindowPlacementEndToEnd, AWindowLeftMinimisedStartsMinimised)
{
    storeNormal(3000, 3000, 12000, 9000);
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("WindowState"), 1);
    ProgramRun run(env);
    ASSERT_FALSE(start(run).isEmpty()) << run.output().toStdString();
    EXPECT_TRUE(mainWindow(run, ProgramRun::Visibility::Shown).isEmpty()) << "the main window is not on the screen";
    ASSERT_TRUE(run.close()) << run.output().toStdString();
    EXPECT_EQ(run.stored("Settings/WindowState"), "1");
    EXPECT_EQ(run.stored("Settings/MainTop"), "3000");
}

// A window left maximised or minimised comes back, when the user makes it normal, to
// the normal placement stored before, and Konec stores that placement again.
TEST_F(WindowPlacementEndToEnd, MakingAMaximisedOrMinimisedStartNormalRestoresTheStoredPlacement)
{
    const QRect placement(150, 169, 924, 708);
    for (const int state : {2, 1}) {
        SCOPED_TRACE(state);
        storeNormal(placement.x() * 15, placement.y() * 15, placement.width() * 15, placement.height() * 15);
        SaveSetting(QStringLiteral("Settings"), QStringLiteral("WindowState"), state);
        ProgramRun run(env);
        const QString window = start(run);
        ASSERT_FALSE(window.isEmpty()) << run.output().toStdString();
        // As the window manager's own restore button or a click in a task bar does it.
        QProcess::execute(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-r"), window, QStringLiteral("-b"),
                                                      QStringLiteral("remove,maximized_vert,maximized_horz")});
        if (state == 1)
            QProcess::execute(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-a"), window});
        const auto shownAt = [&] { return ProgramRun::geometryOf(mainWindow(run, ProgramRun::Visibility::Shown)); };
        EXPECT_TRUE(run.waitFor([&] { return shownAt() == placement; }, 5000))
            << "back at " << shownAt().x() << "," << shownAt().y() << " " << shownAt().width() << "x" << shownAt().height();
        ASSERT_TRUE(run.close()) << run.output().toStdString();
        EXPECT_EQ(run.stored("Settings/WindowState"), "0");
        EXPECT_EQ(run.stored("Settings/MainLeft"), "2250");
        EXPECT_EQ(run.stored("Settings/MainTop"), "2535");
        EXPECT_EQ(run.stored("Settings/MainWidth"), "13860");
        EXPECT_EQ(run.stored("Settings/MainHeight"), "10620");
    }
}

// The splitter dragged to the right edge of a maximised window, or a panel stored that
// wide, never makes the normal window wider than it was.
TEST_F(WindowPlacementEndToEnd, APanelWidenedWhileMaximisedStillFitsTheNormalWindow)
{
    const QRect placement(150, 169, 924, 708);
    const int widest = placement.width() - 46 + 4;
    for (const bool drag : {true, false}) {
        SCOPED_TRACE(drag ? "dragged" : "stored");
        storeNormal(placement.x() * 15, placement.y() * 15, placement.width() * 15, placement.height() * 15);
        SaveSetting(QStringLiteral("Settings"), QStringLiteral("WindowState"), 2);
        SaveSetting(QStringLiteral("Main"), QStringLiteral("Width"), drag ? 4905 : 1200 * 15);
        ProgramRun run(env);
        const QString window = start(run);
        ASSERT_FALSE(window.isEmpty()) << run.output().toStdString();
        if (drag) {
            const QRect maximised = ProgramRun::geometryOf(window);
            const MainWindowLayout layout = MainWindowLayout::measure(maximised.size());
            ASSERT_TRUE(layout.measured);
            const QPoint grip = maximised.topLeft() + layout.splitterGrip;
            for (const QStringList &step :
                 {QStringList{QStringLiteral("mousemove"), QString::number(grip.x()), QString::number(grip.y())},
                  QStringList{QStringLiteral("mousedown"), QStringLiteral("1")},
                  QStringList{QStringLiteral("mousemove"), QString::number(grip.x() + 200), QString::number(grip.y())},
                  QStringList{QStringLiteral("mousemove"), QString::number(maximised.right() - 2), QString::number(grip.y())},
                  QStringList{QStringLiteral("mouseup"), QStringLiteral("1")}})
                ASSERT_TRUE((ProgramRun::xdotool(step), true));
            QThread::msleep(300);
        }
        QProcess::execute(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-r"), window, QStringLiteral("-b"),
                                                      QStringLiteral("remove,maximized_vert,maximized_horz")});
        const auto shownAt = [&] { return ProgramRun::geometryOf(mainWindow(run, ProgramRun::Visibility::Shown)); };
        EXPECT_TRUE(run.waitFor([&] { return shownAt() == placement; }, 5000))
            << "normal at " << shownAt().x() << "," << shownAt().y() << " " << shownAt().width() << "x" << shownAt().height();
        ASSERT_TRUE(run.close()) << run.output().toStdString();
        EXPECT_EQ(run.stored("Settings/MainWidth"), "13860");
        const int panel = QString::fromStdString(run.stored("Main/Width")).toInt();
        EXPECT_LE(panel, widest * 15);
        if (drag)
            EXPECT_GT(panel, 4905) << "the drag widened the panel";
    }
}

TEST_F(WindowPlacementEndToEnd, TheMainWindowShowsTheProgramsOwnIcon)
{
    ProgramRun run(env);
    const QString window = start(run);
    ASSERT_FALSE(window.isEmpty()) << run.output().toStdString();
    QProcess property;
    property.start(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("-f"), QStringLiteral("_NET_WM_ICON"),
                           QStringLiteral("32c"), QStringLiteral("=$0+"), QStringLiteral("_NET_WM_ICON")});
    ASSERT_TRUE(property.waitForFinished(10000));
    ASSERT_TRUE(run.close()) << run.output().toStdString();

    // Width, height, then the pixels as ARGB, row by row.
    const QString text = QString::fromLatin1(property.readAllStandardOutput());
    const QStringList values = text.mid(text.indexOf(QLatin1Char('=')) + 1).split(QLatin1Char(','));
    const QImage icon = programIcon().pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_GE(values.size(), 2 + 48 * 48) << text.left(200).toStdString();
    ASSERT_EQ(values[0].trimmed(), QStringLiteral("48"));
    ASSERT_EQ(values[1].trimmed(), QStringLiteral("48"));
    int differing = 0;
    for (int i = 0; i < 48 * 48; ++i)
        differing += values[2 + i].trimmed().toUInt() != icon.pixel(i % 48, i / 48);
    EXPECT_EQ(differing, 0);
}

// The splash in this process, beside a window the user works in.
TEST_F(WindowPlacementEndToEnd, TheSplashHasNoTitleBarAndLeavesTheKeyboardAlone)
{
    QWidget work;
    work.setWindowTitle(QStringLiteral("work"));
    work.setGeometry(100, 100, 300, 200);
    work.show();
    work.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&work));

    frmSplash *splash = Forms::get<frmSplash>();
    splash->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(splash));
    QTest::qWait(300);
    EXPECT_EQ(QApplication::activeWindow(), &work);
    const QPoint centred = frmSplash::centredPosition(QGuiApplication::primaryScreen()->geometry().size());
    const QRect outer = splash->frameGeometry();
    EXPECT_EQ(outer, QRect(centred, QSize(316, 56)))
        << outer.x() << "," << outer.y() << " " << outer.width() << "x" << outer.height();
    Forms::unload<frmSplash>();
}

} // namespace
