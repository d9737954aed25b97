// Real file-system faults under the folders the program writes to: a full disk and
// a read-only mount. Run as root (the continuous integration is); skipped otherwise.
#include "app/OpenSave.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "browser/LinkSnapshot.h"
#include "browser/WindowTable.h"
#include "core/ErrorLog.h"
#include "core/SharedState.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/Forms.h"
#include "platform/store/Registry.h"
#include "platform/store/SettingsStore.h"
#include "platform/store/TestHooks.h"

#include "FaultMount.h"
#include "ScriptedMessageBoxes.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>

namespace {

class RealFault : public TempEnvTest, public ::testing::WithParamInterface<FaultKind>
{
protected:
    void TearDown() override
    {
        OpenSave::setDialog({});
        closeMain();
        resetWindowTable();
    }
    // One start of the program as a new process would make it.
    void start()
    {
        resetPlatformForTests();
        resetWindowTable();
        shared().CommandLine.clear();
        Main();
        Forms::get<frmMain>()->tmrNW->stop();
        Forms::unload<frmSplash>();
    }
    void closeMain()
    {
        if (Forms::isLoaded<frmMain>())
            Forms::get<frmMain>()->mnuFileExit_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A first run that leaves every file the program keeps.
    void firstRun()
    {
        start();
        closeMain();
        boxes.shown.clear();
    }
    int systemError() const { return GetParam() == FaultKind::FullDisk ? ENOSPC : EROFS; }
    static QMap<QString, QByteArray> withoutFiller(QMap<QString, QByteArray> files)
    {
        files.remove(FaultMount::fillerName());
        return files;
    }

    ScriptedMessageBoxes boxes;
};

TEST_P(RealFault, TheConfigurationFolder)
{
    firstRun();
    const QString file = SettingsStore::instance().filePath();
    const QString folder = QFileInfo(file).path();
    const QMap<QString, QByteArray> before = FaultMount::contents(folder);
    start();
    FaultMount fault(GetParam(), folder);
    if (!fault.skipReason().isEmpty())
        GTEST_SKIP() << fault.skipReason().toStdString();
    Forms::get<frmMain>()->mnuViewStatusBar_Click(); // a change that cannot be kept
    closeMain();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].prompt.contains(QStringLiteral("„%1“: %2").arg(file, systemErrorText(systemError()))))
        << boxes.shown[0].prompt.toStdString();
    EXPECT_EQ(withoutFiller(FaultMount::contents(folder)), before) << "old files intact, nothing half-written";
}

TEST_P(RealFault, TheDataFolder)
{
    firstRun();
    const QString folder = env.appFolder();
    const QMap<QString, QByteArray> before = FaultMount::contents(folder);
    FaultMount fault(GetParam(), folder);
    if (!fault.skipReason().isEmpty())
        GTEST_SKIP() << fault.skipReason().toStdString();
    testing::internal::CaptureStderr();
    start();
    ErrorState::set(RuntimeError(ErrorNumber::DiskFull));
    LogError(QStringLiteral("FaultProbe"));
    closeMain();
    const QString written = QString::fromStdString(testing::internal::GetCapturedStderr());

    ASSERT_EQ(boxes.shown.size(), 1);
    const QString registry = Registry::instance().filePath();
    EXPECT_TRUE(boxes.shown[0].prompt.contains(QStringLiteral("„%1“: %2").arg(registry, systemErrorText(systemError()))))
        << boxes.shown[0].prompt.toStdString();
    QMap<QString, QByteArray> after = withoutFiller(FaultMount::contents(folder));
    // A full disk may still take a short line into the last block of the log.
    const QByteArray log = after.take(QStringLiteral("LogError.txt"));
    EXPECT_TRUE(log.startsWith(before.value(QStringLiteral("LogError.txt"))));
    EXPECT_TRUE(written.contains(QStringLiteral(";FaultProbe;")) || log.contains(";FaultProbe;"))
        << "the log line is not lost: " << written.toStdString();
    QMap<QString, QByteArray> expected = before;
    expected.remove(QStringLiteral("LogError.txt"));
    EXPECT_EQ(after, expected) << "old files intact, nothing half-written";
}

TEST_P(RealFault, ASaveTarget)
{
    start();
    frmMain *main = Forms::get<frmMain>();
    DocumentSnapshot page{QStringLiteral("BODY"), QStringLiteral("http://h/page.htm"), {}};
    page.links.append({QStringLiteral("http://h/1"), QStringLiteral("http:"), QStringLiteral("One"), {}});
    main->CaptureLinksEx(LinkCaptureMode::All, page, QStringLiteral("Zdroj"));
    const QString target = env.writeFile(QStringLiteral("saves/links.htm"), "old links");
    OpenSave::setDialog([&](const SaveDialogRequest &) { return SaveDialogAnswer{true, target, 1}; });
    boxes.answers = {MsgBoxResult::Yes, MsgBoxResult::Yes}; // replace it, read-only or not
    const QMap<QString, QByteArray> before = FaultMount::contents(QFileInfo(target).path());
    FaultMount fault(GetParam(), QFileInfo(target).path());
    if (!fault.skipReason().isEmpty())
        GTEST_SKIP() << fault.skipReason().toStdString();
    main->SaveCapturedLinks(1);
    ASSERT_FALSE(boxes.shown.isEmpty());
    EXPECT_EQ(boxes.shown.last().prompt, QStringLiteral("Přístup k souboru byl zamítnut."));
    EXPECT_EQ(withoutFiller(FaultMount::contents(QFileInfo(target).path())), before);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RealFault, ::testing::Values(FaultKind::FullDisk, FaultKind::ReadOnly),
                         [](const auto &info) { return std::string(faultName(info.param)); });

} // namespace
