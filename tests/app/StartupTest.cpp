#include "app/Startup.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "core/ErrorLog.h"
#include "core/RegistryServices.h"
#include "core/SharedState.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/Forms.h"
#include "platform/files/FileJournal.h"
#include "platform/files/StagingFolder.h"
#include "platform/store/Registry.h"
#include "platform/store/SettingsStore.h"
#include "platform/store/TestHooks.h"

#include "FaultyFileSystem.h"
#include "ScriptedMessageBoxes.h"
#include "SpecialFiles.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct SilentCase { const char *commandLine; bool silent; };

TEST(StartupRules, SilentModeFromTheFirstTwoCharacters)
{
    const SilentCase cases[] = {
        {"/s", true},         {"-S", true},           {"/silent", true}, {"/S page.htm", true},
        {"-s", true},         {" /S", false},         {"S", false},      {"", false},
        {"about:blank", false}, {"/x", false},
    };
    for (const SilentCase &c : cases) {
        SCOPED_TRACE(c.commandLine);
        EXPECT_EQ(isSilentCommandLine(QString::fromUtf8(c.commandLine)), c.silent);
    }
}

TEST_F(TempEnvTest, SilentModeNeverSwallowsAnExistingAbsolutePath)
{
    // A folder whose name starts with "s" right below the root must open, not vanish.
    const QString page = env.writeFile(QStringLiteral("site/page.html"), "<html></html>");
    EXPECT_FALSE(isSilentCommandLine(page)) << "a temp path does not start with /s, so this is a control case";
    QDir root(QStringLiteral("/"));
    const QStringList candidates = root.entryList({QStringLiteral("s*"), QStringLiteral("S*")}, QDir::Dirs);
    for (const QString &name : candidates) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(isSilentCommandLine(QLatin1Char('/') + name));
    }
    EXPECT_TRUE(isSilentCommandLine(QStringLiteral("/surely-no-such-folder-here")));
}

// Runs the whole start-up inside this process and closes the main window again.
class StartupSequence : public TempEnvTest
{
protected:
    void runMain(const QString &commandLine)
    {
        shared().CommandLine = commandLine;
        Main();
    }

    void TearDown() override
    {
        if (Forms::isLoaded<frmMain>())
            Forms::get<frmMain>()->close();
        Forms::unload<frmSplash>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ScriptedMessageBoxes boxes;
};

TEST_F(StartupSequence, LeavesItsFilesAndShowsTheMainWindow)
{
    runMain(QString());
    const QString windows = env.appFolder() + QStringLiteral("windows/");
    EXPECT_EQ(TestEnvironment::readFile(windows + QStringLiteral("online.reg")), offlineSwitchFile(false));
    EXPECT_EQ(TestEnvironment::readFile(windows + QStringLiteral("offline.reg")), offlineSwitchFile(true));
    EXPECT_TRUE(QFileInfo(env.appFolder() + QStringLiteral("deleted")).isDir());
    const QString cache = RegGetString(HKEY_CURRENT_USER, RegKeys::ShellFolders, QStringLiteral("Cache"));
    EXPECT_TRUE(cache.startsWith(env.root()) && QFileInfo(cache).isDir()) << "Temporary Internet Files, " << cache.toStdString();
    EXPECT_TRUE(env.logHoldsOnlyTheFirstStartLine()) << env.logLines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(shared().AppFolder, env.appFolder());
    EXPECT_EQ(shared().AppDir, env.appFolder());
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("AppName")), QStringLiteral("test_app"));
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("AppPath")),
              QFileInfo(QCoreApplication::applicationFilePath()).absolutePath().toLower());
    EXPECT_TRUE(Registry::instance().value(RegRoot::LocalMachine, RegKeys::PostPlatform, userAgentToken()).has_value());
    ASSERT_TRUE(Forms::isLoaded<frmMain>());
    EXPECT_TRUE(Forms::get<frmMain>()->isVisible());
    EXPECT_TRUE(boxes.shown.isEmpty());
    // Both reads of the adjust-images switch agree on a first start.
    EXPECT_TRUE(Forms::get<frmMain>()->mnuAdjustImages->isChecked());
    EXPECT_FALSE(Forms::get<frmMain>()->mnuOffline->isChecked());
}

TEST_F(StartupSequence, SilentModeShowsItsMessageAndNoWindow)
{
    runMain(QStringLiteral("/S"));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Silent mode"));
    EXPECT_EQ(boxes.shown[0].style, 0);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Vorlan"));
    ASSERT_TRUE(Forms::isLoaded<frmMain>());
    EXPECT_FALSE(Forms::get<frmMain>()->isVisible());
}

TEST_F(StartupSequence, OnlyOfflineValueOneChecksTheMenu)
{
    struct Case { const char *value; bool checked; };
    const Case cases[] = {{nullptr, false}, {"00000000", false}, {"00000002", false}, {"00000001", true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value ? c.value : "missing");
        if (c.value) {
            const QByteArray reg = QByteArray("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\r\n\"GlobalUserOffline\"=dword:")
                + c.value + "\r\n";
            Registry::instance().importFile(env.writeFile(QStringLiteral("switch.reg"), reg));
        }
        runMain(QString());
        EXPECT_EQ(Forms::get<frmMain>()->mnuOffline->isChecked(), c.checked);
        TearDown();
    }
}

TEST_F(StartupSequence, AStoreThatCannotBeCreatedIsReportedAfterTheWindowAppears)
{
    // A plain file where the program folder should be: creating "deleted" in it fails
    // even for root, and so does everything else written there; only that last
    // failure is reported.
    QDir(env.appFolder()).removeRecursively();
    env.writeFile(QStringLiteral("home/.local/share/Vorlan"), "not a folder");
    runMain(QString());
    ASSERT_EQ(boxes.shown.size(), 1);
    const QString prefix = QStringLiteral("Chyba během spouštění.");
    EXPECT_TRUE(boxes.shown[0].prompt.startsWith(prefix));
    EXPECT_GT(boxes.shown[0].prompt.size(), prefix.size()) << "the description follows directly";
    EXPECT_FALSE(boxes.shown[0].prompt.startsWith(prefix + QLatin1Char(' ')));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Vorlan"));
    ASSERT_TRUE(Forms::isLoaded<frmMain>());
    EXPECT_TRUE(Forms::get<frmMain>()->isVisible());
    EXPECT_FALSE(ErrorState::isSet());
}

TEST_F(StartupSequence, UnusableStartFilesAreSetAsideAndToldOnce)
{
    const QString registry = Registry::instance().filePath();
    const QString settings = SettingsStore::instance().filePath();
    resetPlatformForTests();
    env.writeFile(registry.mid(env.root().size() + 1), QByteArray("\x8b\x01random\xff bytes"));
    QDir().mkpath(settings + QStringLiteral("/a folder in its place"));

    runMain(QString());
    ASSERT_EQ(boxes.shown.size(), 1);
    const QString prompt = boxes.shown[0].prompt;
    EXPECT_TRUE(prompt.contains(QStringLiteral("Soubor „%1“ nelze použít (chybí záhlaví REGEDIT4). Byl odložen jako „").arg(registry)))
        << prompt.toStdString();
    EXPECT_TRUE(prompt.contains(QStringLiteral("Soubor „%1“ nelze použít (na jeho místě je složka). Byl odložen jako „").arg(settings)))
        << prompt.toStdString();
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Exclamation);
    const QString log = QString::fromUtf8(TestEnvironment::readFile(env.appFolder() + QStringLiteral("LogError.txt")));
    EXPECT_EQ(log.count(QStringLiteral(";Main;")), 2) << log.toStdString();
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, RegKeys::ShellFolders, QStringLiteral("Favorites"), QString()),
              env.home() + QStringLiteral("/Favorites"));

    TearDown();
    boxes.shown.clear();
    resetPlatformForTests();
    runMain(QString());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(StartupSequence, SwitchFilesStandingForADeviceAreSetAsideAndTheDeviceKept)
{
    const QString windows = env.appFolder() + QStringLiteral("windows/");
    QDir().mkpath(windows);
    const QString device = env.path(QStringLiteral("device"));
    ASSERT_TRUE(SpecialFiles::makeDevice(device));
    ASSERT_TRUE(QFile::link(device, windows + QStringLiteral("online.reg")));
    ASSERT_TRUE(SpecialFiles::makeDevice(windows + QStringLiteral("offline.reg")));

    runMain(QString());
    EXPECT_TRUE(SpecialFiles::isDevice(device));
    EXPECT_EQ(TestEnvironment::readFile(windows + QStringLiteral("online.reg")), offlineSwitchFile(false));
    EXPECT_EQ(TestEnvironment::readFile(windows + QStringLiteral("offline.reg")), offlineSwitchFile(true));
    ASSERT_EQ(boxes.shown.size(), 1);
    const QString prompt = boxes.shown[0].prompt;
    for (const QString name : {QStringLiteral("online.reg"), QStringLiteral("offline.reg")})
        EXPECT_TRUE(prompt.contains(QStringLiteral("Soubor „%1“ nelze použít (na jeho místě je zařízení). Byl odložen jako „")
                                        .arg(windows + name)))
            << prompt.toStdString();

    TearDown();
    boxes.shown.clear();
    runMain(QString());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(StartupSequence, ASettingsLockAnotherInstanceHoldsIsToldOfAfterAMomentNotWaitedOut)
{
    const QString settings = SettingsStore::instance().filePath();
    QDir().mkpath(QFileInfo(settings).path());
    QLockFile held(settings + QStringLiteral(".lock"));
    ASSERT_TRUE(held.tryLock(0));
    QElapsedTimer clock;
    clock.start();
    runMain(QString());
    EXPECT_LT(clock.elapsed(), 4000);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt,
              QStringLiteral("Do souboru „%1“ se nepodařilo uložit (právě ho ukládá jiná spuštěná instance programu).")
                  .arg(settings));
    ASSERT_TRUE(Forms::isLoaded<frmMain>());
    EXPECT_TRUE(Forms::get<frmMain>()->isVisible());
}

// While a message box is open its event loop runs handlers, each of which clears the
// current error. This one also turns the program folder back into a folder, so that
// the log line can be written and read.
class HandlersRunWhileShown : public ScriptedMessageBoxes
{
public:
    explicit HandlersRunWhileShown(QString folder)
        : m_folder(std::move(folder))
    {
    }

    int show(const MessageBoxRequest &request) override
    {
        ErrorState::clear();
        QFile::remove(m_folder);
        QDir().mkpath(m_folder);
        return ScriptedMessageBoxes::show(request);
    }

private:
    QString m_folder;
};

TEST_F(StartupSequence, TheLogLineOfAStartUpFailureKeepsTheError)
{
    QDir(env.appFolder()).removeRecursively();
    const QString folder = env.writeFile(QStringLiteral("home/.local/share/Vorlan"), "not a folder");
    HandlersRunWhileShown shownBoxes(folder);
    runMain(QString());
    ASSERT_EQ(shownBoxes.shown.size(), 1);
    const QString log = QString::fromUtf8(TestEnvironment::readFile(folder + QStringLiteral("/LogError.txt")));
    const QStringList fields = log.trimmed().split(QLatin1Char(';'));
    ASSERT_EQ(fields.size(), 7) << log.toStdString();
    EXPECT_EQ(fields[5], QStringLiteral("Main"));
    EXPECT_EQ(fields[3], QString::number(ErrorNumber::PathFileAccessError));
    EXPECT_EQ(QStringLiteral("Chyba během spouštění.") + fields[1], shownBoxes.shown[0].prompt);
}

TEST_F(StartupSequence, AStoredImageSwitchThatIsNoBooleanFailsOnlyItsOwnStep)
{
    SaveSetting(QStringLiteral("Main"), QStringLiteral("AdjustImg"), QStringLiteral("yes"));
    runMain(QString());
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(QFileInfo(env.appFolder() + QStringLiteral("deleted")).isDir());
    const QString log = QString::fromUtf8(TestEnvironment::readFile(env.appFolder() + QStringLiteral("LogError.txt")));
    EXPECT_FALSE(log.contains(QStringLiteral(";Main;"))) << log.toStdString();
}

} // namespace

namespace {

// A rename that ends the process between the two steps of a rename changing only
// letter case, on a layer whose disk folds case.
class KilledBetweenCaseSteps : public FaultyFileSystem
{
protected:
    int renameWithFlag(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to) override
    {
        if (from.startsWith("~vorlan-"))
            ::kill(::getpid(), SIGKILL);
        return FaultyFileSystem::renameWithFlag(fromFolder, from, toFolder, to);
    }
};

} // namespace

TEST_F(StartupSequence, WhatARunKilledMidWayLeftIsFinishedAtTheNextStart)
{
    const QString folder = env.path(QStringLiteral("docs"));
    env.writeFile(QStringLiteral("docs/b.txt"), "bbb");
    QDir().mkpath(env.appFolder());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The run being killed: a download under way, and a case-only rename.
        FileJournal::setFolder(env.appFolder() + QStringLiteral("journal"));
        StagingFolder download;
        if (download.make(env.appFolder() + QStringLiteral("staging")) == 0) {
            QFile part(download.filePath(QStringLiteral("soubor.bin.download")));
            part.open(QIODevice::WriteOnly);
            part.write("část");
            part.close();
        }
        KilledBetweenCaseSteps layer;
        layer.foldsCase = true;
        FileSystem::current().rename(folder + QStringLiteral("/b.txt"), folder + QStringLiteral("/B.txt"));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    ASSERT_EQ(QDir(env.appFolder() + QStringLiteral("staging")).entryList(all).size(), 1);
    ASSERT_TRUE(QDir(folder).entryList(all).value(0).startsWith(QStringLiteral("~vorlan-")));

    runMain(QString());
    EXPECT_EQ(QDir(folder).entryList(all), QStringList({QStringLiteral("b.txt")}));
    EXPECT_EQ(TestEnvironment::readFile(folder + QStringLiteral("/b.txt")), "bbb");
    EXPECT_TRUE(QDir(env.appFolder() + QStringLiteral("staging")).entryList(all).isEmpty());
    EXPECT_TRUE(QDir(env.appFolder() + QStringLiteral("journal")).entryList(all).isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty());
}
