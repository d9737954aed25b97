#include "ProgramRun.h"

#include "platform/SettingsStore.h"

#include <QRect>
#include <QRegularExpression>
#include <QSettings>

namespace {

// The frame names the active browser window in its caption; the splash is only "Vorlan".
// Asked afresh each time: the frame's native window is replaced once the engine joins it.
QString mainWindowOf(const ProgramRun &run)
{
    return ProgramRun::xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                QString::number(run.pid()), QStringLiteral("--name"), QStringLiteral("^Vorlan - ")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
        .value(0);
}

int visibleWindows(const ProgramRun &run)
{
    return ProgramRun::xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                QString::number(run.pid()), QStringLiteral("--name"), QString()})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
        .size();
}

// Position and size as the X server has them.
QRect geometryOf(const QString &window)
{
    const QString text = ProgramRun::xdotool({QStringLiteral("getwindowgeometry"), window});
    const QRegularExpressionMatch position = QRegularExpression(QStringLiteral("Position: (-?\\d+),(-?\\d+)")).match(text);
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Geometry: (\\d+)x(\\d+)")).match(text);
    if (!position.hasMatch() || !size.hasMatch())
        return {};
    return {position.captured(1).toInt(), position.captured(2).toInt(), size.captured(1).toInt(), size.captured(2).toInt()};
}

QString stored(const ProgramRun &run, const char *key)
{
    QSettings settings(run.settingsFile(), QSettings::IniFormat);
    return settings.value(QString::fromLatin1(key)).toString();
}

} // namespace

// A user rearranges the window and the bars, quits, starts again and finds them as left.
TEST_F(TempEnvTest, TheWindowAndItsBarsComeBackAsTheUserLeftThem)
{
    // A user whose window was last in the normal state.
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("WindowState"), 0);
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("MainLeft"), 1500);
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("MainTop"), 1500);
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("MainWidth"), 12000);
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("MainHeight"), 9000);
    const QString page = env.writeFile(QStringLiteral("pages/start.html"), "<title>Start</title><p>Ahoj</p>");
    const QRect wanted(150, 120, 900, 650);
    {
        ProgramRun run(env);
        ASSERT_TRUE(run.start({page}));
        ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - "))) << run.output().toStdString();
        EXPECT_TRUE(run.waitFor([&] { return geometryOf(mainWindowOf(run)) == QRect(100, 100, 800, 600); }))
            << "restored at first: " << geometryOf(mainWindowOf(run)).x() << "," << geometryOf(mainWindowOf(run)).y();

        const QString window = mainWindowOf(run);
        ProgramRun::xdotool({QStringLiteral("windowsize"), QStringLiteral("--sync"), window, QStringLiteral("900"), QStringLiteral("650")});
        ProgramRun::xdotool({QStringLiteral("windowmove"), QStringLiteral("--sync"), window, QStringLiteral("150"), QStringLiteral("120")});
        ASSERT_TRUE(run.waitFor([&] { return geometryOf(mainWindowOf(run)) == wanted; }));

        // View menu, its last item (Up wraps round to it): the window-commands band of the
        // bottom bar. The menu's own window shows it open and closed again.
        const int windows = visibleWindows(run);
        ProgramRun::xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        ProgramRun::xdotool({QStringLiteral("key"), QStringLiteral("alt+z")});
        ASSERT_TRUE(run.waitFor([&] { return visibleWindows(run) > windows; }));
        ProgramRun::xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"), QStringLiteral("Up"),
                             QStringLiteral("Return")});
        ASSERT_TRUE(run.waitFor([&] { return visibleWindows(run) == windows; }));
        ASSERT_TRUE(run.close()) << run.output().toStdString() << run.exitSummary().toStdString();
    }
    {
        ProgramRun run(env);
        EXPECT_EQ(stored(run, "Settings/WindowState"), QStringLiteral("0"));
        EXPECT_EQ(stored(run, "Settings/MainLeft"), QStringLiteral("2250"));
        EXPECT_EQ(stored(run, "Settings/MainTop"), QStringLiteral("1800"));
        EXPECT_EQ(stored(run, "Settings/MainWidth"), QStringLiteral("13500"));
        EXPECT_EQ(stored(run, "Settings/MainHeight"), QStringLiteral("9750"));
        EXPECT_EQ(stored(run, "Settings/BottomToolbar1Visible"), QStringLiteral("False"));
        EXPECT_EQ(stored(run, "Settings/Toolbar2Visible"), QStringLiteral("True"));

        ASSERT_TRUE(run.start({page}));
        ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - "))) << run.output().toStdString();
        EXPECT_TRUE(run.waitFor([&] { return geometryOf(mainWindowOf(run)) == wanted; }))
            << geometryOf(mainWindowOf(run)).x() << "," << geometryOf(mainWindowOf(run)).y() << " " << geometryOf(mainWindowOf(run)).width() << "x"
            << geometryOf(mainWindowOf(run)).height();
        ASSERT_TRUE(run.close()) << run.output().toStdString();
        // Restored hidden, it is stored hidden again.
        EXPECT_EQ(stored(run, "Settings/BottomToolbar1Visible"), QStringLiteral("False"));
    }
}
