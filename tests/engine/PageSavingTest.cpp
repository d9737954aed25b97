#include "Waits.h"
#include "app/OpenSave.h"
#include "app/frmMain.h"
#include "app/panel/frmPM.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "files/frmTextLine.h"
#include "platform/controls/Forms.h"
#include "platform/controls/TreeView.h"
#include "platform/engine/BrowserControl.h"
#include "platform/files/FileSystem.h"
#include "platform/store/SettingsStore.h"

#include "FaultMount.h"
#include "LoopbackServer.h"
#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cerrno>
#include <functional>
#include <memory>

namespace {

constexpr int kDeadlineMs = 30000;

const QByteArray kPage = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Čeština</title></head>"
                         "<body><p>Příliš žluťoučký kůň</p><a href=\"/dál\">Dál</a></body></html>";

// A main window with a real browser window on a loopback page; save dialogs answered
// from the test's list.
class PageSaving : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        OpenSave::setDialog([this](const SaveDialogRequest &request) {
            asked.append(request);
            if (targets.isEmpty())
                return SaveDialogAnswer{};
            return SaveDialogAnswer{true, targets.takeFirst(), 1};
        });
    }
    void TearDown() override
    {
        OpenSave::setDialog({});
        MainWindowTest::TearDown();
    }

    static int backgroundWindows()
    {
        int count = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            count += widget->objectName() == QLatin1String("frmS") && widget->isVisible();
        return count;
    }

    std::unique_ptr<LoopbackServer> server = std::make_unique<LoopbackServer>(kPage);
    ScriptedMessageBoxes boxes;
    QList<SaveDialogRequest> asked;
    QStringList targets;
};

TEST_F(PageSaving, SaveAsOffersTheTitleAndWritesTheCompletePage)
{
    ASSERT_TRUE(openWindow(server->address(QStringLiteral("/stránka")), QStringLiteral("Čeština")));
    const QString target = env.path(QStringLiteral("uložené/Čeština.htm"));
    targets = {target};
    main->menuItem(QStringLiteral("mnuPageSaveHTML"))->trigger();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].fileName, QStringLiteral("Čeština"));
    ASSERT_TRUE(waitFor([&] { return QFile::exists(target); }, kDeadlineMs));
    EXPECT_TRUE(QString::fromUtf8(TestEnvironment::readFile(target)).contains(QStringLiteral("Příliš žluťoučký kůň")));
    EXPECT_EQ(QDir(env.path(QStringLiteral("uložené"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Čeština.htm"})
        << "the engine's own folder is gone";
    EXPECT_FALSE(QFileInfo::exists(env.home() + QStringLiteral("/Downloads"))) << "no folder the user never chose";

    targets = {target};
    main->menuItem(QStringLiteral("mnuPageSaveHTML"))->trigger();
    ASSERT_EQ(boxes.shown.size(), 1) << "a taken name is refused, never replaced";
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Soubor ") + target + QStringLiteral(" již existuje."));
}

TEST_F(PageSaving, TheBackgroundSaveLoadsAFreshCopyAsksAndCloses)
{
    ASSERT_TRUE(openWindow(server->address(QStringLiteral("/stránka")), QStringLiteral("Čeština")));
    const int requests = server->connections();
    const QString target = env.path(QStringLiteral("pozadí.htm"));
    targets = {target};
    main->menuItem(QStringLiteral("mnuPageSaveBack"))->trigger();
    EXPECT_EQ(backgroundWindows(), 1);
    ASSERT_TRUE(waitFor([&] { return QFile::exists(target) && backgroundWindows() == 0; }, kDeadlineMs));
    EXPECT_GT(server->connections(), requests) << "the page was loaded again";
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].fileName, QStringLiteral("Čeština"));
    EXPECT_TRUE(QString::fromUtf8(TestEnvironment::readFile(target)).contains(QStringLiteral("Příliš žluťoučký kůň")));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(PageSaving, AnUnreachablePageIsNeverSavedAsAnErrorPage)
{
    ASSERT_TRUE(openWindow(server->address(QStringLiteral("/stránka")), QStringLiteral("Čeština")));
    server.reset();
    main->SavePageInBackground();
    ASSERT_TRUE(waitFor([&] { return !boxes.shown.isEmpty() && backgroundWindows() == 0; }, kDeadlineMs));
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Stránku se nepodařilo uložit."));
    EXPECT_TRUE(asked.isEmpty());
}

// The file layer that lets the user act on the engine's download folder at the last
// moment before a save takes it away again.
class UserAtTheEngineFolder : public PosixFileSystem
{
public:
    UserAtTheEngineFolder() { FileSystem::install(this); }
    ~UserAtTheEngineFolder() override { FileSystem::install(nullptr); }

    int removeEmptyFolder(const QString &path, const FolderIdentity &identity) override
    {
        ++cleanUps;
        if (act)
            act(path);
        return PosixFileSystem::removeEmptyFolder(path, identity);
    }

    std::function<void(const QString &)> act;
    int cleanUps = 0;
};

void writeAt(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::NewOnly));
    file.write(bytes);
}

TEST_F(PageSaving, WhatTheUserPutsAtTheEnginesFolderDuringASaveStays)
{
    ASSERT_TRUE(openWindow(server->address(QStringLiteral("/stránka")), QStringLiteral("Čeština")));
    // The engine keeps the folder it read at its first save, maybe in an earlier test's home.
    const QString engineFolder = BrowserControl::engineDownloadFolder();
    const QString elsewhere = env.writeFile(QStringLiteral("jinde.txt"), "cíl odkazu");
    auto gone = [&] { return !QFileInfo::exists(engineFolder) && !QFileInfo(engineFolder).isSymLink(); };
    ASSERT_TRUE(gone()) << engineFolder.toStdString();
    UserAtTheEngineFolder files;

    struct Case
    {
        const char *what;
        std::function<void()> put;
        std::function<bool()> kept;
    };
    auto replaced = [&](const std::function<void()> &put) {
        return [&, put] {
            ASSERT_TRUE(QDir().rmdir(engineFolder));
            put();
        };
    };
    const Case cases[] = {
        {"nothing", [] {}, [&] { return gone(); }},
        {"a file inside",
         [&] { writeAt(engineFolder + QStringLiteral("/moje.txt"), "obsah"); },
         [&] { return TestEnvironment::readFile(engineFolder + QStringLiteral("/moje.txt")) == "obsah"; }},
        {"a file instead", replaced([&] { writeAt(engineFolder, "obsah"); }),
         [&] { return TestEnvironment::readFile(engineFolder) == "obsah"; }},
        {"a link instead", replaced([&] { QFile::link(elsewhere, engineFolder); }),
         [&] { return QFileInfo(engineFolder).symLinkTarget() == elsewhere; }},
        {"a folder of the user's instead", replaced([&] { QDir().mkdir(engineFolder); }),
         [&] { return QFileInfo(engineFolder).isDir() && !QFileInfo(engineFolder).isSymLink(); }},
    };
    int number = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        files.act = [&](const QString &folder) {
            EXPECT_EQ(folder, engineFolder);
            c.put();
        };
        const QString target = env.path(QStringLiteral("uložené/%1.htm").arg(++number));
        targets = {target};
        main->menuItem(QStringLiteral("mnuPageSaveHTML"))->trigger();
        ASSERT_TRUE(waitFor([&] { return QFile::exists(target); }, kDeadlineMs));
        EXPECT_EQ(files.cleanUps, number);
        EXPECT_TRUE(c.kept());
        EXPECT_EQ(TestEnvironment::readFile(elsewhere), "cíl odkazu");
        QFile::remove(engineFolder);
        QDir(engineFolder).removeRecursively();
        ASSERT_TRUE(gone());
    }

    QDir().mkpath(engineFolder);
    files.act = {};
    const QString target = env.path(QStringLiteral("uložené/před.htm"));
    targets = {target};
    main->menuItem(QStringLiteral("mnuPageSaveHTML"))->trigger();
    ASSERT_TRUE(waitFor([&] { return QFile::exists(target); }, kDeadlineMs));
    EXPECT_EQ(files.cleanUps, number) << "a folder that was there before is the user's";
    EXPECT_TRUE(QFileInfo(engineFolder).isDir());
    QDir().rmdir(engineFolder);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

// The file layer with a step run just before the staging folder is taken away.
class AtTheStagingFolder : public PosixFileSystem
{
public:
    AtTheStagingFolder() { FileSystem::install(this); }
    ~AtTheStagingFolder() override { FileSystem::install(nullptr); }

    int removeOwnFolder(const QString &path, const FolderIdentity &identity) override
    {
        staging = path;
        if (act)
            act(path);
        return PosixFileSystem::removeOwnFolder(path, identity);
    }

    std::function<void(const QString &)> act;
    QString staging;
};

TEST_F(PageSaving, ALinkPutAtTheStagingFolderLeadsItsRemovalNowhere)
{
    ASSERT_TRUE(openWindow(server->address(QStringLiteral("/stránka")), QStringLiteral("Čeština")));
    const QString precious = env.writeFile(QStringLiteral("cizí/cenný.txt"), "zůstává");
    AtTheStagingFolder files;
    files.act = [&](const QString &staging) {
        ASSERT_TRUE(QDir(staging).removeRecursively()); // empty once the page is in place
        ASSERT_TRUE(QFile::link(env.path(QStringLiteral("cizí")), staging));
    };
    const QString target = env.path(QStringLiteral("uložené/odkaz.htm"));
    targets = {target};
    main->menuItem(QStringLiteral("mnuPageSaveHTML"))->trigger();
    ASSERT_TRUE(waitFor([&] { return !files.staging.isEmpty() && QFile::exists(target); }, kDeadlineMs));
    QTest::qWait(100);
    EXPECT_EQ(TestEnvironment::readFile(precious), "zůstává");
    EXPECT_TRUE(QFileInfo(files.staging).isSymLink());
    QFile::remove(files.staging);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

// The file layer with every new file recorded, and failing with a chosen errno.
class RecordingFileSystem : public PosixFileSystem
{
public:
    RecordingFileSystem() { FileSystem::install(this); }
    ~RecordingFileSystem() override { FileSystem::install(nullptr); }

    // Every new file is written through its opened folder.
    int writeNew(const OpenFolder &folder, const QString &name, const QByteArray &bytes) override
    {
        written << folder.path() + QLatin1Char('/') + name;
        return writeError ? writeError : PosixFileSystem::writeNew(folder, name, bytes);
    }

    QStringList written;
    int writeError = 0;
};

class PresetSaving : public PageSaving
{
protected:
    void SetUp() override
    {
        PageSaving::SetUp();
        folder = env.path(QStringLiteral("Stránky"));
        QDir().mkpath(folder);
        SaveSetting(PresetSections::Save, QStringLiteral("1"), folder);
        SaveSetting(PresetSections::Save, QStringLiteral("Caption1"), QStringLiteral("Stránky"));
    }
    // Opens the Page menu, which reads the presets, and chooses preset n.
    void saveInto(int n)
    {
        emit main->menu(QStringLiteral("mnuPage"))->aboutToShow();
        main->menuItem(n == 1 ? QStringLiteral("mnuPageSaveD") : QStringLiteral("mnuPageSave%1").arg(n))->trigger();
    }
    // Waits until the read page was handled: a file, a message or a log line.
    bool settled(const QString &file)
    {
        return waitFor([&] { return QFile::exists(file) || !boxes.shown.isEmpty() || logged(); }, kDeadlineMs);
    }
    bool logged() const
    {
        const QStringList lines = env.logLines();
        return !lines.isEmpty() && lines.last().contains(QStringLiteral("mnuPageSave"));
    }

    QString folder;
};

TEST_F(PresetSaving, ThePageIsWrittenExactly)
{
    const QString address = server->address(QStringLiteral("/stránka"));
    ASSERT_TRUE(openWindow(address, QStringLiteral("Čeština")));
    const QString shownAddress = main->txtAddress->currentText();
    main->txtAddress->setEditText(QStringLiteral("napsáno, ale neodesláno"));
    const QString file = folder + QStringLiteral("/Čeština.htm");
    saveInto(1);
    ASSERT_TRUE(settled(file));
    const QByteArray bytes = TestEnvironment::readFile(file);
    ASSERT_TRUE(bytes.startsWith(QStringLiteral("\uFEFF<!--uloženo: ").toUtf8())) << bytes.left(40).toStdString();
    const qsizetype from = bytes.indexOf(" z URL: ");
    EXPECT_EQ(bytes.mid(from), (" z URL: " + shownAddress + " Vorlanem 2.40-->\r\n"
                                "<HTML><HEAD><TITLE>Čeština</TITLE></HEAD>"
                                "<body><p>Příliš žluťoučký kůň</p><a href=\"/dál\">Dál</a></body>\r\n</HTML>\r\n")
                                   .toUtf8());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

// Answers the name dialog each time it shows, in order: the text to type (nullptr
// keeps the proposed name) and whether to confirm.
struct NameAnswer
{
    const char *typed;
    bool ok;
};

class NameDialogScript : public QObject
{
public:
    explicit NameDialogScript(QList<NameAnswer> answers)
        : m_answers(std::move(answers))
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<frmTextLine *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || m_answers.isEmpty())
                return;
            proposed << dialog->txtText->text();
            captions << dialog->windowTitle();
            const NameAnswer answer = m_answers.takeFirst();
            if (answer.typed) {
                dialog->txtText->selectAll();
                QTest::keyClicks(dialog->txtText, QString::fromUtf8(answer.typed));
            }
            QTest::mouseClick(dialog->cmdNav[answer.ok ? 7 : 6], Qt::LeftButton);
        });
        m_poll.start(10);
    }

    bool done() const { return m_answers.isEmpty(); }
    QStringList proposed;
    QStringList captions;

private:
    QList<NameAnswer> m_answers;
    QTimer m_poll;
};

TEST_F(PresetSaving, ATakenNameAsksForAnotherUntilOneIsFree)
{
    ASSERT_TRUE(openWindow(server->address(QStringLiteral("/stránka")), QStringLiteral("Čeština")));
    const QString first = folder + QStringLiteral("/Čeština.htm");
    saveInto(1);
    ASSERT_TRUE(waitFor([&] { return QFile::exists(first); }, kDeadlineMs));
    const QByteArray original = TestEnvironment::readFile(first);

    NameDialogScript names({{nullptr, true}, {"druha verze.htm", true}});
    saveInto(1);
    const QString second = folder + QStringLiteral("/druha verze.htm");
    ASSERT_TRUE(waitFor([&] { return QFile::exists(second) && names.done(); }, kDeadlineMs));
    EXPECT_EQ(names.proposed, (QStringList{"Čeština.htm", "Čeština.htm"})) << "unchanged OK asks again";
    EXPECT_EQ(names.captions.value(0), QStringLiteral("Soubor ") + first + QStringLiteral(" již existuje."));
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Soubor ") + first + QStringLiteral(" již existuje."));
    EXPECT_EQ(TestEnvironment::readFile(first), original);
    EXPECT_TRUE(QString::fromUtf8(TestEnvironment::readFile(second)).contains(QStringLiteral("Příliš žluťoučký kůň")));

    NameDialogScript cancelled({{"treti.htm", false}});
    saveInto(1);
    ASSERT_TRUE(waitFor([&] { return cancelled.done(); }, kDeadlineMs));
    QTest::qWait(500);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/treti.htm")));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
}

TEST_F(PresetSaving, AFailedWriteIsShownAndAnEmptyFolderWritesNothing)
{
    ASSERT_TRUE(openWindow(server->address(QStringLiteral("/stránka")), QStringLiteral("Čeština")));
    RecordingFileSystem files;
    files.writeError = ENAMETOOLONG; // no code of its own: 8
    saveInto(1);
    ASSERT_TRUE(settled(folder + QStringLiteral("/Čeština.htm")));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].prompt.startsWith(QStringLiteral("Operace se souborem se nezdařila: ")))
        << boxes.shown[0].prompt.toStdString();
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/Čeština.htm")));

    boxes.shown.clear();
    files.written.clear();
    saveInto(2); // never configured: "2 2", no folder
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Cílová cesta neexistuje."));
    QTest::qWait(500);
    EXPECT_TRUE(files.written.isEmpty()) << files.written.join(QLatin1Char(' ')).toStdString();
}

TEST_F(PresetSaving, AnImageIsNoPageToSave)
{
    const QString image = env.writeFile(QStringLiteral("obrázek.svg"),
                                        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\"/>");
    NewWindow(image);
    frmWeb *window = windowTable().slot(windowTable().WindowNumber);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitFor([&] { return !window->Web->Busy() && !window->Web->LocationURL().isEmpty(); }, kDeadlineMs));
    RecordingFileSystem files;
    saveInto(1);
    ASSERT_TRUE(waitFor([&] { return logged(); }, kDeadlineMs));
    EXPECT_TRUE(env.logLines().last().contains(QStringLiteral(";mnuPageSaveD_Click;")));
    EXPECT_TRUE(files.written.isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

// The favorites pane beside real browser windows.
class FavoritesOpening : public MainWindowTest
{
protected:
    void SetUp() override
    {
        favorites = env.path(QStringLiteral("Favorites"));
        shared().FavoritesDir = favorites;
        shortcut(QStringLiteral("a.url"), QStringLiteral("/a"));
        shortcut(QStringLiteral("b.url"), QStringLiteral("/b"));
        shortcut(QStringLiteral("Složka/c.url"), QStringLiteral("/c"));
        QDir().mkpath(favorites + QStringLiteral("/Jen složky/Vnořená"));
        shortcut(QStringLiteral("Jen složky/Vnořená/d.url"), QStringLiteral("/d"));
        QDir().mkpath(favorites + QStringLiteral("/Prázdná"));
        MainWindowTest::SetUp();
        main->mnuViewPane_Click(1);
        tree = main->trwFavorites;
    }

    void shortcut(const QString &name, const QString &path)
    {
        env.writeFile(QStringLiteral("Favorites/") + name,
                      "[InternetShortcut]\r\nURL=" + server.address(path).toUtf8() + "\r\n");
    }
    // The addresses the windows opened since the count given show, in window order.
    QStringList openedSince(int number) const
    {
        QStringList paths;
        for (int n = number + 1; n <= windowTable().WindowNumber; ++n) {
            frmWeb *window = windowTable().slot(n);
            if (!window || !waitFor([&] { return !window->Web->LocationURL().isEmpty(); }, kDeadlineMs))
                return paths << QStringLiteral("?");
            paths << QUrl(window->Web->LocationURL()).path();
        }
        return paths;
    }
    void openAll(const QString &key)
    {
        tree->node(key).select();
        Forms::get<frmPM>()->mnuFavoritesOpenAll->trigger();
    }

    LoopbackServer server{kPage};
    QString favorites;
    TreeView *tree = nullptr;
};

TEST_F(FavoritesOpening, OpenAllOpensTheDirectShortcutsOnly)
{
    int before = windowTable().WindowNumber;
    openAll(favorites);
    EXPECT_EQ(openedSince(before), (QStringList{"/a", "/b"}));

    before = windowTable().WindowNumber;
    openAll(favorites + QStringLiteral("/Jen složky"));
    EXPECT_EQ(windowTable().WindowNumber, before) << "sub-folders are not entered";

    openAll(favorites + QStringLiteral("/Prázdná"));
    EXPECT_EQ(windowTable().WindowNumber, before);
    EXPECT_FALSE(tree->node(favorites + QStringLiteral("/Prázdná")).expanded());
    EXPECT_EQ(tree->node(favorites + QStringLiteral("/Prázdná")).image(), QStringLiteral("closed"));

    shortcut(QStringLiteral("Složka/e.url"), QStringLiteral("/e"));
    openAll(favorites + QStringLiteral("/Složka"));
    EXPECT_EQ(openedSince(before), (QStringList{"/c", "/e"})) << "read again before opening";
}

TEST_F(FavoritesOpening, AClickOpensAShortcutInTheActiveWindowButArrowsDoNot)
{
    ASSERT_TRUE(openWindow(server.address(QStringLiteral("/start")), QStringLiteral("Čeština")));
    BrowserControl *web = main->ActiveForm()->Web;
    QTreeWidget *widget = tree->treeWidget();
    widget->setFocus();
    tree->node(favorites + QStringLiteral("/a.url")).select();
    QTest::keyClick(widget, Qt::Key_Down);
    ASSERT_EQ(tree->selectedItem().key(), favorites + QStringLiteral("/b.url"));
    QTest::qWait(300);
    EXPECT_EQ(QUrl(web->LocationURL()).path(), QStringLiteral("/start"));

    QTreeWidgetItem *item = widget->currentItem();
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, widget->visualItemRect(widget->itemAbove(item)).center());
    EXPECT_TRUE(waitFor([&] { return QUrl(web->LocationURL()).path() == QLatin1String("/a"); }, kDeadlineMs));
    QTest::keyClick(widget, Qt::Key_Down);
    QTest::keyClick(widget, Qt::Key_Return);
    EXPECT_TRUE(waitFor([&] { return QUrl(web->LocationURL()).path() == QLatin1String("/b"); }, kDeadlineMs));
}

} // namespace

namespace {

// Replaces every new hidden folder that shows beside the target, as soon as it shows,
// with a link to another folder: what someone who may write into the target's folder
// could do to a folder a save works in there.
class LinkAtNewFolders : public QObject
{
public:
    LinkAtNewFolders(const QString &watched, const QString &leadsTo)
        : m_watched(watched)
        , m_leadsTo(leadsTo)
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const QFileInfoList found = QDir(m_watched).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
            for (const QFileInfo &info : found) {
                if (info.isSymLink() || !info.fileName().startsWith(QLatin1Char('.'))
                    || info.fileName().endsWith(QStringLiteral(".odlozena")))
                    continue;
                const QString moved = info.filePath() + QStringLiteral(".odlozena");
                if (QDir().rename(info.filePath(), moved) && QFile::link(m_leadsTo, info.filePath()))
                    aside << info.fileName();
            }
        });
        m_timer.start();
    }

    QStringList aside;

private:
    QString m_watched;
    QString m_leadsTo;
    QTimer m_timer;
};

const QByteArray kPicture = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==");

// A page with one picture, as the server sends it at /obrazek.
void servePageWithPicture(LoopbackServer &server)
{
    server.setPage("/obrazek", "<title>Obrázek</title><p>Příliš žluťoučký kůň</p><img src=\"/obr.png\">");
    server.route("/obr.png", [](const QByteArray &) {
        LoopbackResponse response;
        response.headers = {"Content-Type: image/png"};
        response.body = kPicture;
        return response;
    });
}

} // namespace

TEST_F(PageSaving, ALinkPutAtANewFolderBesideTheTargetLeadsNothingOut)
{
    servePageWithPicture(*server);
    ASSERT_TRUE(openWindow(server->address(QStringLiteral("/obrazek")), QStringLiteral("Obrázek")));
    const QMap<QString, QByteArray> theirs = {{QStringLiteral("stranka.htm"), "cizí stránka"},
                                              {QStringLiteral("stranka_files/mine.txt"), "moje"},
                                              {QStringLiteral("a.txt"), "a"}};
    for (auto it = theirs.begin(); it != theirs.end(); ++it)
        env.writeFile(QStringLiteral("cizí/") + it.key(), it.value());
    const QString folder = env.path(QStringLiteral("uložené"));
    QDir().mkpath(folder);
    LinkAtNewFolders links(folder, env.path(QStringLiteral("cizí")));
    const QString target = folder + QStringLiteral("/stranka.htm");
    targets = {target};
    main->menuItem(QStringLiteral("mnuPageSaveHTML"))->trigger();
    ASSERT_TRUE(waitFor([&] { return QFile::exists(target) || !boxes.shown.isEmpty(); }, kDeadlineMs));
    QTest::qWait(300);
    EXPECT_EQ(FaultMount::contents(env.path(QStringLiteral("cizí"))), theirs) << "the other folder is as it was";
    EXPECT_TRUE(links.aside.isEmpty()) << "a save works in no folder beside its target";
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(TestEnvironment::readFile(target)).contains(QStringLiteral("Příliš žluťoučký kůň")));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/stranka_files/mine.txt")));
    // The engine wrote in the program's private area, left empty.
    const QString area = shared().AppDir + QStringLiteral("staging");
    EXPECT_EQ(QFileInfo(area).permissions(),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser
                      | QFileDevice::WriteUser | QFileDevice::ExeUser);
    EXPECT_TRUE(QDir(area).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST_F(PageSaving, APageAndItsFilesAreSavedOntoAnotherDiskWhole)
{
    // The program's folder and the target on two file systems: the folder of the page's
    // files is copied through opened folders, then the staging folder goes.
    QTemporaryDir otherDisk(QStringLiteral("/dev/shm/vorlan-test-XXXXXX"));
    ASSERT_TRUE(otherDisk.isValid());
    servePageWithPicture(*server);
    ASSERT_TRUE(openWindow(server->address(QStringLiteral("/obrazek")), QStringLiteral("Obrázek")));
    const QString target = otherDisk.filePath(QStringLiteral("obrázek.htm"));
    targets = {target};
    main->menuItem(QStringLiteral("mnuPageSaveHTML"))->trigger();
    ASSERT_TRUE(waitFor([&] { return QFile::exists(target) || !boxes.shown.isEmpty(); }, kDeadlineMs));
    EXPECT_TRUE(boxes.shown.isEmpty());
    const QMap<QString, QByteArray> saved = FaultMount::contents(otherDisk.path());
    EXPECT_TRUE(QString::fromUtf8(saved.value(QStringLiteral("obrázek.htm"))).contains(QStringLiteral("žluťoučký")));
    QStringList pictures;
    for (auto it = saved.begin(); it != saved.end(); ++it) {
        if (it.key().startsWith(QStringLiteral("obrázek_files/")) && it.value() == kPicture)
            pictures << it.key();
    }
    EXPECT_EQ(pictures.size(), 1) << QStringList(saved.keys()).join(u' ').toStdString();
    EXPECT_TRUE(QDir(shared().AppDir + QStringLiteral("staging")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}
