#include "app/frmMain.h"
#include "core/FileSettings.h"
#include "core/OptionsSettings.h"
#include "core/SharedState.h"
#include "files/FolderTreeKeys.h"
#include "files/frmQ.h"
#include "files/frmSelectDir.h"
#include "platform/controls/Forms.h"
#include "platform/controls/TreeView.h"
#include "platform/store/SettingsStore.h"

#include "ListClicks.h"
#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

// The folders-and-files pane over a desktop with f1.txt, with move preset 6 on folder
// A and copy preset 6 on folder B of the documents.
class FileTreeKeys : public MainWindowTest
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
        shared().DesktopDir = desktop;
        shared().PersonalDir = docs;
        FileSettings::Pattern.save("*.txt");
        SaveSetting(PresetSections::QMove, "6", docs + "/A");
        SaveSetting(PresetSections::QMove, "Caption6", "A");
        SaveSetting(PresetSections::QCopy, "6", docs + "/B");
        SaveSetting(PresetSections::QCopy, "Caption6", "B");
        main->mnuViewPane_Click(2);
        QApplication::setActiveWindow(main);
        tree()->node(desktop).setExpanded(true);
        select("f1.txt");
    }
    void TearDown() override
    {
        Forms::unload<frmQ>();
        Forms::unload<frmSelectDir>();
        MainWindowTest::TearDown();
    }

    TreeView *tree() const { return main->trwPath; }
    QTreeWidget *widget() const { return tree()->treeWidget(); }
    void select(const QString &text)
    {
        const auto items = widget()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(items.isEmpty()) << qPrintable(text);
        QTest::mouseClick(widget()->viewport(), Qt::LeftButton, {}, visibleRowPoint(widget(), items[0]));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::KeypadModifier)
    {
        QTest::keyClick(widget(), Qt::Key(key), modifiers);
    }
    // Answers the question that shows next with the steps; a question that never
    // shows counts as asked not.
    void whenAsked(std::function<void(frmQ *)> steps)
    {
        asked = false;
        QTimer::singleShot(0, [this, steps] {
            if (!Forms::isLoaded<frmQ>() || !Forms::get<frmQ>()->isVisible())
                return;
            asked = true;
            question = Forms::get<frmQ>()->lblQ->text();
            steps(Forms::get<frmQ>());
        });
    }
    bool inA(const char *name) const { return QFile::exists(docs + "/A/" + name); }
    bool inB(const char *name) const { return QFile::exists(docs + "/B/" + name); }
    bool onDesktop(const char *name) const { return QFile::exists(desktop + "/" + name); }

    QString desktop, docs, question;
    bool asked = false;
    ScriptedMessageBoxes boxes;
};

const auto yes = [](frmQ *dialog) { QTest::mouseClick(dialog->cmdYes, Qt::LeftButton); };

} // namespace

TEST_F(FileTreeKeys, KeypadFiveMovesToPresetSixAndCtrlCopiesOthersDoNothing)
{
    shared().NotWarnQMove = shared().NotWarnQCopy = true;
    const struct { Qt::KeyboardModifiers modifiers; bool moved; bool copied; } cases[] = {
        {Qt::KeypadModifier | Qt::AltModifier, false, false},
        {Qt::KeypadModifier | Qt::ShiftModifier, false, false},
        {Qt::NoModifier, false, false}, // the 5 above the letters
        {Qt::KeypadModifier | Qt::ControlModifier, false, true},
        {Qt::KeypadModifier, true, true}, // the copy stays
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.modifiers));
        key(Qt::Key_5, c.modifiers);
        EXPECT_EQ(inA("f1.txt"), c.moved);
        EXPECT_EQ(onDesktop("f1.txt"), !c.moved);
        EXPECT_EQ(inB("f1.txt"), c.copied);
    }
    EXPECT_FALSE(tree()->contains(desktop + "/f1.txt"));
}

TEST_F(FileTreeKeys, TheMoveQuestionComesFirstAndNoMovesNothing)
{
    whenAsked([](frmQ *dialog) { QTest::mouseClick(dialog->cmdNo, Qt::LeftButton); });
    key(Qt::Key_5);
    EXPECT_TRUE(asked);
    EXPECT_EQ(question, "Tato klávesová zkratka přesune automaticky soubor do přednastavené cesty bez dalšího "
                        "dotazování. Chcete soubor opravdu přesunout?");
    EXPECT_TRUE(onDesktop("f1.txt"));
    whenAsked(yes);
    key(Qt::Key_5);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(inA("f1.txt"));
}

TEST_F(FileTreeKeys, ATickedMoveQuestionStopsOnlyTheMoveQuestion)
{
    env.writeFile("home/Plocha/f2.txt", "f2");
    tree()->node(desktop).setExpanded(false);
    tree()->node(desktop).setExpanded(true);
    select("f1.txt");
    whenAsked([](frmQ *dialog) {
        QTest::mouseClick(dialog->chkNA, Qt::LeftButton, {}, QPoint(5, dialog->chkNA->height() / 2));
        yes(dialog);
    });
    key(Qt::Key_5);
    EXPECT_TRUE(inA("f1.txt"));
    select("f2.txt");
    whenAsked(yes);
    key(Qt::Key_5, Qt::KeypadModifier | Qt::ControlModifier);
    EXPECT_TRUE(asked) << "the copy question is asked still";
    EXPECT_TRUE(inB("f2.txt"));
    whenAsked(yes);
    key(Qt::Key_5);
    EXPECT_FALSE(asked);
    EXPECT_TRUE(inA("f2.txt"));
}

TEST_F(FileTreeKeys, AnUnsetPresetAndAFolderDoNothing)
{
    whenAsked(yes);
    key(Qt::Key_4);
    EXPECT_FALSE(asked);
    select("Dokumenty");
    whenAsked(yes);
    key(Qt::Key_5);
    EXPECT_FALSE(asked);
    EXPECT_TRUE(onDesktop("f1.txt"));
}

TEST_F(FileTreeKeys, KeypadKeysWithNumLockOffAreTheirOwnKeys)
{
    using namespace FolderTreeKeys;
    EXPECT_EQ(row(Qt::Key_Insert, Qt::KeypadModifier), Row::Insert);
    EXPECT_EQ(keypadDigit(Qt::Key_Insert, Qt::KeypadModifier), -1);
    EXPECT_EQ(keypadDigit(Qt::Key_0, Qt::KeypadModifier), 0);
    EXPECT_EQ(keypadDigit(Qt::Key_9, Qt::KeypadModifier | Qt::ControlModifier), 9);
    EXPECT_EQ(row(Qt::Key_F10, Qt::ShiftModifier), Row::Menu);
    EXPECT_EQ(row(Qt::Key_F10, Qt::ControlModifier), Row::Swallow);
    EXPECT_EQ(row(Qt::Key_F12, Qt::ShiftModifier), Row::None);
    whenAsked(yes);
    key(Qt::Key_Insert);
    EXPECT_FALSE(asked);
    EXPECT_TRUE(onDesktop("f1.txt"));
}

TEST_F(FileTreeKeys, DeleteOnAFolderIsSwallowedAndOnAFileAsks)
{
    select("Dokumenty");
    key(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_TRUE(boxes.shown.isEmpty());
    select("f1.txt");
    boxes.answers = {MsgBoxResult::No};
    key(Qt::Key_Delete, Qt::NoModifier);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(onDesktop("f1.txt"));
}

TEST_F(FileTreeKeys, DeleteStoresAFileWhoseNameIsAsLongAsTheFileSystemAllows)
{
    // 255 bytes: the store's five digits in front would make 260.
    const QString name = QString(120, QChar(0x161)) + QStringLiteral("abcdefghijk.txt"); // "š", two bytes each
    ASSERT_EQ(QFile::encodeName(name).size(), 255);
    const QString path = env.writeFile(QStringLiteral("home/Plocha/") + name, "dlouhy");
    tree()->node(desktop).setExpanded(false);
    tree()->node(desktop).setExpanded(true);
    select(name);
    ASSERT_EQ(tree()->selectedItem().key(), path);

    const QString store = shared().AppDir + QStringLiteral("deleted/");
    QDir().mkpath(store);
    boxes.answers = {MsgBoxResult::Yes};
    key(Qt::Key_Delete, Qt::NoModifier);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Smazat soubor ") + name + QStringLiteral(" ?"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(tree()->contains(path));
    const QStringList stored = QDir(store).entryList(QDir::Files);
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0], QStringLiteral("00001") + QString(120, QChar(0x161)) + QStringLiteral("abcdef.txt"));
    EXPECT_EQ(TestEnvironment::readFile(store + stored[0]), "dlouhy");
    EXPECT_EQ(GetSetting("Main", "CountDelFiles"), "2") << "one try, one number";
}

// A name that begins with the bytes of a byte-order mark names another file than the
// name without them: Delete stores that file, and its twin stays.
TEST_F(FileTreeKeys, DeleteStoresTheFileWhoseNameBeginsWithAByteOrderMark)
{
    const QString marked = QString(QChar(0xFEFF)) + QStringLiteral("znacka.txt");
    const QString path = env.writeFile(QStringLiteral("home/Plocha/") + marked, "bom");
    const QString twin = env.writeFile(QStringLiteral("home/Plocha/znacka.txt"), "twin");
    tree()->node(desktop).setExpanded(false);
    tree()->node(desktop).setExpanded(true);
    select(marked);
    ASSERT_EQ(tree()->selectedItem().key(), path);
    const QString store = shared().AppDir + QStringLiteral("deleted/");
    QDir().mkpath(store);
    boxes.answers = {MsgBoxResult::Yes};
    key(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(QDir(store).entryList(QDir::Files), QStringList({QStringLiteral("00001") + marked}));
    EXPECT_EQ(TestEnvironment::readFile(twin), "twin");
    EXPECT_TRUE(tree()->contains(twin));
}

TEST_F(FileTreeKeys, AHeldShiftTogglesTheLockOnce)
{
    shared().NavOnSelect = true;
    const auto send = [this](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, Qt::Key_Shift, type == QEvent::KeyPress ? Qt::ShiftModifier : Qt::NoModifier, QString(), repeat);
        QApplication::sendEvent(widget(), &event);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < 3; ++i) {
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    EXPECT_FALSE(shared().NavOnSelect);
    EXPECT_EQ(main->tbMainPane->text(), "Složky a soubory (uzamčeno)");
    send(QEvent::KeyRelease, false);
    send(QEvent::KeyPress, false);
    send(QEvent::KeyRelease, false);
    EXPECT_TRUE(shared().NavOnSelect);
    EXPECT_EQ(main->tbMainPane->text(), "Složky a soubory");
}

TEST_F(FileTreeKeys, F5PrunesEvenWhileItIsAMenuShortcut)
{
    main->menuItem("mnuViewRefresh")->setEnabled(true);
    int refreshed = 0;
    QObject::connect(main->menuItem("mnuViewRefresh"), &QAction::triggered, [&] { ++refreshed; });
    QFile::remove(desktop + "/f1.txt");
    widget()->setFocus();
    key(Qt::Key_F5, Qt::NoModifier);
    EXPECT_FALSE(tree()->contains(desktop + "/f1.txt"));
    EXPECT_EQ(refreshed, 0);
}

TEST_F(FileTreeKeys, RightAfterAChooseFolderDialogReadsTheMainTreesLastFolderAgain)
{
    tree()->node(docs).setExpanded(true);
    select("A");
    // Opened, the empty folder has no children left.
    tree()->node(docs + "/A").setExpanded(true);
    ASSERT_EQ(tree()->node(docs + "/A").children(), 0);
    QDir().mkpath(docs + "/A/new");
    shared().SelectDirMode = 6;
    shared().SelectDirKey = "Main\\FindPath";
    QTimer::singleShot(0, [] {
        frmSelectDir *dialog = Forms::get<frmSelectDir>();
        QTreeWidget *other = dialog->trwPathSel->treeWidget();
        const auto items = other->findItems("Plocha", Qt::MatchExactly | Qt::MatchRecursive);
        if (!items.isEmpty())
            QTest::mouseClick(other->viewport(), Qt::LeftButton, {}, other->visualItemRect(items[0]).center());
        dialog->cmdNav_Click(6);
    });
    Forms::get<frmSelectDir>()->showModal(nullptr);
    QApplication::setActiveWindow(main);
    key(Qt::Key_Right, Qt::NoModifier);
    EXPECT_TRUE(tree()->contains(docs + "/A/new"));
}

// F2, a name typed with Shift, Enter: the keys of the edit never reach the tree's key
// map, and Right straight after reads the renamed open folder under its new name.
TEST_F(FileTreeKeys, ARenameOwnsItsKeysAndRightReloadsTheRenamedFolder)
{
    shared().NavOnSelect = true;
    env.writeFile("home/Dokumenty/A/x.txt", "x");
    tree()->node(docs).setExpanded(true);
    select("A");
    tree()->node(docs + "/A").setExpanded(true);
    ASSERT_TRUE(tree()->contains(docs + "/A/x.txt"));
    widget()->setFocus();
    key(Qt::Key_F2, Qt::NoModifier);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "no label edit started";
    QTest::keyClick(editor, 'X', Qt::ShiftModifier);
    QTest::keyClick(editor, 'a');
    QTest::keyClick(editor, '?', Qt::ShiftModifier);
    QTest::keyPress(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), widget());
    QTest::keyRelease(widget(), Qt::Key_Return);

    const QString renamed = docs + "/Xa#";
    EXPECT_TRUE(QFileInfo(renamed).isDir());
    EXPECT_FALSE(QFileInfo::exists(docs + "/A"));
    EXPECT_TRUE(shared().NavOnSelect) << "Shift in the editor locked the tree";
    EXPECT_EQ(main->tbMainPane->text(), "Složky a soubory");
    ASSERT_TRUE(tree()->contains(renamed));
    EXPECT_EQ(tree()->node(renamed).children(), 0) << "the children under the old name were pruned";
    env.writeFile("home/Dokumenty/Xa#/y.txt", "y");
    key(Qt::Key_Right, Qt::NoModifier);
    EXPECT_TRUE(tree()->contains(renamed + "/y.txt"));
}
