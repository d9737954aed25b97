#include "app/frmMain.h"
#include "core/SharedState.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/MessageBox.h"
#include "platform/store/Registry.h"
#include "platform/store/SettingsStore.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"
#include "WriteFailure.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// The main window with a configuration saved by an earlier run; left through "Konec".
class ExitSave : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        SaveSetting(QStringLiteral("Main"), QStringLiteral("Width"), 3000);
        settingsFile = SettingsStore::instance().filePath();
        before = TestEnvironment::readFile(settingsFile);
    }
    void TearDown() override
    {
        DialogLoops::reset();
        MainWindowTest::TearDown();
    }
    void exitAsTheUserDoes() { main->mnuFileExit_Click(); }
    QStringList configFolder() const
    {
        return QDir(QFileInfo(settingsFile).path()).entryList(QDir::Files | QDir::Hidden);
    }
    QString log() const
    {
        return QString::fromUtf8(TestEnvironment::readFile(env.appFolder() + QStringLiteral("LogError.txt")));
    }

    ScriptedMessageBoxes boxes;
    QString settingsFile;
    QByteArray before;
};

TEST_F(ExitSave, TheConfigurationReachesTheFileInOneWrite)
{
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    inotify_add_watch(watch, QFile::encodeName(QFileInfo(settingsFile).path()).constData(), IN_MOVED_TO | IN_CREATE);
    exitAsTheUserDoes();
    int replaced = 0;
    alignas(inotify_event) char buffer[16384];
    ssize_t length;
    while ((length = read(watch, buffer, sizeof buffer)) > 0) {
        for (char *at = buffer; at < buffer + length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(at);
            if (event->len > 0 && QByteArray(event->name) == "Vorlan.conf")
                ++replaced;
            at += sizeof(inotify_event) + event->len;
        }
    }
    close(watch);
    EXPECT_EQ(replaced, 1);
    SettingsStore::resetInstance();
    EXPECT_EQ(GetSetting(QStringLiteral("Settings"), QStringLiteral("BottomToolbar3Visible"), QStringLiteral("none")),
              QStringLiteral("True"));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

class ExitSaveFailure : public ExitSave, public ::testing::WithParamInterface<WriteFailureKind>
{
};

TEST_P(ExitSaveFailure, AnExitTheUserAskedForSaysWhichFileKeptItsOldContentAndWhy)
{
    {
        WriteFailure failure(GetParam(), QFileInfo(settingsFile).path());
        exitAsTheUserDoes();
    }
    ASSERT_EQ(boxes.shown.size(), 1);
    const MessageBoxRequest &box = boxes.shown[0];
    EXPECT_TRUE(box.prompt.startsWith(QStringLiteral("Změny se nepodařilo uložit."))) << box.prompt.toStdString();
    EXPECT_TRUE(box.prompt.contains(QStringLiteral("„%1“: %2").arg(settingsFile, systemErrorText(EFBIG))))
        << box.prompt.toStdString();
    EXPECT_EQ(box.icon(), MsgBoxStyle::Exclamation);
    EXPECT_EQ(box.title, QStringLiteral("Vorlan"));
    EXPECT_EQ(TestEnvironment::readFile(settingsFile), before);
    EXPECT_EQ(configFolder(), QStringList{QStringLiteral("Vorlan.conf")});
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExitSaveFailure,
                         ::testing::Values(WriteFailureKind::NothingWritten, WriteFailureKind::CutShort),
                         [](const auto &info) { return WriteFailure::name(info.param); });

TEST_F(ExitSave, ATerminationRequestShowsNothingAndLogsTheFailure)
{
    DialogLoops::endAll(); // as a termination request does
    {
        // A line of the log still fits below this limit; the configuration does not.
        WriteFailure failure(WriteFailureKind::CutShort, QFileInfo(settingsFile).path());
        exitAsTheUserDoes();
    }
    const QString written = log();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(written.contains(QStringLiteral(";Chyba přístupu k cestě nebo souboru;%1;75;%2;SaveConfig;").arg(EFBIG).arg(settingsFile)))
        << written.toStdString();
    EXPECT_EQ(TestEnvironment::readFile(settingsFile), before);
    EXPECT_EQ(configFolder(), QStringList{QStringLiteral("Vorlan.conf")});
}

TEST_F(ExitSave, WhenTheLogCannotBeWrittenEitherTheLineGoesToStandardError)
{
    // Plain files where the configuration folder and the program folder should be.
    const QString folder = QFileInfo(settingsFile).path();
    QDir(folder).removeRecursively();
    env.writeFile(folder.mid(env.root().size() + 1), "in the way");
    shared().AppFolder = env.writeFile(QStringLiteral("plain-file"), "x") + QStringLiteral("/Vorlan/");
    DialogLoops::endAll(); // as a termination request does
    testing::internal::CaptureStderr();
    exitAsTheUserDoes();
    const QString written = QString::fromStdString(testing::internal::GetCapturedStderr());
    EXPECT_TRUE(written.contains(QStringLiteral(";Chyba přístupu k cestě nebo souboru;%1;75;%2;SaveConfig;\n").arg(ENOTDIR).arg(settingsFile)))
        << written.toStdString();
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(ExitSave, AChangeTheRegistryCouldNotStoreIsToldAtTheExitToo)
{
    // A plain file where the registry's folder should be.
    const QString registry = Registry::instance().filePath();
    QDir(QFileInfo(registry).path()).removeRecursively();
    env.writeFile(QFileInfo(registry).path().mid(env.root().size() + 1), "in the way");
    runIgnoringErrors([] { Registry::instance().setValue(RegRoot::CurrentUser, QStringLiteral("A"), QStringLiteral("B"), {}); });
    exitAsTheUserDoes();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].prompt.contains(QStringLiteral("„%1“: %2").arg(registry, systemErrorText(ENOTDIR))))
        << boxes.shown[0].prompt.toStdString();
    EXPECT_FALSE(boxes.shown[0].prompt.contains(settingsFile));
}

} // namespace
