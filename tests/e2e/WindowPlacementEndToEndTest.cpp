#include "ProgramRun.h"

#include "app/ProgramIcon.h"
#include "app/frmSplash.h"
#include "platform/Forms.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

namespace {

// The main window's place and state across restarts, under a real window manager:
// the window manager frames the window, honours a state only on the window it maps,
// and the frame's native window is replaced once the first page view joins it.
class WindowPlacementEndToEnd : public TempEnvTest
{
protected:
    static void SetUpTestSuite()
    {
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty())
            return;
        s_windowManager = new QProcess;
        s_windowManager->start(openbox, {});
        // It ends at once when another window manager already runs on the display.
        s_windowManager->waitForFinished(700);
    }

    static void TearDownTestSuite()
    {
        if (!s_windowManager)
            return;
        if (s_windowManager->state() != QProcess::NotRunning) {
            s_windowManager->terminate();
            s_windowManager->waitForFinished(5000);
        }
        delete s_windowManager;
        s_windowManager = nullptr;
    }

    void SetUp() override
    {
        if (!s_windowManager)
            GTEST_SKIP() << "needs the openbox window manager";
        page = env.writeFile(QStringLiteral("pages/start.html"), "<title>Start</title><p>Ahoj</p>");
    }

    static void storeNormal(int left, int top, int width, int height)
    {
        const std::pair<const char *, int> values[] = {
            {"WindowState", 0}, {"MainLeft", left}, {"MainTop", top}, {"MainWidth", width}, {"MainHeight", height}};
        for (const auto &[key, value] : values)
            SaveSetting(QStringLiteral("Settings"), QString::fromLatin1(key), value);
    }

    static std::string stored(const ProgramRun &run, const char *key)
    {
        QSettings settings(run.settingsFile(), QSettings::IniFormat);
        return settings.value(QStringLiteral("Settings/") + QString::fromLatin1(key)).toString().toStdString();
    }

    // The main window once the first browser window has opened in it, shown or not.
    static QString mainWindow(const ProgramRun &run, bool onlyVisible = false)
    {
        QStringList arguments = {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--pid"),
                                 QString::number(run.pid()), QStringLiteral("--name"),
                                 QStringLiteral("^Vorlan - \\[Start\\]$")};
        if (onlyVisible)
            arguments.insert(1, QStringLiteral("--onlyvisible"));
        return ProgramRun::xdotool(arguments).split(QLatin1Char('\n'), Qt::SkipEmptyParts).value(0);
    }

    static QRect geometryOf(const QString &window)
    {
        const QString text = ProgramRun::xdotool({QStringLiteral("getwindowgeometry"), window});
        const auto match = QRegularExpression(QStringLiteral("Position: (-?\\d+),(-?\\d+).*Geometry: (\\d+)x(\\d+)"),
                                              QRegularExpression::DotMatchesEverythingOption)
                               .match(text);
        if (!match.hasMatch())
            return {};
        return {match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(), match.captured(4).toInt()};
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

    static QProcess *s_windowManager;
    QString page;
};

QProcess *WindowPlacementEndToEnd::s_windowManager = nullptr;

TEST_F(WindowPlacementEndToEnd, StartQuitStartLeavesTheWindowWhereItWas)
{
    storeNormal(3000, 3000, 12000, 9000);
    QRect first;
    {
        ProgramRun run(env);
        const QString window = start(run);
        ASSERT_FALSE(window.isEmpty()) << run.output().toStdString();
        first = geometryOf(window);
        EXPECT_EQ(first.size(), QSize(800, 600));
        ASSERT_TRUE(run.close()) << run.output().toStdString() << run.exitSummary().toStdString();
        EXPECT_EQ(stored(run, "MainLeft"), "3000");
        EXPECT_EQ(stored(run, "MainTop"), "3000");
        EXPECT_EQ(stored(run, "MainWidth"), "12000");
        EXPECT_EQ(stored(run, "MainHeight"), "9000");
    }
    ProgramRun run(env);
    const QString window = start(run);
    ASSERT_FALSE(window.isEmpty()) << run.output().toStdString();
    const QRect second = geometryOf(window);
    EXPECT_EQ(second, first) << "moved by " << second.x() - first.x() << "," << second.y() - first.y();
    ASSERT_TRUE(run.close()) << run.output().toStdString();
}

TEST_F(WindowPlacementEndToEnd, TheFirstStartIsMaximisedAndSoIsTheNext)
{
    for (int startNumber = 1; startNumber <= 2; ++startNumber) {
        SCOPED_TRACE(startNumber);
        ProgramRun run(env);
        const QString window = start(run);
        ASSERT_FALSE(window.isEmpty()) << run.output().toStdString();
        EXPECT_EQ(geometryOf(window).width(), 1280) << "as wide as the screen";
        ASSERT_TRUE(run.close()) << run.output().toStdString();
        EXPECT_EQ(stored(run, "WindowState"), "2");
    }
}

TEST_F(WindowPlacementEndToEnd, AWindowLeftMinimisedStartsMinimised)
{
    storeNormal(3000, 3000, 12000, 9000);
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("WindowState"), 1);
    ProgramRun run(env);
    ASSERT_FALSE(start(run).isEmpty()) << run.output().toStdString();
    EXPECT_TRUE(mainWindow(run, true).isEmpty()) << "the main window is not on the screen";
    ASSERT_TRUE(run.close()) << run.output().toStdString();
    EXPECT_EQ(stored(run, "WindowState"), "1");
    EXPECT_EQ(stored(run, "MainTop"), "3000");
}

TEST_F(WindowPlacementEndToEnd, TheMainWindowShowsTheProgramsOwnIcon)
{
    const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
    if (xprop.isEmpty())
        GTEST_SKIP() << "needs xprop to read the icon the window manager is given";
    ProgramRun run(env);
    const QString window = start(run);
    ASSERT_FALSE(window.isEmpty()) << run.output().toStdString();
    QProcess property;
    property.start(xprop, {QStringLiteral("-id"), window, QStringLiteral("-f"), QStringLiteral("_NET_WM_ICON"),
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
