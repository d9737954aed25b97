#include "ProgramRun.h"

#include "app/Startup.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

// Starts the real program under the virtual display with a temporary home, lets the
// start-up finish, ends it as a session end would, and reads what it left behind.
TEST_F(TempEnvTest, StartsLeavesItsFilesAndClosesCleanly)
{
    const QString page = env.writeFile(QStringLiteral("pages/start.html"), "<title>Start</title><p>Ahoj</p>");
    ProgramRun run(env);
    ASSERT_TRUE(run.start({page}));
    const QString folder = env.appFolder();
    ASSERT_TRUE(run.waitFor([&] { return QFileInfo(folder + QStringLiteral("deleted")).isDir(); }))
        << run.output().toStdString();
    // The first browser window opens maximised with the page given; the frame then names
    // it in its caption.
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - ")));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - \\[Start\\]$")));
    ASSERT_TRUE(run.close()) << run.output().toStdString() << " exit " << run.exitSummary().toStdString();

    EXPECT_EQ(TestEnvironment::readFile(folder + QStringLiteral("windows/online.reg")), offlineSwitchFile(false));
    EXPECT_EQ(TestEnvironment::readFile(folder + QStringLiteral("windows/offline.reg")), offlineSwitchFile(true));
    EXPECT_TRUE(TestEnvironment::readFile(folder + QStringLiteral("windows/registry.reg")).contains("\"Vorlan 2.40.164\""));
    QSettings settings(run.settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("Main/AppPath")).toString(),
              QFileInfo(QString::fromUtf8(VORLAN_BINARY)).absolutePath().toLower());
    EXPECT_EQ(settings.value(QStringLiteral("Main/AppName")).toString(), QStringLiteral("vorlan"));
    // A normal run leaves no temporary file or lock of its saves behind.
    EXPECT_EQ(QDir(QFileInfo(run.settingsFile()).path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Vorlan.conf")});
    for (const QString &name : QDir(folder + QStringLiteral("windows")).entryList(QDir::Files | QDir::Hidden))
        EXPECT_TRUE(name.endsWith(QStringLiteral(".reg"))) << name.toStdString();
    EXPECT_TRUE(env.logHoldsOnlyTheFirstStartLine()) << env.logLines().join(QLatin1Char('\n')).toStdString();
}

} // namespace
