#include "app/Startup.h"
#include "app/frmMain.h"
#include "core/PathServices.h"
#include "options/frmOptions.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/TreeView.h"
#include "platform/store/AtomicFile.h"
#include "platform/store/RegistryKeys.h"
#include "platform/store/RegistryRead.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ShellOpen.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

class OptionsCommands : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        const QString folder = WindowsDirectory();
        writeFileAtomically(folder + QStringLiteral("/online.reg"), offlineSwitchFile(false));
        writeFileAtomically(folder + QStringLiteral("/offline.reg"), offlineSwitchFile(true));
    }
    void TearDown() override
    {
        setShellOpener({});
        MainWindowTest::TearDown();
        Forms::unload<frmOptions>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DialogLoops::reset();
    }
    int logLinesOf(const QString &procedure) const
    {
        int count = 0;
        for (const QString &line : env.logLines())
            count += line.contains(QLatin1Char(';') + procedure + QLatin1Char(';'));
        return count;
    }
    QAction *item(const char *name) const { return main->menuItem(QString::fromLatin1(name)); }

    ScriptedMessageBoxes boxes;
};

TEST_F(OptionsCommands, WorkingOfflineSwitchesTheRegistryValueEachWay)
{
    item("mnuOffline")->trigger();
    EXPECT_TRUE(RegistryRead::isOffline());
    EXPECT_TRUE(main->mnuOffline->isChecked());
    item("mnuOffline")->trigger();
    EXPECT_FALSE(RegistryRead::isOffline());
    EXPECT_FALSE(main->mnuOffline->isChecked());
    EXPECT_EQ(logLinesOf(QStringLiteral("mnuOffline_Click")), 0);
}

TEST_F(OptionsCommands, AMissingImportFileLeavesTickAndValueAndLogsOnce)
{
    QFile::remove(WindowsDirectory() + QStringLiteral("/offline.reg"));
    item("mnuOffline")->trigger();
    EXPECT_FALSE(main->mnuOffline->isChecked());
    EXPECT_FALSE(RegistryRead::isOffline());
    ASSERT_EQ(logLinesOf(QStringLiteral("mnuOffline_Click")), 1);
    EXPECT_TRUE(env.logLines().last().endsWith(QStringLiteral(";mnuOffline_Click;FalseFalseTrue")))
        << env.logLines().last().toStdString();
}

TEST_F(OptionsCommands, HelpContentsSaysThereIsNoHelp)
{
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : main, Qt::Key_F1);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt,
              QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."));
    EXPECT_EQ(boxes.shown[0].style, MsgBoxStyle::Information);
    EXPECT_EQ(boxes.shown[0].title, main->windowTitle());
}

TEST_F(OptionsCommands, InternetSettingsShowNothingAndLogNothing)
{
    const int linesBefore = env.logLines().size();
    item("mnuInternetSetting")->trigger();
    item("mnuInternetSetting")->trigger();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(logLinesOf(QStringLiteral("mnuInternetSetting_Click")), 0);
    EXPECT_EQ(env.logLines().size(), linesBefore) << env.logLines().join('\n').toStdString();
}

TEST_F(OptionsCommands, TheSupportMailAndTheAboutBoxCarryTheVersion)
{
    QUrl opened;
    setShellOpener([&opened](const QUrl &url) {
        opened = url;
        return true;
    });
    item("mnuHelpEmail")->trigger();
    EXPECT_EQ(opened.scheme(), QStringLiteral("mailto"));
    EXPECT_TRUE(opened.toString(QUrl::FullyEncoded).contains(QStringLiteral("subject=Vorlan%202.4.164%20Ceska%20verze")))
        << opened.toString().toStdString();
    item("mnuHelpAbout")->trigger();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("O programu Vorlan"));
    EXPECT_TRUE(boxes.shown[0].prompt.startsWith(QStringLiteral("Verze: 2.40, sestavení: 164\r\nUrčeno pro Linux\r\n")));
}

TEST_F(OptionsCommands, TheHomeListItemOpensTheDialogOnTheHomePagesModallyOverTheMainWindow)
{
    int page = -1;
    bool selected = false;
    QWidget *owner = nullptr;
    QTimer::singleShot(0, main, [&] {
        frmOptions *options = Forms::get<frmOptions>();
        page = options->shownPage();
        selected = options->trwOptions->node(QStringLiteral("k8")).selected();
        owner = options->parentWidget();
        QTest::mouseClick(options->cmdNav[8], Qt::LeftButton);
    });
    main->tbToolbar_ButtonMenuClick(1, QStringLiteral("gohome"), QStringLiteral("sethom"), 0);
    EXPECT_EQ(page, 8);
    EXPECT_TRUE(selected);
    EXPECT_EQ(owner, main);
    EXPECT_FALSE(Forms::get<frmOptions>()->isVisible());
    EXPECT_TRUE(SettingsStore::instance().contains(PresetSections::Home, QStringLiteral("30")));
}

TEST_F(OptionsCommands, EndingWithTheDialogOpenClosesItAndSavesTheConfiguration)
{
    bool wasOpen = false;
    QTimer::singleShot(0, main, [this, &wasOpen] {
        wasOpen = Forms::isLoaded<frmOptions>() && Forms::get<frmOptions>()->isVisible();
        main->close();
    });
    item("mnuViewOptions")->trigger();
    EXPECT_TRUE(wasOpen);
    EXPECT_TRUE(QTest::qWaitFor([] { return !Forms::isLoaded<frmMain>(); }, 5000));
    EXPECT_FALSE(Forms::isLoaded<frmOptions>());
    EXPECT_TRUE(TestEnvironment::readFile(SettingsStore::instance().filePath()).contains("[Settings]"));
}

} // namespace
