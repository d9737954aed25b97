#include "ProgramRun.h"

#include "platform/SettingsStore.h"

#include <QSettings>
#include <QTest>

namespace {

QString stored(const ProgramRun &run, const char *key)
{
    QSettings settings(run.settingsFile(), QSettings::IniFormat);
    return settings.value(QString::fromLatin1(key)).toString();
}

// A user rearranges the window and the bars, quits, starts again and finds them as left.
TEST_F(TempEnvTest, TheWindowAndItsBarsComeBackAsTheUserLeftThem)
{
    // A user whose window was last in the normal state, its frame at (100, 100).
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("WindowState"), 0);
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("MainLeft"), 1500);
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("MainTop"), 1500);
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("MainWidth"), 12000);
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("MainHeight"), 9000);
    const QString page = env.writeFile(QStringLiteral("pages/start.html"), "<title>Start</title><p>Ahoj</p>");
    QRect left;
    {
        ProgramRun run(env);
        ASSERT_TRUE(run.start({page}));
        ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - ")));
        ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - \\[Start\\]$")));
        EXPECT_TRUE(run.waitFor([&] { return ProgramRun::frameOf(run.mainWindow()).topLeft() == QPoint(100, 100); }))
            << "the frame is at " << ProgramRun::frameOf(run.mainWindow()).x() << ","
            << ProgramRun::frameOf(run.mainWindow()).y();

        ProgramRun::xdotool({QStringLiteral("windowsize"), QStringLiteral("--sync"), run.mainWindow(),
                             QStringLiteral("900"), QStringLiteral("650")});
        ProgramRun::xdotool({QStringLiteral("windowmove"), QStringLiteral("--sync"), run.mainWindow(),
                             QStringLiteral("150"), QStringLiteral("120")});
        ASSERT_TRUE(run.waitFor([&] { return ProgramRun::geometryOf(run.mainWindow()).size() == QSize(900, 650); }));
        QTest::qWait(500);
        left = ProgramRun::geometryOf(run.mainWindow());

        // View menu, its last item (Up wraps round to it): the window-commands band of the
        // bottom bar, which the menu closes again.
        ASSERT_TRUE(run.activateMainWindow());
        const int windows = run.windows(QString()).size();
        ASSERT_TRUE(ProgramRun::key({QStringLiteral("alt+z")}));
        ASSERT_TRUE(run.waitFor([&] { return run.windows(QString()).size() > windows; })) << "the menu opens";
        ASSERT_TRUE(ProgramRun::key({QStringLiteral("Up"), QStringLiteral("Return")}));
        ASSERT_TRUE(run.waitFor([&] { return run.windows(QString()).size() == windows; })) << "the menu closes";
        ASSERT_TRUE(run.close()) << run.output().toStdString() << run.exitSummary().toStdString();
    }
    ProgramRun run(env);
    EXPECT_EQ(stored(run, "Settings/WindowState"), QStringLiteral("0"));
    EXPECT_EQ(stored(run, "Settings/BottomToolbar1Visible"), QStringLiteral("False"));
    EXPECT_EQ(stored(run, "Settings/Toolbar2Visible"), QStringLiteral("True"));

    ASSERT_TRUE(run.start({page}));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - ")));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - \\[Start\\]$")));
    EXPECT_TRUE(run.waitFor([&] { return ProgramRun::geometryOf(run.mainWindow()) == left; }, 5000))
        << "left at " << left.x() << "," << left.y() << " " << left.width() << "x" << left.height() << ", back at "
        << ProgramRun::geometryOf(run.mainWindow()).x() << "," << ProgramRun::geometryOf(run.mainWindow()).y() << " "
        << ProgramRun::geometryOf(run.mainWindow()).width() << "x" << ProgramRun::geometryOf(run.mainWindow()).height();
    ASSERT_TRUE(run.close()) << run.output().toStdString();
    // Restored hidden, it is stored hidden again.
    EXPECT_EQ(stored(run, "Settings/BottomToolbar1Visible"), QStringLiteral("False"));
}

} // namespace
