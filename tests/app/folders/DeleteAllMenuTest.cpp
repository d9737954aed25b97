#include "app/frmMain.h"
#include "core/SharedState.h"
#include "files/DeleteFileAsk.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/TreeView.h"
#include "platform/store/SettingsStore.h"

#include "MainWindowTest.h"
#include "FaultMount.h"
#include "FaultyFileSystem.h"
#include "RaisedError.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <QTreeWidget>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kQuestion = QStringLiteral("Odstranit trvale všechny smazané soubory?");

class DeleteAllMenu : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        QDir().mkpath(store());
        SaveSetting("Main", "CountDelFiles", "4");
    }

    QString store() const { return env.appFolder() + QStringLiteral("deleted/"); }
    QString storeKey() const { return env.appFolder() + QStringLiteral("deleted"); }
    QStringList stored() const
    {
        return QDir(store()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    // Nástroje through its mnemonic, down to the item, Enter: the way a user gets there.
    void chooseDeleteAll()
    {
        QApplication::setActiveWindow(main);
        QTest::keyClick(main, Qt::Key_T, Qt::AltModifier);
        QMenu *tools = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            tools = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            return tools != nullptr;
        }));
        for (int i = 0; i < 5 && tools->activeAction() != main->menuItem("mnuDeleteAll"); ++i)
            QTest::keyClick(tools, Qt::Key_Down);
        ASSERT_EQ(tools->activeAction(), main->menuItem("mnuDeleteAll"));
        QTest::keyClick(tools, Qt::Key_Return);
        QTest::qWait(0);
    }

    // The folder tree as it stands once built: the store node with a stored file.
    void buildTree()
    {
        auto *images = new ImageList(main);
        QPixmap pixmap(16, 16);
        images->add(QStringLiteral("recycle"), QIcon(pixmap));
        main->trwPath->setImageList(images);
        main->trwPath->addRoot(QStringLiteral("desktop"), QStringLiteral("plocha"));
        main->trwPath->addRoot(storeKey(), QStringLiteral("Smazané soubory"), QStringLiteral("recycle"));
        main->trwPath->add(storeKey(), TreeRelation::LastChild, store() + "00001a.txt", QStringLiteral("a.txt"));
        main->trwPath->addRoot(QStringLiteral("after"), QStringLiteral("za"));
        shared().FileTreeLoaded = true;
    }

    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(DeleteAllMenu, NoKeepsEverything)
{
    env.writeFile("home/.local/share/Vorlan/deleted/00001a.txt", "a");
    boxes.answers = {MsgBoxResult::No};
    chooseDeleteAll();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, kQuestion);
    EXPECT_EQ(boxes.shown[0].title, kQuestion);
    EXPECT_EQ(boxes.shown[0].style, MsgBoxStyle::YesNo | MsgBoxStyle::Exclamation);
    EXPECT_EQ(stored(), QStringList({"00001a.txt"}));
    EXPECT_EQ(GetSetting("Main", "CountDelFiles"), "4");
}

TEST_F(DeleteAllMenu, YesEmptiesTheStoreAndRenewsItsNodeAtTheEnd)
{
    env.writeFile("home/.local/share/Vorlan/deleted/00001a.txt", "a");
    buildTree();
    boxes.answers = {MsgBoxResult::Yes};
    chooseDeleteAll();
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(GetSetting("Main", "CountDelFiles"), "0");
    TreeView &tree = *main->trwPath;
    ASSERT_TRUE(tree.contains(storeKey()));
    EXPECT_FALSE(tree.contains(store() + "00001a.txt"));
    const TreeNode node = tree.node(storeKey());
    EXPECT_EQ(node.text(), QStringLiteral("Deleted files"));
    EXPECT_EQ(node.tag(), QStringLiteral("deleted"));
    EXPECT_EQ(node.children(), 0);
    EXPECT_EQ(tree.treeWidget()->topLevelItemCount(), 3);
    EXPECT_EQ(tree.treeWidget()->topLevelItem(2)->text(0), QStringLiteral("Deleted files"));
    EXPECT_TRUE(env.logLines().isEmpty());
}

TEST_F(DeleteAllMenu, BeforeTheTreeIsBuiltNoNodeIsAdded)
{
    env.writeFile("home/.local/share/Vorlan/deleted/00001a.txt", "a");
    boxes.answers = {MsgBoxResult::Yes};
    chooseDeleteAll();
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(main->trwPath->count(), 0);
    EXPECT_TRUE(env.logLines().isEmpty());
}

TEST_F(DeleteAllMenu, ANameThatIsNoTextIsRemovedAndTheNextEmptyingFindsNothing)
{
    const QByteArray stray = QFile::encodeName(store()) + "00001zl\xff.txt";
    ASSERT_EQ(::close(::open(stray.constData(), O_CREAT | O_WRONLY, 0600)), 0);
    QDir().mkpath(store() + QStringLiteral("slozka"));
    buildTree();
    boxes.answers = {MsgBoxResult::Yes, MsgBoxResult::Yes};
    chooseDeleteAll();
    EXPECT_FALSE(QFile::exists(QFile::decodeName(stray)));
    struct stat info {};
    const bool strayLeft = ::lstat(stray.constData(), &info) == 0;
    EXPECT_FALSE(strayLeft);
    EXPECT_EQ(stored(), QStringList{QStringLiteral("slozka")});
    EXPECT_TRUE(env.logLines().isEmpty()) << env.logLines().join('\n').toStdString();

    // The store holds a folder only: nothing to remove, one line.
    chooseDeleteAll();
    EXPECT_EQ(env.logLines().size(), 1);
    if (strayLeft)
        ::unlink(stray.constData()); // a name no text names stops the folder's clean-up
}

TEST_F(DeleteAllMenu, AnEmptyStoreLogsOneLine)
{
    buildTree();
    boxes.answers = {MsgBoxResult::Yes};
    chooseDeleteAll();
    EXPECT_EQ(GetSetting("Main", "CountDelFiles"), "0");
    EXPECT_EQ(main->trwPath->node(storeKey()).text(), QStringLiteral("Deleted files"));
    const QStringList lines = env.logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral(";mnuDeleteAll_Click;") + env.appFolder())) << lines[0].toStdString();
}

// Names that begin with the bytes of a byte-order mark, as stored or as put into the
// store by hand, leave at the emptying like any other.
TEST_F(DeleteAllMenu, NamesBeginningWithAByteOrderMarkAreEmptied)
{
    const QString mark(QChar(0xFEFF));
    env.writeFile(QStringLiteral("home/.local/share/Vorlan/deleted/00001") + mark + QStringLiteral("a.txt"), "a");
    env.writeFile(QStringLiteral("home/.local/share/Vorlan/deleted/") + mark + QStringLiteral("00002b.txt"), "b");
    buildTree();
    boxes.answers = {MsgBoxResult::Yes};
    chooseDeleteAll();
    EXPECT_TRUE(stored().isEmpty()) << stored().join('|').toStdString();
    EXPECT_EQ(boxes.shown.size(), 1) << "nothing stayed to be told";
    EXPECT_TRUE(env.logLines().isEmpty()) << env.logLines().join('\n').toStdString();
}

// The store a link to a folder holding someone else's files: the emptying removes
// none of them, and the user is told where the store is.
TEST_F(DeleteAllMenu, AStoreThatIsALinkIsNotEmptied)
{
    QDir(store()).removeRecursively();
    env.writeFile("cizi/precious.txt", "p");
    env.writeFile("cizi/00001stary.txt", "s");
    env.writeFile("cizi/sub/s.txt", "ss");
    const QMap<QString, QByteArray> foreign = FaultMount::contents(env.path("cizi"));
    ASSERT_EQ(::symlink(QFile::encodeName(env.path("cizi")).constData(), QFile::encodeName(storeKey()).constData()), 0);
    buildTree();
    boxes.answers = {MsgBoxResult::Yes};
    chooseDeleteAll();
    EXPECT_EQ(FaultMount::contents(env.path("cizi")), foreign);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].prompt,
              QStringLiteral("Složka smazaných souborů %1 je odkaz nebo to není složka. Soubory se do ní nepřesouvají, "
                             "nezobrazují ani z ní neodstraňují.")
                      .arg(storeKey()));
    EXPECT_EQ(boxes.shown[1].icon(), MsgBoxStyle::Critical);
    EXPECT_EQ(GetSetting("Main", "CountDelFiles"), "4") << "the command stopped at the refusal";
    EXPECT_EQ(main->trwPath->node(storeKey()).text(), QStringLiteral("Smazané soubory"));
}

namespace {

const QString kThreeStayed = QStringLiteral("Smazané soubory nebyly odstraněny všechny: ve složce %1 zůstaly 3 soubory. "
                                            "Důvod: Systém souborů je jen pro čtení.");

} // namespace

// A store on a disk that refuses every removal: the node reads "Deleted files" as after
// any emptying, and a message says how many files stayed and why.
TEST_F(DeleteAllMenu, AnEmptyingThatRemovedNothingTellsWhatStayed)
{
    for (const char *name : {"00001a.txt", "00002b.txt", "00003c.txt"})
        env.writeFile(QStringLiteral("home/.local/share/Vorlan/deleted/") + name, "x");
    QDir().mkpath(store() + QStringLiteral("slozka")); // a folder is no file that stayed
    buildTree();
    {
        FaultyFileSystem layer;
        layer.unlinkError = EROFS;
        boxes.answers = {MsgBoxResult::Yes};
        chooseDeleteAll();
    }
    EXPECT_EQ(stored(), QStringList({"00001a.txt", "00002b.txt", "00003c.txt", "slozka"}));
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].prompt, kThreeStayed.arg(storeKey()));
    EXPECT_EQ(boxes.shown[1].icon(), MsgBoxStyle::Exclamation);
    EXPECT_EQ(main->trwPath->node(storeKey()).text(), QStringLiteral("Deleted files"));
    EXPECT_EQ(env.logLines().size(), 1);

    // The same on a real read-only mount, and one file stayed is told as one.
    QDir(store() + QStringLiteral("slozka")).removeRecursively();
    QFile::remove(store() + QStringLiteral("00002b.txt"));
    QFile::remove(store() + QStringLiteral("00003c.txt"));
    FaultMount readOnly(FaultKind::ReadOnly, store());
    if (!readOnly.skipReason().isEmpty())
        GTEST_SKIP() << readOnly.skipReason().toStdString();
    boxes.shown.clear();
    boxes.answers = {MsgBoxResult::Yes};
    chooseDeleteAll();
    EXPECT_EQ(stored(), QStringList({"00001a.txt"}));
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].prompt,
              QStringLiteral("Smazané soubory nebyly odstraněny všechny: ve složce %1 zůstal 1 soubor. "
                             "Důvod: Systém souborů je jen pro čtení.")
                      .arg(storeKey()));
}

// An emptying that leaves a stored name behind (here a folder, which it skips; a file
// it cannot remove does the same) starts the numbers again at 0: the next Delete finds
// its stored name taken and stores the file under the next number, never leaving it
// where it was without a word.
TEST_F(DeleteAllMenu, ADeleteAfterAnEmptyingThatLeftANameStoresTheFileUnderTheNextNumber)
{
    env.writeFile("home/.local/share/Vorlan/deleted/00001a.txt", "a");
    QDir().mkpath(store() + "00000dopis.txt");
    boxes.answers = {MsgBoxResult::Yes};
    chooseDeleteAll();
    ASSERT_EQ(stored(), QStringList({"00000dopis.txt"}));
    ASSERT_EQ(GetSetting("Main", "CountDelFiles"), "0");

    const QString path = env.writeFile("docs/dopis.txt", "dopis");
    boxes.shown.clear();
    boxes.answers = {MsgBoxResult::Yes};
    DeleteFileAsk(main, path, false);
    ASSERT_EQ(boxes.shown.size(), 1) << "the question only";
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Smazat soubor dopis.txt ?"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(stored(), QStringList({"00000dopis.txt", "00001dopis.txt"}));
    EXPECT_EQ(TestEnvironment::readFile(store() + "00001dopis.txt"), "dopis");
    EXPECT_EQ(GetSetting("Main", "CountDelFiles"), "2");
}
