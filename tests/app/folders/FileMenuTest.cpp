#include "app/frmMain.h"
#include "core/FileSettings.h"
#include "core/SharedState.h"
#include "files/frmTextLine.h"
#include "options/frmOptions.h"
#include "platform/controls/Forms.h"
#include "platform/controls/TreeView.h"
#include "platform/store/SettingsStore.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

using Steps = std::function<void(frmTextLine *)>;

// The File menu over the folders-and-files pane: a desktop with alfa.txt and
// gama.txt, documents with an empty "Cíl", and the quick presets 1 on Cíl. Menus are
// opened and chosen with the keys a user presses.
class FileMenu : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        desktop = env.path("home/Plocha");
        target = env.path("home/Dokumenty/Cíl");
        env.writeFile("home/Plocha/alfa.txt", "alfa");
        env.writeFile("home/Plocha/gama.txt", "gama");
        QDir().mkpath(target);
        shared().DesktopDir = desktop;
        shared().PersonalDir = env.path("home/Dokumenty");
        FileSettings::Pattern.save("*.txt");
        for (const char *section : {"Options\\QCopy", "Options\\QMove"}) {
            SaveSetting(section, "1", target);
            SaveSetting(section, "Caption1", "Cíl");
        }
        main->mnuViewPane_Click(2);
        QApplication::setActiveWindow(main);
        main->trwPath->node(desktop).setExpanded(true);
    }
    void TearDown() override
    {
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        MainWindowTest::TearDown();
        Forms::unload<frmTextLine>();
        Forms::unload<frmOptions>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void select(const QString &text)
    {
        QTreeWidget *widget = main->trwPath->treeWidget();
        const QRect rect = widget->visualItemRect(widget->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0));
        ASSERT_TRUE(rect.isValid()) << text.toStdString();
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static QMenu *activeMenu()
    {
        QMenu *menu = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); }));
        return menu;
    }
    // "&Soubor" through its mnemonic; the menu stays open.
    QMenu *openFileMenu()
    {
        QApplication::setActiveWindow(main);
        QTest::keyClick(main, Qt::Key_S, Qt::AltModifier);
        return activeMenu();
    }
    // Arrows down to the item and presses Enter (Right for a submenu, which then shows).
    static void choose(QMenu *menu, QAction *item, Qt::Key key = Qt::Key_Return)
    {
        ASSERT_NE(menu, nullptr);
        for (int i = 0; i < 30 && menu->activeAction() != item; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        ASSERT_EQ(menu->activeAction(), item);
        QTest::keyClick(menu, key);
    }
    QMenu *openSubmenu(const char *name)
    {
        choose(openFileMenu(), main->menuItem(QString(name) + "Action"), Qt::Key_Right);
        return activeMenu();
    }
    // Runs one set of steps on each showing of the name dialog, in order; a showing
    // they leave open is cancelled, and a showing beyond them fails.
    void onShowings(std::vector<Steps> steps)
    {
        auto *timer = new QTimer(main);
        timer->setInterval(5);
        auto pending = std::make_shared<std::vector<Steps>>(std::move(steps));
        QObject::connect(timer, &QTimer::timeout, [this, pending] {
            if (!Forms::isLoaded<frmTextLine>() || !Forms::get<frmTextLine>()->isVisible())
                return;
            frmTextLine *dialog = Forms::get<frmTextLine>();
            if (pending->empty()) {
                ADD_FAILURE() << "the name dialog shows once more";
                dialog->reject();
                return;
            }
            const Steps step = pending->front();
            pending->erase(pending->begin());
            step(dialog);
            if (dialog->isVisible())
                dialog->reject();
            ++showings;
        });
        timer->start();
    }
    static void retype(frmTextLine *dialog, const QString &name)
    {
        QTest::keyClick(dialog->txtText, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog->txtText, name);
        QTest::keyClick(dialog->txtText, Qt::Key_Return);
    }
    QStringList inTarget() const { return QDir(target).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

    QString desktop, target;
    int showings = 0;
    ScriptedMessageBoxes boxes;
};

TEST_F(FileMenu, TheQuickItemsShowTheirPresetsAndTheTenthRunsPresetTen)
{
    const QString tenth = env.path("home/Desátý");
    QDir().mkpath(tenth);
    SaveSetting("Options\\QCopy", "10", tenth);
    SaveSetting("Options\\QCopy", "Caption10", "R&D");
    select("alfa.txt");
    QMenu *quick = openSubmenu("mnuFileQCopy");
    const struct { int item; const char *text; bool enabled; } cases[] = {
        {0, "&0 Cíl", true}, {1, "&1 nevyužito", false}, {2, "&2 nevyužito", false}, {9, "&9 R&&D", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.item);
        QAction *item = main->menuItem(QStringLiteral("mnuFileQCopyTo%1").arg(c.item));
        EXPECT_EQ(item->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(item->isEnabled(), c.enabled);
    }
    choose(quick, main->menuItem("mnuFileQCopyTo9"));
    EXPECT_EQ(TestEnvironment::readFile(tenth + "/alfa.txt"), "alfa");
    EXPECT_TRUE(inTarget().isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(FileMenu, AQuickCopyOntoATakenNameAsksUntilANameIsFree)
{
    env.writeFile("home/Dokumenty/Cíl/alfa.txt", "stará");
    const QString taken = "Soubor " + target + "/alfa.txt již existuje.";
    const Steps sameName = [&](frmTextLine *dialog) {
        EXPECT_EQ(dialog->windowTitle(), taken);
        EXPECT_EQ(dialog->lblLabel->text(), "Zvolte jiné jméno.");
        EXPECT_EQ(dialog->txtText->selectedText(), "alfa.txt");
        QTest::keyClick(dialog->txtText, Qt::Key_Return);
    };
    onShowings({sameName, [](frmTextLine *dialog) { retype(dialog, "beta.txt"); }});
    select("alfa.txt");
    choose(openSubmenu("mnuFileQCopy"), main->menuItem("mnuFileQCopyTo0"));
    EXPECT_EQ(showings, 2);
    ASSERT_EQ(boxes.shown.size(), 2);
    for (const MessageBoxRequest &box : boxes.shown) {
        EXPECT_EQ(box.prompt, taken);
        EXPECT_EQ(box.title, "Uživatelská chyba");
    }
    EXPECT_EQ(TestEnvironment::readFile(target + "/alfa.txt"), "stará");
    EXPECT_EQ(TestEnvironment::readFile(target + "/beta.txt"), "alfa");
    EXPECT_TRUE(QFile::exists(desktop + "/alfa.txt"));
    EXPECT_FALSE(Forms::isLoaded<frmTextLine>() && Forms::get<frmTextLine>()->isVisible());
}

TEST_F(FileMenu, CancelAfterACollisionCopiesNothing)
{
    env.writeFile("home/Dokumenty/Cíl/alfa.txt", "stará");
    onShowings({[](frmTextLine *dialog) {
        QTest::keyClicks(dialog->txtText, "x");
        QTest::mouseClick(dialog->cmdNav[6], Qt::LeftButton);
    }});
    select("alfa.txt");
    choose(openSubmenu("mnuFileQCopy"), main->menuItem("mnuFileQCopyTo0"));
    EXPECT_EQ(showings, 1);
    EXPECT_EQ(inTarget(), QStringList{"alfa.txt"});
    EXPECT_EQ(TestEnvironment::readFile(desktop + "/alfa.txt"), "alfa");
}

TEST_F(FileMenu, APresetWithoutAFolderWritesNothing)
{
    SaveSetting("Options\\QCopy", "1", "");
    select("alfa.txt");
    choose(openSubmenu("mnuFileQCopy"), main->menuItem("mnuFileQCopyTo0"));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, "Cílová cesta neexistuje.");
    EXPECT_TRUE(inTarget().isEmpty());
    EXPECT_FALSE(QFile::exists("/alfa.txt")) << "the root is no preset's folder";
}

TEST_F(FileMenu, AQuickMoveTakesTheFileOutOfTheTree)
{
    select("gama.txt");
    choose(openSubmenu("mnuFileQMove"), main->menuItem("mnuFileQMoveTo0"));
    EXPECT_EQ(TestEnvironment::readFile(target + "/gama.txt"), "gama");
    EXPECT_FALSE(QFile::exists(desktop + "/gama.txt"));
    EXPECT_FALSE(main->trwPath->contains(desktop + "/gama.txt"));
    EXPECT_TRUE(main->trwPath->contains(desktop + "/alfa.txt"));
}

TEST_F(FileMenu, DeleteAsksAndYesMovesTheFileIntoTheStore)
{
    QDir().mkpath(env.appFolder() + "deleted");
    select("alfa.txt");
    boxes.answers = {MsgBoxResult::No, MsgBoxResult::Yes};
    choose(openFileMenu(), main->menuItem("mnuFileDel"));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, "Smazat soubor alfa.txt ?");
    EXPECT_EQ(boxes.shown[0].style, MsgBoxStyle::YesNo | MsgBoxStyle::Question);
    EXPECT_EQ(boxes.shown[0].title, "Vorlan");
    EXPECT_TRUE(QFile::exists(desktop + "/alfa.txt"));
    EXPECT_TRUE(main->trwPath->contains(desktop + "/alfa.txt"));

    choose(openFileMenu(), main->menuItem("mnuFileDel"));
    EXPECT_FALSE(QFile::exists(desktop + "/alfa.txt"));
    EXPECT_EQ(TestEnvironment::readFile(env.appFolder() + "deleted/00001alfa.txt"), "alfa");
    EXPECT_FALSE(main->trwPath->contains(desktop + "/alfa.txt"));
}

TEST_F(FileMenu, NewFolderOnAFileUsesItsFolder)
{
    QString label, text, title;
    select("alfa.txt");
    QTimer::singleShot(0, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        label = dialog->findChild<QLabel *>("lblLabel")->text();
        auto *line = dialog->findChild<QLineEdit *>("txtText");
        text = line->selectedText();
        QTest::keyClick(line, Qt::Key_Return);
    });
    QTest::keyClick(main->trwPath->treeWidget(), Qt::Key_F7);
    EXPECT_EQ(title, "Nová složka");
    EXPECT_EQ(label, "Nová složka v " + desktop);
    EXPECT_EQ(text, "Nová složka");
    EXPECT_TRUE(QFileInfo(desktop + "/Nová složka").isDir());
}

TEST_F(FileMenu, TheEightCommandsFollowTheNodeAndTheHiddenPane)
{
    const char *eight[] = {"mnuFileQCopyAction", "mnuFileQMoveAction", "mnuFastRename", "mnuOpenwithAction",
                           "mnuFileCopy", "mnuFileMove", "mnuFileDel", "mnuDirNew"};
    auto states = [&] {
        QString on;
        for (const char *item : eight)
            on += main->menuItem(item)->isEnabled() ? '1' : '0';
        return on;
    };
    select("Plocha");
    openFileMenu()->close();
    EXPECT_EQ(states(), "00110001");
    select("alfa.txt");
    openFileMenu()->close();
    EXPECT_EQ(states(), "11111111");
    main->mnuViewPane_Click(3);
    openFileMenu()->close();
    EXPECT_EQ(states(), "00000000");
    EXPECT_TRUE(main->menuItem("mnuFileExit")->isEnabled());
}

TEST_F(FileMenu, F2StartsRenamingTheSelectedFileInPlace)
{
    select("alfa.txt");
    QTest::keyClick(main->trwPath->treeWidget(), Qt::Key_F2);
    auto *editor = main->trwPath->treeWidget()->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "alfa.txt");
}

TEST_F(FileMenu, TheChangeItemsOpenTheOptionsOnTheirPages)
{
    const struct { const char *submenu; const char *item; int page; } cases[] = {
        {"mnuFileQCopy", "mnuFileQCopySelPaths", 3},
        {"mnuFileQMove", "mnuQMoveSelectPath", 4},
        {"mnuOpenwith", "mnuFileOpenWithChange", 11},
    };
    select("alfa.txt");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.item);
        int page = -1;
        QTimer::singleShot(0, main, [&] {
            frmOptions *options = Forms::get<frmOptions>();
            page = options->isVisible() ? options->shownPage() : -2;
            options->cmdNav_Click(6);
        });
        choose(openSubmenu(c.submenu), main->menuItem(c.item));
        EXPECT_EQ(page, c.page);
    }
}

} // namespace
