#include "app/frmMain.h"
#include "core/FileSettings.h"
#include "core/SharedState.h"
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

namespace {

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
    QStringList inTarget() const { return QDir(target).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

    QString desktop, target;
    ScriptedMessageBoxes boxes;
};

TEST_F(FileMenu, TheQuickItemsShowTheirPresets)
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
    quick->close();
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
