// Files a page sends to be saved, and a password typed into the address, in the real
// main window with real browser windows on a server of the test's own.
#include "Waits.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TabStrip.h"
#include "platform/engine/BrowserControl.h"
#include "platform/engine/EngineProfile.h"

#include "FaultMount.h"
#include "LoopbackServer.h"
#include "MainWindowTest.h"
#include "QtPrinters.h"
#include "ScriptedMessageBoxes.h"
#include "ScriptedSaveDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kDeadlineMs = 60000;

const QByteArray kLinks = R"html(<title>Soubory</title><body style="margin:0">
    <a href="/maly.txt" style="display:block;height:100px">malý</a>
    <a href="/velky.bin" style="display:block;height:100px">velký</a>
    <a href="/maly.txt" target="_blank" style="display:block;height:100px">malý do okna</a></body>)html";

QByteArray patternBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 value = 12345;
    for (qsizetype i = 0; i < size; ++i) {
        value = value * 1103515245u + 12345u;
        bytes[i] = char(value >> 24);
    }
    return bytes;
}

const QByteArray &fiftyMegabytes()
{
    static const QByteArray bytes = patternBytes(50 * 1024 * 1024);
    return bytes;
}

LoopbackServer::Route attachment(const QByteArray &name, const QByteArray &bytes)
{
    return [name, bytes](const QByteArray &) {
        LoopbackResponse response;
        response.headers = {"Content-Type: application/octet-stream",
                            "Content-Disposition: attachment; filename=\"" + name + "\""};
        response.body = bytes;
        return response;
    };
}

class Downloads : public MainWindowTest
{
protected:
    void SetUp() override
    {
        QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
        EngineProfile::resetInstance();
        MainWindowTest::SetUp();
        shared().PersonalDir = env.path(QStringLiteral("Dokumenty"));
        QDir().mkpath(shared().PersonalDir);
        QDir().mkpath(env.path(QStringLiteral("cíl")));
        server.route("/maly.txt", attachment("maly.txt", small));
        server.route("/velky.bin", attachment("velky.bin", large));
    }

    void TearDown() override
    {
        MainWindowTest::TearDown();
        EngineProfile::resetInstance();
    }

    static void click(frmWeb *window, QPoint point)
    {
        QWidget *view = window->Web->focusProxy();
        QWidget *target = view->focusProxy() ? view->focusProxy() : view;
        QTest::mouseMove(target, point);
        QTest::qWait(100);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, point);
    }

    QString statusText() const { return main->sbStatusBar->panel(1).text(); }

    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    const QByteArray small = patternBytes(1024);
    const QByteArray &large = fiftyMegabytes();
    LoopbackServer server{kLinks};
    ScriptedMessageBoxes boxes;
    ScriptedSaveDialogs dialogs;
    QList<SaveDialogRequest> &asked = dialogs.asked;
    QStringList &targets = dialogs.targets;
};

TEST_F(Downloads, AKilobyteAndFiftyMegabytesAreSavedWhereChosenByteForByte)
{
    frmWeb *window = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Soubory"));
    ASSERT_NE(window, nullptr);
    // A file of the user's is never replaced: its name is refused and the dialog asked again.
    const QString taken = env.writeFile(QStringLiteral("cíl/můj.txt"), "můj");
    const QString smallTarget = env.path(QStringLiteral("cíl/malý soubor.txt"));
    targets = {taken, smallTarget};
    click(window, QPoint(50, 50));
    ASSERT_TRUE(waitFor([&] { return statusText() == QStringLiteral("Soubor malý soubor.txt byl stažen."); },
                                kDeadlineMs))
        << statusText().toStdString();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0].title, QStringLiteral("Uložit jako"));
    EXPECT_EQ(asked[0].fileName, QStringLiteral("maly.txt"));
    EXPECT_EQ(asked[0].initDir, shared().PersonalDir);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Soubor ") + taken + QStringLiteral(" již existuje."));
    EXPECT_EQ(TestEnvironment::readFile(taken), QByteArray("můj"));
    EXPECT_EQ(TestEnvironment::readFile(smallTarget), small);

    const QString largeTarget = env.path(QStringLiteral("cíl/velký.bin"));
    targets = {largeTarget};
    QStringList progress;
    click(window, QPoint(50, 150));
    ASSERT_TRUE(waitFor([&] {
        if (statusText().contains(QLatin1Char('%')) && !progress.contains(statusText()))
            progress << statusText();
        return statusText() == QStringLiteral("Soubor velký.bin byl stažen.");
    }, kDeadlineMs)) << statusText().toStdString();
    EXPECT_FALSE(progress.isEmpty());
    for (const QString &text : progress)
        EXPECT_TRUE(text.startsWith(QStringLiteral("Stahování souboru velký.bin: "))) << text.toStdString();
    EXPECT_TRUE(TestEnvironment::readFile(largeTarget) == large) << "the saved file differs";
    EXPECT_EQ(entries(env.path(QStringLiteral("cíl"))),
              QStringList({QStringLiteral("malý soubor.txt"), QStringLiteral("můj.txt"), QStringLiteral("velký.bin")}));
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(env.home() + QStringLiteral("/Downloads"))) << "no folder the user never chose";
    EXPECT_EQ(shared().WindowCount, 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Soubory"));
}

TEST_F(Downloads, ZrusitInTheSaveDialogLeavesNothing)
{
    frmWeb *window = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Soubory"));
    ASSERT_NE(window, nullptr);
    click(window, QPoint(50, 150));
    ASSERT_TRUE(waitFor([&] { return !asked.isEmpty(); }, kDeadlineMs));
    QTest::qWait(1000);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(entries(shared().PersonalDir).isEmpty());
    EXPECT_TRUE(entries(env.path(QStringLiteral("cíl"))).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(env.home() + QStringLiteral("/Downloads"))) << "no folder the user never chose";
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Soubory"));
}

TEST_F(Downloads, ADownloadCutShortIsToldAndLeavesNothing)
{
    server.route("/preruseny.bin", [](const QByteArray &) {
        LoopbackResponse response = attachment("preruseny.bin", patternBytes(64 * 1024))({});
        response.announcedLength = 1024 * 1024;
        return response;
    });
    frmWeb *window = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Soubory"));
    ASSERT_NE(window, nullptr);
    targets = {env.path(QStringLiteral("cíl/přerušený.bin"))};
    window->Web->Navigate(server.address(QStringLiteral("/preruseny.bin")));
    ASSERT_TRUE(waitFor([&] { return !boxes.shown.isEmpty(); }, kDeadlineMs)) << statusText().toStdString();
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Soubor přerušený.bin se nepodařilo stáhnout: soubor nepřišel celý."));
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Critical);
    // The engine's own new attempts go to the same place unasked.
    EXPECT_EQ(asked.size(), 1);
    EXPECT_GE(server.requests().count(), 4);
    EXPECT_FALSE(statusText().contains(QStringLiteral("byl stažen")));
    EXPECT_TRUE(entries(env.path(QStringLiteral("cíl"))).isEmpty());
}

TEST_F(Downloads, AWindowOpenedForADownloadClosesAndTheAddressFollowsTheActiveWindow)
{
    frmWeb *window = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Soubory"));
    ASSERT_NE(window, nullptr);
    const QString address = main->txtAddress->currentText();
    const QString target = env.path(QStringLiteral("cíl/maly.txt"));
    targets = {target};
    click(window, QPoint(50, 250));
    ASSERT_TRUE(waitFor([&] { return !asked.isEmpty(); }, kDeadlineMs));
    ASSERT_TRUE(waitFor([&] { return shared().WindowCount == 1 && QFile::exists(target); }, kDeadlineMs))
        << "windows: " << shared().WindowCount;
    EXPECT_EQ(TestEnvironment::readFile(target), small);
    QTest::qWait(300);
    EXPECT_EQ(main->ActiveForm(), window);
    EXPECT_EQ(main->txtAddress->currentText(), address);
    EXPECT_EQ(main->tbsWindows->selectedKey(), WindowTabKey(window->number()));
}

// The name offered in the save dialog: never a hidden file's, and the server's own
// encodings of a Czech or a Latin-1 name kept.
TEST_F(Downloads, TheSuggestedNameNeverBeginsWithADotAndKeepsItsEncodedLetters)
{
    const auto disposition = [](const QByteArray &header) {
        return [header](const QByteArray &) {
            LoopbackResponse response;
            response.headers = {"Content-Type: application/octet-stream", "Content-Disposition: attachment; " + header};
            response.body = "obsah";
            return response;
        };
    };
    server.route("/skryty", disposition("filename=\".xsessionrc\""));
    server.route("/tecky", disposition("filename=\"...\""));
    server.route("/utf8", disposition("filename*=UTF-8''%C5%BElu%C5%A5ou%C4%8Dk%C3%BD.txt"));
    server.route("/latin1", disposition("filename=\"caf\xe9.txt\""));
    frmWeb *window = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Soubory"));
    ASSERT_NE(window, nullptr);
    const std::pair<const char *, QString> cases[] = {
        {"/skryty", QStringLiteral("xsessionrc")},
        {"/tecky", QStringLiteral("download")},
        {"/utf8", QStringLiteral("žluťoučký.txt")},
        {"/latin1", QStringLiteral("café.txt")},
    };
    for (const auto &[path, offered] : cases) {
        SCOPED_TRACE(path);
        const qsizetype before = asked.size();
        window->Web->Navigate(server.address(QString::fromLatin1(path)));
        ASSERT_TRUE(waitFor([&] { return asked.size() > before; }, kDeadlineMs));
        EXPECT_EQ(asked.last().fileName, offered);
    }
    EXPECT_TRUE(entries(shared().PersonalDir).isEmpty());
}

TEST_F(Downloads, APasswordInTheAddressIsNeverShown)
{
    server.route("/tajne", [](const QByteArray &head) {
        LoopbackResponse response;
        if (head.contains("Authorization: Basic " + QByteArray("jan:heslo").toBase64())) {
            response.body = "<p>vítejte</p>";
            return response;
        }
        response.status = "401 Unauthorized";
        response.headers << "WWW-Authenticate: Basic realm=\"Sklad\"";
        return response;
    });
    const QString typed = server.address(QStringLiteral("/tajne")).replace(QStringLiteral("//"), QStringLiteral("//jan:heslo@"));
    NewWindow(typed);
    frmWeb *window = windowTable().slot(windowTable().WindowNumber);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitFor([&] { return !window->Web->Busy() && evaluate(window, QStringLiteral("document.body ? document.body.innerText : ''")) == QStringLiteral("vítejte"); }, kDeadlineMs));
    QTest::qWait(300);
    QStringList shown = {main->txtAddress->currentText(), window->windowTitle(), main->windowTitle(),
                         main->tbsWindows->toolTip(WindowTabKey(window->number())), statusText()};
    for (int i = 0; i < main->txtAddress->count(); ++i)
        shown << main->txtAddress->itemText(i);
    EXPECT_TRUE(main->txtAddress->currentText().startsWith(QStringLiteral("http://jan@127.0.0.1:")))
        << main->txtAddress->currentText().toStdString();
    for (const QString &text : shown)
        EXPECT_FALSE(text.contains(QStringLiteral("heslo"))) << text.toStdString();
    EXPECT_GE(main->txtAddress->count(), 1);
}

} // namespace

TEST_F(Downloads, ALinkPutAtANewFolderBesideTheTargetLeadsNothingOutAndRemovesNothing)
{
    // A download cut short, tried again by the engine and then told: time for someone
    // who may write into the target's folder to put a link at any folder made there.
    server.route("/preruseny.bin", [](const QByteArray &) {
        LoopbackResponse response = attachment("preruseny.bin", patternBytes(64 * 1024))({});
        response.announcedLength = 1024 * 1024;
        return response;
    });
    const QMap<QString, QByteArray> theirs = {{QStringLiteral("a.txt"), "a"},
                                              {QStringLiteral("b.txt"), "b"},
                                              {QStringLiteral("sub/c.txt"), "c"},
                                              {QStringLiteral("přerušený.bin"), "jejich"}};
    for (auto it = theirs.begin(); it != theirs.end(); ++it)
        env.writeFile(QStringLiteral("cizí/") + it.key(), it.value());
    const QString folder = env.path(QStringLiteral("cíl"));
    QStringList aside;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (info.isSymLink() || !info.fileName().startsWith(QLatin1Char('.'))
                || info.fileName().endsWith(QStringLiteral(".odlozena")))
                continue;
            if (QDir().rename(info.filePath(), info.filePath() + QStringLiteral(".odlozena"))
                && QFile::link(env.path(QStringLiteral("cizí")), info.filePath()))
                aside << info.fileName();
        }
    });
    watcher.start();
    frmWeb *window = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Soubory"));
    ASSERT_NE(window, nullptr);
    targets = {folder + QStringLiteral("/přerušený.bin")};
    window->Web->Navigate(server.address(QStringLiteral("/preruseny.bin")));
    ASSERT_TRUE(waitFor([&] { return !boxes.shown.isEmpty(); }, kDeadlineMs)) << statusText().toStdString();
    QTest::qWait(300);
    watcher.stop();
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Soubor přerušený.bin se nepodařilo stáhnout: soubor nepřišel celý."));
    EXPECT_EQ(FaultMount::contents(env.path(QStringLiteral("cizí"))), theirs) << "the other folder is as it was";
    EXPECT_TRUE(aside.isEmpty()) << "a download works in no folder beside its target";
    EXPECT_TRUE(entries(folder).isEmpty());
    // The engine wrote in the program's private area, left empty.
    const QString area = shared().AppDir + QStringLiteral("staging");
    EXPECT_EQ(QFileInfo(area).permissions(),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser
                      | QFileDevice::WriteUser | QFileDevice::ExeUser);
    EXPECT_TRUE(entries(area).isEmpty());
}

TEST_F(Downloads, AFileLargerThanTheRoomLeftForTheStagingAreaIsRefusedBeforeItStarts)
{
    const QString area = shared().AppDir + QStringLiteral("staging");
    QDir().mkpath(area);
    FaultMount full(FaultKind::FullDisk, area);
    if (!full.skipReason().isEmpty())
        GTEST_SKIP() << full.skipReason().toStdString();
    frmWeb *window = openWindow(server.address(QStringLiteral("/")), QStringLiteral("Soubory"));
    ASSERT_NE(window, nullptr);
    targets = {env.path(QStringLiteral("cíl/velký.bin"))};
    click(window, QPoint(50, 150));
    ASSERT_TRUE(waitFor([&] { return !boxes.shown.isEmpty(); }, kDeadlineMs)) << statusText().toStdString();
    EXPECT_TRUE(boxes.shown[0].prompt.startsWith(
            QStringLiteral("Soubor velký.bin se nepodařilo stáhnout: na disku pracovní složky programu ") + area
            + QStringLiteral(" je volných ")))
        << boxes.shown[0].prompt.toStdString();
    EXPECT_TRUE(boxes.shown[0].prompt.endsWith(QStringLiteral(" bajtů.")))
        << boxes.shown[0].prompt.toStdString();
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Critical);
    EXPECT_TRUE(entries(env.path(QStringLiteral("cíl"))).isEmpty());
    QStringList left = entries(area);
    left.removeAll(FaultMount::fillerName());
    EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
}
