#include "app/frmMain.h"
#include "app/panel/frmPM.h"
#include "core/FileSettings.h"
#include "core/SharedState.h"
#include "files/frmQ.h"
#include "files/frmSelectDir.h"
#include "platform/controls/ButtonMenu.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/TreeView.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ShellOpen.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <sys/stat.h>

namespace {

// The folders-and-files pane over a desktop with f1.txt, an empty folder A in the
// documents and a stored file x.txt, without browser windows.
class FilesPopup : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        desktop = env.path("home/Plocha");
        docs = env.path("home/Dokumenty");
        env.writeFile("home/Plocha/f1.txt", "f1");
        QDir().mkpath(docs + "/A");
        QDir().mkpath(docs + "/B");
        QDir().mkpath(shared().AppDir + "deleted");
        QFile stored(shared().AppDir + "deleted/00001x.txt");
        ASSERT_TRUE(stored.open(QIODevice::WriteOnly));
        stored.close();
        shared().DesktopDir = desktop;
        shared().PersonalDir = docs;
        FileSettings::Pattern.save("*.txt");
        main->mnuViewPane_Click(2);
        QApplication::setActiveWindow(main);
        tree()->node(desktop).setExpanded(true);
        tree()->node(docs).setExpanded(true);
        tree()->node(shared().AppDir + "deleted").setExpanded(true);
        pm = Forms::get<frmPM>();
    }
    void TearDown() override
    {
        pm->mnuFiles->hide();
        setShellOpener({});
        Forms::unload<frmSelectDir>();
        MainWindowTest::TearDown();
    }

    TreeView *tree() const { return main->trwPath; }
    QTreeWidget *widget() const { return tree()->treeWidget(); }
    QPoint at(const QString &text) const
    {
        const auto items = widget()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_FALSE(items.isEmpty()) << qPrintable(text);
        return items.isEmpty() ? QPoint() : widget()->visualItemRect(items[0]).center();
    }
    // Right-clicks the node and leaves its pop-up menu open.
    void rightClick(const QString &text)
    {
        pm->mnuFiles->hide();
        QTest::mouseClick(widget()->viewport(), Qt::RightButton, {}, at(text));
    }
    void select(const QString &text) { QTest::mouseClick(widget()->viewport(), Qt::LeftButton, {}, at(text)); }
    QAction *subMenu(QMenu *menu) const { return menu->menuAction(); }

    QString desktop, docs;
    frmPM *pm = nullptr;
    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(FilesPopup, ItemsEnabledByNodeKindWithTheirDefaultItem)
{
    tree()->node("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}").setExpanded(false);
    const struct { const char *node; bool copy, move, del, rename, expand; const char *defaultItem; } rows[] = {
        {"f1.txt", true, true, true, true, false, "mnuFilesOpen"},
        {"x.txt", true, true, true, false, true, "mnuFilesExpand"},
        {"Smazané soubory", false, false, true, false, true, "mnuFilesCollapse"},
        {"Dokumenty", false, false, false, true, true, "mnuFilesCollapse"},
        {"A", false, false, false, true, true, "mnuFilesExpand"},
        {"Tento počítač", false, false, false, false, true, "mnuFilesExpand"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.node);
        rightClick(QString::fromUtf8(row.node));
        ASSERT_TRUE(pm->mnuFiles->isVisible());
        EXPECT_EQ(subMenu(pm->mnuFilesCopyTo)->isEnabled(), row.copy);
        EXPECT_EQ(subMenu(pm->mnuFilesMoveTo)->isEnabled(), row.move);
        EXPECT_EQ(pm->mnuFilesDelete->isEnabled(), row.del);
        EXPECT_EQ(pm->mnuFilesRename->isEnabled(), row.rename);
        EXPECT_EQ(pm->mnuFilesExpand->isEnabled(), row.expand);
        EXPECT_EQ(pm->mnuFilesCollapse->isEnabled(), row.expand);
        EXPECT_FALSE(pm->mnuFilesOpen->isEnabled()) << "no browser window is open";
        EXPECT_TRUE(pm->mnuFilesOpenNewWin->isEnabled());
        ASSERT_NE(pm->mnuFiles->defaultAction(), nullptr);
        EXPECT_EQ(pm->mnuFiles->defaultAction()->objectName(), row.defaultItem);
    }
}

TEST_F(FilesPopup, TheContextMenuKeyAndShiftF10ShowItToo)
{
    select("f1.txt");
    for (const auto &[key, modifiers] : {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        pm->mnuFiles->hide();
        QTest::keyClick(widget(), key, modifiers);
        EXPECT_TRUE(pm->mnuFiles->isVisible());
    }
}

TEST_F(FilesPopup, NumberedItemsAreCaptionedFromThePresetsAtEveryOpening)
{
    SaveSetting(PresetSections::QCopy, "Caption3", "R&D");
    SaveSetting(PresetSections::OpenWith, "Caption7", "a");
    SaveSetting(PresetSections::OpenWith, "Caption8", "ab");
    rightClick("f1.txt");
    EXPECT_EQ(pm->mnuFilesCopyToQ[2]->text(), "&2 R&&D");
    EXPECT_TRUE(pm->mnuFilesCopyToQ[2]->isEnabled());
    EXPECT_EQ(pm->mnuFilesCopyToQ[3]->text(), "&3 nevyužito");
    EXPECT_FALSE(pm->mnuFilesCopyToQ[3]->isEnabled());
    EXPECT_EQ(pm->mnuFilesOpenWith[7]->text(), "7 nevyužito");
    EXPECT_FALSE(pm->mnuFilesOpenWith[7]->isEnabled());
    EXPECT_EQ(pm->mnuFilesOpenWith[8]->text(), "8 ab");
    SaveSetting(PresetSections::QCopy, "Caption3", "");
    rightClick("f1.txt");
    EXPECT_EQ(pm->mnuFilesCopyToQ[2]->text(), "&2 nevyužito");
}

TEST_F(FilesPopup, QuickCopyAndMoveAskNothing)
{
    SaveSetting(PresetSections::QCopy, "1", docs + "/B");
    SaveSetting(PresetSections::QCopy, "Caption1", "B");
    SaveSetting(PresetSections::QMove, "2", docs + "/A");
    SaveSetting(PresetSections::QMove, "Caption2", "A");
    rightClick("f1.txt");
    pm->mnuFilesCopyToQ[0]->trigger();
    EXPECT_TRUE(QFile::exists(docs + "/B/f1.txt"));
    pm->mnuFilesMoveToQ[1]->trigger();
    EXPECT_TRUE(QFile::exists(docs + "/A/f1.txt"));
    EXPECT_FALSE(QFile::exists(desktop + "/f1.txt"));
    EXPECT_FALSE(tree()->contains(desktop + "/f1.txt"));
    EXPECT_FALSE(Forms::isLoaded<frmQ>());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(FilesPopup, AddToFavoritesTakesAFoldersTextAndNothingOnMyComputer)
{
    shared().FavoritesDir = env.path("home/Favorites");
    rightClick("A");
    QString proposed;
    // The command yields to the event loop before its dialog shows.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            proposed = dialog->findChild<QLineEdit *>()->text();
            dialog->accept();
        }
    });
    answer.start(10);
    pm->mnuFilesAddToFav->trigger();
    answer.stop();
    EXPECT_EQ(proposed, "A");
    const QString favorite = shared().FavoritesDir + "/A.url";
    EXPECT_TRUE(QString::fromUtf8(TestEnvironment::readFile(favorite)).contains("URL=" + docs + "/A"));
    QFile::remove(favorite);
    rightClick("Tento počítač");
    pm->mnuFilesAddToFav->trigger();
    EXPECT_EQ(QDir(shared().FavoritesDir).entryList(QDir::Files), QStringList());
}

TEST_F(FilesPopup, AddToFavoritesTitlesAPageByItsTitleAndNeverWaitsOnAPipe)
{
    shared().FavoritesDir = env.path("home/Favorites");
    env.writeFile("home/Plocha/t.html", "<html><title>Strana</title>");
    ASSERT_EQ(mkfifo(QFile::encodeName(desktop + "/x.html").constData(), 0600), 0);
    FileSettings::Pattern.save("*.txt;*.html");
    tree()->node(desktop).setExpanded(false);
    tree()->node(desktop).setExpanded(true);
    for (const auto &[node, title] : {std::pair{"t.html", "Strana"}, std::pair{"x.html", "[untitled]"}}) {
        SCOPED_TRACE(node);
        rightClick(node);
        QString proposed;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                proposed = dialog->findChild<QLineEdit *>()->text();
                dialog->reject();
            }
        });
        answer.start(10);
        pm->mnuFilesAddToFav->trigger();
        EXPECT_EQ(proposed, title);
    }
}

TEST_F(FilesPopup, TheTenthQuickCopyItemCopiesToPresetTen)
{
    SaveSetting(PresetSections::QCopy, "10", docs + "/B");
    SaveSetting(PresetSections::QCopy, "Caption10", "B");
    select("f1.txt");
    ButtonMenu &list = main->tbFiles[0]->button("copy").menu();
    emit list.aboutToShow();
    EXPECT_EQ(list.itemText("qc10"), "&9 B");
    EXPECT_TRUE(list.isItemEnabled("qc10"));
    EXPECT_EQ(list.itemText("qc1"), "&0 nevyužito");
    EXPECT_FALSE(list.isItemEnabled("qc1"));
    EXPECT_TRUE(list.isItemEnabled("copy"));
    list.itemAction("qc10")->trigger();
    EXPECT_TRUE(QFile::exists(docs + "/B/f1.txt"));
}

TEST_F(FilesPopup, TheCopyButtonOnAFolderDoesNothingAndOpenOnMyComputerOpensTheRoot)
{
    select("A");
    QTest::mouseClick(main->tbFiles[0]->button("copy").widget(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(Forms::isLoaded<frmSelectDir>());
    QList<QUrl> opened;
    setShellOpener([&](const QUrl &url) {
        opened.append(url);
        return true;
    });
    select("Tento počítač");
    QTest::mouseClick(main->tbFiles[2]->button("open").widget(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile("/")});
}

TEST_F(FilesPopup, TheDeleteButtonAsksAndStoresTheFile)
{
    select("f1.txt");
    QTest::mouseClick(main->tbFiles[2]->button("delete").widget(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, "Smazat soubor f1.txt ?");
    EXPECT_FALSE(QFile::exists(desktop + "/f1.txt"));
    EXPECT_FALSE(tree()->contains(desktop + "/f1.txt"));
}
