#include "app/frmMain.h"
#include "core/FileSettings.h"
#include "core/SharedState.h"
#include "files/FolderTreeModel.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/StatusPanel.h"
#include "platform/controls/TreeView.h"
#include "platform/files/FileNames.h"

#include "MainWindowTest.h"
#include "QtPrinters.h"
#include "ScriptedMessageBoxes.h"
#include "support/FaultyFileSystem.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QTest>
#include <QTreeWidget>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folders-and-files pane of a main window without browser windows, over a
// documents folder of its own.
class FileTreePane : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        docs = env.path("home/Documents");
        for (const char *name : {"sub/in.txt", "sub2/x.txt", "a.html", "b.txt", "c.txt"})
            env.writeFile(QString("home/Documents/") + name, "x");
        shared().PersonalDir = docs + "/";
        FileSettings::Pattern.save("*.html;*.txt");
        main->mnuViewPane_Click(2);
        tree = main->trwPath;
        QApplication::setActiveWindow(main);
        tree->node(docs).setExpanded(true);
    }

    QString key(const char *name) const { return docs + "/" + name; }

    QRect rectOf(const QString &text) const
    {
        QTreeWidget *widget = tree->treeWidget();
        const auto items = widget->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return widget->visualItemRect(items.value(0));
    }

    void click(const QString &text, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(tree->treeWidget()->viewport(), button, {}, rectOf(text).center());
    }

    void clickNavPanel()
    {
        StatusPanel &panel = main->sbFileBar->panel(QStringLiteral("nav"));
        QTest::mouseClick(&panel, Qt::LeftButton, {}, panel.rect().center());
    }

    int children(const char *name) const { return tree->node(key(name)).children(); }

    // Types into the label editor the edit opened and confirms it.
    void type(const QString &text)
    {
        auto *editor = tree->treeWidget()->viewport()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr) << "no label edit started";
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    QString docs;
    TreeView *tree = nullptr;
    ScriptedMessageBoxes boxes;
};

TEST_F(FileTreePane, TheTreeImagesInTheirOrder)
{
    const ImageList *images = main->imlNIcons;
    ASSERT_EQ(images->count(), 63);
    EXPECT_EQ(images->keys(), FolderTree::imageKeys());
    for (int i = 1; i <= images->count(); ++i)
        EXPECT_FALSE(images->icon(i).isNull()) << "image " << i;
}

TEST_F(FileTreePane, ALockedTreeActsOnceOnAClickAndTheRightButtonNever)
{
    clickNavPanel();
    EXPECT_FALSE(shared().NavOnSelect);
    EXPECT_TRUE(main->sbFileBar->panel(QStringLiteral("nav")).picture().isNull());
    click("sub");
    EXPECT_EQ(children("sub"), 2) << "a left click on a folder reads it behind its placeholder";
    EXPECT_FALSE(tree->node(key("sub")).expanded());
    EXPECT_FALSE(shared().NavOnSelect) << "locked again after the click";
    QTest::keyClick(tree->treeWidget(), Qt::Key_Down);
    EXPECT_EQ(shared().LastNodeKey, key("sub2"));
    EXPECT_EQ(shared().LastNodeTag, "dir");
    EXPECT_EQ(children("sub2"), 1) << "the keyboard loads nothing";
    clickNavPanel();
    EXPECT_TRUE(shared().NavOnSelect);
    EXPECT_FALSE(main->sbFileBar->panel(QStringLiteral("nav")).picture().isNull());
    click("sub2", Qt::RightButton);
    EXPECT_EQ(children("sub2"), 1) << "the right button only selects";
    EXPECT_EQ(shared().TreeMouseButton, 0);
    // It brought up the tree's pop-up menu, which the user leaves with Esc.
    QWidget *menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_Escape);
}

TEST_F(FileTreePane, ALabelNamesTheFileOnDisk)
{
    click("b.txt");
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    click("b.txt");
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QString czech = QString(300, QChar(0x0161)) + ".txt"; // "š"
    type(czech);
    const QStringList names = QDir(docs).entryList(QDir::Files);
    EXPECT_FALSE(names.contains("b.txt"));
    const QString renamed = QString(123, QChar(0x0161)) + ".txt"; // 240 bytes, and 10 with the extension
    EXPECT_TRUE(names.contains(renamed)) << names.join('|').toStdString();
    EXPECT_TRUE(tree->contains(docs + "/" + renamed));
    EXPECT_EQ(tree->node(docs + "/" + renamed).text(), renamed);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(FileTreePane, ATakenNameKeepsBothFilesAndTheOldLabel)
{
    const QByteArray before = TestEnvironment::readFile(key("c.txt"));
    env.writeFile("home/Documents/b.txt", "b");
    tree->node(key("b.txt")).select();
    tree->startLabelEdit();
    type("c.txt");
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Critical);
    EXPECT_EQ(boxes.shown[0].title, "Vorlan") << "no title of its own";
    EXPECT_FALSE(boxes.shown[0].prompt.isEmpty());
    EXPECT_EQ(TestEnvironment::readFile(key("b.txt")), "b");
    EXPECT_EQ(TestEnvironment::readFile(key("c.txt")), before);
    EXPECT_EQ(tree->node(key("b.txt")).text(), "b.txt");
}

TEST_F(FileTreePane, ARefusedRenameIsToldByItsOwnReason)
{
    struct Case { int injected; const char *told; };
    const Case cases[] = {
        {EXDEV, "Nelze přejmenovat na jinou jednotku"}, // a folder of an overlay's lower layer
        {ENAMETOOLONG, "Název souboru nebo cesta je příliš dlouhá"},
        {EIO, "Chyba vstupu nebo výstupu zařízení"},
    };
    FaultyFileSystem layer;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.told);
        layer.renameError = c.injected;
        boxes.shown.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the last edit's editor
        tree->node(key("b.txt")).select();
        tree->startLabelEdit();
        type("d.txt");
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(boxes.shown[0].prompt, QString::fromUtf8(c.told));
        EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Critical);
        EXPECT_EQ(tree->node(key("b.txt")).text(), "b.txt");
        EXPECT_TRUE(QFileInfo::exists(key("b.txt")));
    }
}

// On a disk that folds case "B.txt" is found while "b.txt" is there: it is the file
// itself, so the label and the disk get the new name.
TEST_F(FileTreePane, ALabelChangingOnlyLetterCaseRenamesOnADiskThatFoldsCase)
{
    FaultyFileSystem layer;
    layer.foldsCase = true;
    tree->node(key("b.txt")).select();
    tree->startLabelEdit();
    type("B.txt");
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.value(0).prompt.toStdString();
    const QStringList names = QDir(docs).entryList(QDir::Files);
    EXPECT_TRUE(names.contains("B.txt")) << names.join('|').toStdString();
    EXPECT_FALSE(names.contains("b.txt"));
    ASSERT_TRUE(tree->contains(key("B.txt")));
    EXPECT_EQ(tree->node(key("B.txt")).text(), "B.txt");
    EXPECT_FALSE(tree->contains(key("b.txt")));
}

// F2, a taken name, Enter; the message is closed with Enter: the keys that follow
// move in the tree from the node whose edit was dropped, and none reaches the address.
TEST_F(FileTreePane, AfterARefusedRenameTheKeyboardIsBackInTheTree)
{
    MessageBoxService::install(nullptr); // the real message box, closed by a key
    main->txtAddress->setEditText(QStringLiteral("about:blank"));
    QString told;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        told = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    closer.start(20);
    click("b.txt");
    QTest::keyClick(tree->treeWidget(), Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "no label edit started";
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("c.txt"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty() && !QApplication::activeModalWidget(); }));
    QCoreApplication::processEvents();
    // The window manager gives the main window back its activation once the box is gone.
    QApplication::setActiveWindow(main);
    EXPECT_EQ(told, QStringLiteral("Soubor již existuje"));
    ASSERT_EQ(QApplication::focusWidget(), tree->treeWidget());
    EXPECT_EQ(tree->selectedItem().key(), key("b.txt"));
    for (const Qt::Key k : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Delete})
        QTest::keyClick(QApplication::focusWidget(), k);
    EXPECT_EQ(main->txtAddress->currentText(), QStringLiteral("about:blank"));
    EXPECT_EQ(tree->selectedItem().key(), key("sub2"));
    EXPECT_TRUE(QFileInfo::exists(key("b.txt")));
}

TEST_F(FileTreePane, AnEmptyNameIsRefusedInCzechAndRenamesNothing)
{
    const QStringList before = QDir(docs).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    tree->node(key("b.txt")).select();
    tree->startLabelEdit();
    type("");
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Critical);
    EXPECT_EQ(boxes.shown[0].title, "Vorlan");
    EXPECT_EQ(boxes.shown[0].prompt, "Název souboru nebo složky je prázdný.");
    EXPECT_EQ(QDir(docs).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_TRUE(QFileInfo(docs).isDir());
    EXPECT_EQ(tree->node(key("b.txt")).text(), "b.txt");
}

TEST_F(FileTreePane, VolumesTheStoreAndStoredFilesKeepTheirNames)
{
    env.writeFile(env.appFolder().mid(env.root().size() + 1) + "deleted/00001old.txt", "x");
    const QString store = shared().AppDir + "deleted";
    tree->node(store).setExpanded(true);
    const TreeNode computer = tree->node(FolderTree::MyComputerKey);
    ASSERT_GT(computer.children(), 0);
    for (const TreeNode &node : {computer, computer.child(), tree->node(store), tree->node(store + "/00001old.txt")}) {
        SCOPED_TRACE(node.key().toStdString());
        node.select();
        tree->startLabelEdit();
        EXPECT_EQ(tree->treeWidget()->viewport()->findChild<QLineEdit *>(), nullptr);
    }
    tree->node(key("a.html")).select();
    tree->startLabelEdit();
    EXPECT_NE(tree->treeWidget()->viewport()->findChild<QLineEdit *>(), nullptr) << "a file can";
}

TEST_F(FileTreePane, VanishedFilesLeaveTheTreeWhenItGetsTheFocus)
{
    tree->treeWidget()->clearFocus();
    ASSERT_NE(QApplication::focusWidget(), tree->treeWidget());
    QFile::remove(key("b.txt"));
    QFile::remove(key("c.txt"));
    tree->treeWidget()->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), tree->treeWidget());
    EXPECT_FALSE(tree->contains(key("b.txt")));
    EXPECT_FALSE(tree->contains(key("c.txt")));
    EXPECT_TRUE(tree->contains(key("a.html")));
}

} // namespace

TEST_F(FileTreePane, ANameThatIsNoUtf8IsShownReadablyAndRenamedOnlyWhenChanged)
{
    const QByteArray bytes = QFile::encodeName(docs) + "/spatne\xff\xfe.txt";
    ASSERT_EQ(::close(::open(bytes.constData(), O_CREAT | O_WRONLY, 0600)), 0);
    tree->node(docs).setExpanded(false);
    tree->node(docs).setExpanded(true);
    const QString shown = QStringLiteral("spatne˙ţ.txt [není UTF-8]");
    ASSERT_FALSE(rectOf(shown).isEmpty()) << "shown, read as Windows-1250 and marked";

    // F2 and Enter with the shown name as it was: nothing is renamed.
    click(shown);
    QTest::keyClick(tree->treeWidget(), Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "no label edit started";
    EXPECT_EQ(editor->text(), shown);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.shown.isEmpty());
    struct stat info {};
    EXPECT_EQ(::lstat(bytes.constData(), &info), 0) << "the file keeps its bytes";

    // A name typed instead is taken as UTF-8.
    QTest::keyClick(tree->treeWidget(), Qt::Key_F2);
    editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "no label edit started";
    editor->setText(QStringLiteral("opravený.txt"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.value(0).prompt.toStdString();
    EXPECT_NE(::lstat(bytes.constData(), &info), 0);
    EXPECT_TRUE(QFileInfo::exists(key("opravený.txt")));
    EXPECT_TRUE(tree->contains(key("opravený.txt")));
}
