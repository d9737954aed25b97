#include "ControlsTest.h"
#include "QtPrinters.h"

#include "platform/controls/TreeView.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

class TreeViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        images.add("closed", solid(Qt::yellow));
        images.add("open", solid(Qt::darkYellow));
        images.add("txt", solid(Qt::white));
        tree.setImageList(&images);
    }

    // Keys of the nodes in collection order.
    QStringList keys() const
    {
        QStringList result;
        for (int i = 1; i <= tree.count(); ++i)
            result << tree.node(i).key();
        return result;
    }

    // Keys of a node's children as shown, or of the roots for a null node.
    QStringList shownChildren(const TreeNode &parent) const
    {
        QStringList result;
        for (TreeNode n = parent.isNull() ? tree.node(1) : parent.child(); !n.isNull(); n = n.next())
            result << n.key();
        return result;
    }

    // A folder with two files and a sub-folder holding one more.
    void addFolder()
    {
        tree.addRoot("/home", "home", "closed");
        tree.add("/home", TreeRelation::LastChild, "/home/a.txt", "a.txt", "txt");
        tree.add("/home", TreeRelation::LastChild, "/home/sub", "sub", "closed");
        tree.add("/home/sub", TreeRelation::LastChild, "/home/sub/c.txt", "c.txt", "txt");
        tree.add("/home", TreeRelation::LastChild, "/home/b.txt", "b.txt", "txt");
    }

    void showTree()
    {
        tree.resize(300, 300);
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    }

    QWidget *viewport() const { return tree.treeWidget()->viewport(); }

    QRect rectOf(const QString &key) const
    {
        QTreeWidget *widget = tree.treeWidget();
        const auto items = widget->findItems(tree.node(key).text(), Qt::MatchExactly | Qt::MatchRecursive);
        return widget->visualItemRect(items.value(0));
    }

    ImageList images;
    TreeView tree;
};

TEST_F(TreeViewTest, RelationsPlaceTheNewNode)
{
    const struct { TreeRelation relation; QStringList underRoot; } table[] = {
        {TreeRelation::LastChild, {"a", "m", "z", "new"}},
        {TreeRelation::FirstChild, {"new", "a", "m", "z"}},
        {TreeRelation::Next, {"a", "m", "new", "z"}},
        {TreeRelation::Previous, {"a", "new", "m", "z"}},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.underRoot.join(',').toStdString());
        tree.clear();
        tree.addRoot("root", "Root");
        for (const char *key : {"a", "m", "z"})
            tree.add("root", TreeRelation::LastChild, key, key);
        const ItemRef relative = row.relation == TreeRelation::Next || row.relation == TreeRelation::Previous
                                     ? ItemRef("m")
                                     : ItemRef("root");
        const TreeNode added = tree.add(relative, row.relation, "new", "New");
        EXPECT_EQ(shownChildren(tree.node("root")), row.underRoot);
        EXPECT_EQ(added.parent(), tree.node("root"));
        EXPECT_EQ(added.index(), 5) << "the collection keeps the order of addition";
    }
}

TEST_F(TreeViewTest, RemovingANodeRemovesItsDescendantsAndTheirKeys)
{
    addFolder();
    const TreeNode c = tree.node("/home/sub/c.txt");
    tree.remove("/home/sub");
    EXPECT_EQ(keys(), (QStringList{"/home", "/home/a.txt", "/home/b.txt"}));
    EXPECT_FALSE(tree.contains("/home/sub"));
    EXPECT_FALSE(tree.contains("/home/sub/c.txt"));
    EXPECT_FALSE(c.exists());
    EXPECT_EQ(raised([&] { c.text(); }), ErrorNumber::ObjectVariableNotSet);
    EXPECT_EQ(raised([&] { tree.node("/home/sub/c.txt"); }), ErrorNumber::ElementNotFound);
    EXPECT_EQ(raised([&] { tree.add("/home", TreeRelation::LastChild, "/home/sub/c.txt", "c", "txt"); }), 0)
        << "a removed key can be added again";
}

TEST_F(TreeViewTest, RemovingChildrenKeepsTheOrderOfTheRest)
{
    addFolder();
    tree.addRoot("/tmp", "tmp", "closed");
    tree.add("/tmp", TreeRelation::LastChild, "/tmp/x.txt", "x.txt", "txt");
    tree.removeChildren("/home");
    EXPECT_EQ(keys(), (QStringList{"/home", "/tmp", "/tmp/x.txt"}));
    EXPECT_EQ(tree.node("/home").children(), 0);
    EXPECT_FALSE(tree.contains("/home/sub/c.txt"));
    EXPECT_EQ(tree.node("/tmp/x.txt").index(), 3);
}

TEST_F(TreeViewTest, AppendAddsAfterTheChildrenAndSkipsWhatAddRefuses)
{
    addFolder();
    const int added = tree.append("/home", {{"/home/n1", "n1", "closed", "dir", true},
                                            {"/home/a.txt", "taken", "txt", "file"},
                                            {"/home/n2.xyz", "n2.xyz", "xyz", "file"},
                                            {"/home/n3.txt", "n3.txt", "txt", "file"}});
    EXPECT_EQ(added, 2);
    EXPECT_EQ(shownChildren(tree.node("/home")),
              (QStringList{"/home/a.txt", "/home/sub", "/home/b.txt", "/home/n1", "/home/n3.txt"}));
    EXPECT_EQ(tree.node("/home/a.txt").text(), "a.txt") << "the node holding the key stays as it was";
    const TreeNode n1 = tree.node("/home/n1");
    EXPECT_EQ(n1.tag(), "dir");
    EXPECT_EQ(n1.image(), "closed");
    ASSERT_EQ(n1.children(), 1) << "the placeholder";
    EXPECT_EQ(n1.child().key(), "");
    EXPECT_EQ(n1.child().text(), "");
    EXPECT_EQ(tree.node("/home/n3.txt").tag(), "file");
    EXPECT_EQ(tree.count(), 8);
    EXPECT_EQ(tree.node(7).key(), "") << "nodes join the order of addition with their placeholders";
    EXPECT_EQ(tree.node(8).key(), "/home/n3.txt");
    EXPECT_EQ(raised([&] { tree.append("/none", {}); }), ErrorNumber::ElementNotFound);
}

TEST_F(TreeViewTest, ExpandingFromCodeRaisesTheEventsAtOnce)
{
    addFolder();
    QStringList events;
    QObject::connect(&tree, &TreeView::expanded, [&](TreeNode n) { events << "expand " + n.key(); });
    QObject::connect(&tree, &TreeView::collapsed, [&](TreeNode n) { events << "collapse " + n.key(); });
    tree.node("/home").setExpanded(true);
    tree.node("/home/a.txt").setExpanded(true);
    tree.node("/home").setExpanded(false);
    EXPECT_EQ(events, (QStringList{"expand /home", "expand /home/a.txt", "collapse /home"}))
        << "a node without children runs the expand handler, which may read some";
    EXPECT_FALSE(tree.node("/home/a.txt").expanded()) << "and stays shut when it got none";
    // A handler that gives the childless node children leaves it open.
    QObject::connect(&tree, &TreeView::expanded, [&](TreeNode n) {
        if (n.key() == "/home/a.txt" && n.children() == 0)
            tree.add(n.key(), TreeRelation::LastChild, "/home/a.txt/in", "in", "txt");
    });
    tree.node("/home").setExpanded(true);
    tree.node("/home/a.txt").setExpanded(true);
    EXPECT_TRUE(tree.node("/home/a.txt").expanded());
    EXPECT_EQ(tree.node("/home/a.txt").children(), 1);
}

TEST_F(TreeViewTest, AnExpandHandlerMayRebuildTheBranch)
{
    addFolder();
    // As a folder tree does: every expansion reads the folder again.
    QObject::connect(&tree, &TreeView::expanded, [&](TreeNode n) {
        n.removeChildren();
        tree.add(n.key(), TreeRelation::LastChild, n.key() + "/fresh", "fresh", "txt");
    });
    const TreeNode c = tree.node("/home/sub/c.txt");
    c.ensureVisible();
    EXPECT_FALSE(c.exists());
    EXPECT_TRUE(tree.node("/home").expanded());
    EXPECT_EQ(shownChildren(tree.node("/home")), QStringList{"/home/fresh"});
}

TEST_F(TreeViewTest, ANodeEmptiedByItsExpandHandlerCanBeCollapsed)
{
    int collapsed = 0;
    QObject::connect(&tree, &TreeView::collapsed, [&](TreeNode) { ++collapsed; });
    QObject::connect(&tree, &TreeView::expanded, [&](TreeNode n) {
        n.removeChildren();
        if (n.children() == 0)
            n.setExpanded(false);
    });
    for (const bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "shown" : "not shown yet");
        tree.clear();
        addFolder();
        if (shown)
            showTree();
        collapsed = 0;
        tree.node("/home").setExpanded(true);
        EXPECT_EQ(collapsed, 1);
        EXPECT_FALSE(tree.node("/home").expanded());
    }
}

TEST_F(TreeViewTest, AMouseSelectionIsReportedBetweenPressAndRelease)
{
    addFolder();
    tree.node("/home").setExpanded(true);
    showTree();
    QStringList events;
    QObject::connect(&tree, &TreeView::mouseDown,
                     [&](Qt::MouseButton b, Qt::KeyboardModifiers, const QPoint &) { events << QString("down %1").arg(b); });
    QObject::connect(&tree, &TreeView::nodeClicked, [&](TreeNode n) { events << "click " + n.key(); });
    QObject::connect(&tree, &TreeView::mouseUp,
                     [&](Qt::MouseButton b, Qt::KeyboardModifiers, const QPoint &) { events << QString("up %1").arg(b); });
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, rectOf("/home/b.txt").center());
    QTest::mouseClick(viewport(), Qt::RightButton, {}, rectOf("/home/a.txt").center());
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, rectOf("/home/a.txt").center());
    EXPECT_EQ(events, (QStringList{"down 1", "click /home/b.txt", "up 1", "down 2", "click /home/a.txt", "up 2",
                                   "down 1", "click /home/a.txt", "up 1"}))
        << "any button selects, and a click on the selected node is reported too";
    EXPECT_EQ(tree.selectedItem().key(), QStringLiteral("/home/a.txt"));
}

TEST_F(TreeViewTest, AClickOnTheExpandMarkIsNoNodeClick)
{
    addFolder();
    showTree();
    QSignalSpy clicked(&tree, &TreeView::nodeClicked);
    QSignalSpy expanded(&tree, &TreeView::expanded);
    const QRect row = rectOf("/home");
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, QPoint(row.left() - tree.treeWidget()->indentation() / 2, row.center().y()));
    EXPECT_EQ(expanded.count(), 1);
    EXPECT_EQ(clicked.count(), 0);
}

TEST_F(TreeViewTest, KeyboardSelectionIsReportedAndProgramSelectionIsNot)
{
    addFolder();
    tree.node("/home").setExpanded(true);
    showTree();
    QSignalSpy clicked(&tree, &TreeView::nodeClicked);
    tree.node("/home/a.txt").select();
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_TRUE(tree.node("/home/a.txt").selected());
    QTest::keyClick(tree.treeWidget(), Qt::Key_Down);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].value<TreeNode>().key(), QStringLiteral("/home/sub"));
    tree.remove("/home/sub");
    EXPECT_EQ(clicked.count(), 1) << "removing the selected node reports nothing";
}

TEST_F(TreeViewTest, ARowWiderThanTheTreeScrollsSideways)
{
    addFolder();
    const QString deep = "/home/sub/" + QString(80, QLatin1Char('w'));
    tree.add("/home/sub", TreeRelation::LastChild, deep, QString(80, QLatin1Char('w')), "closed");
    tree.node("/home").setExpanded(true);
    tree.node("/home/sub").setExpanded(true);
    showTree();
    tree.resize(150, 300);
    QCoreApplication::processEvents();
    QTreeWidget *widget = tree.treeWidget();
    const QRect row = rectOf(deep);
    const int textWidth = widget->fontMetrics().horizontalAdvance(tree.node(deep).text());
    EXPECT_GE(row.width(), textWidth) << "the row is cut to the pane";
    EXPECT_GT(widget->horizontalScrollBar()->maximum(), 0);
    widget->horizontalScrollBar()->setValue(widget->horizontalScrollBar()->maximum());
    EXPECT_LE(rectOf(deep).right(), widget->viewport()->width())
            << "its end comes into view";

    tree.remove(deep);
    QCoreApplication::processEvents();
    EXPECT_EQ(widget->horizontalScrollBar()->maximum(), 0) << "narrow rows need no scrolling";
}

TEST_F(TreeViewTest, AConsumedKeyIsNotActedOn)
{
    addFolder();
    tree.node("/home").setExpanded(true);
    showTree();
    tree.node("/home/a.txt").select();
    std::vector<std::pair<int, Qt::KeyboardModifiers>> downs;
    QObject::connect(&tree, &TreeView::keyDown, [&](int key, Qt::KeyboardModifiers modifiers, bool *consumed) {
        if (key != Qt::Key_Shift)
            downs.emplace_back(key, modifiers);
        *consumed = key == Qt::Key_Down;
    });
    QSignalSpy ups(&tree, &TreeView::keyUp);
    QTest::keyClick(tree.treeWidget(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(tree.selectedItem().key(), QStringLiteral("/home/a.txt"));
    QTest::keyClick(tree.treeWidget(), Qt::Key_Up);
    EXPECT_EQ(tree.selectedItem().key(), QStringLiteral("/home"));
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0], std::make_pair(int(Qt::Key_Down), Qt::KeyboardModifiers(Qt::ShiftModifier)));
    EXPECT_EQ(ups.count(), 3) << "the Shift key goes up too";
}

class TreeLabelEditTest : public TreeViewTest
{
protected:
    void SetUp() override
    {
        TreeViewTest::SetUp();
        addFolder();
        tree.node("/home").setExpanded(true);
        showTree();
        tree.node("/home/a.txt").select();
    }

    // Types text into the editor the edit opened and confirms it.
    void type(const QString &text)
    {
        auto *editor = tree.treeWidget()->viewport()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the editor commits on the next turn of the loop
    }
};

TEST_F(TreeLabelEditTest, TheOwnerJudgesTheTypedText)
{
    const struct { const char *typed; bool cancel; const char *shown; } table[] = {
        {"b?.txt", false, "b_.txt"},
        {"taken.txt", true, "b_.txt"}, // keeps the label it had
    };
    QObject::connect(&tree, &TreeView::afterLabelEdit, [](TreeNode n, bool *cancel, QString *text) {
        *cancel = *text == "taken.txt";
        text->replace('?', '_');
        if (!*cancel)
            n.setKey("/home/" + *text);
    });
    for (const auto &row : table) {
        SCOPED_TRACE(row.typed);
        tree.node(2).select();
        tree.startLabelEdit();
        type(row.typed);
        EXPECT_EQ(tree.node(2).text(), QString::fromUtf8(row.shown));
    }
    EXPECT_TRUE(tree.contains("/home/b_.txt"));
}

// Keys go where Qt delivers them: to the editor with the focus, through the window's
// shortcuts first; a key that comes up after the edit has ended comes up on the tree.
TEST_F(TreeLabelEditTest, TheLabelEditorOwnsTheKeyboardAndEnterOrEscEndsTheEdit)
{
    QApplication::setActiveWindow(&tree);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&tree));
    auto *newWindow = new QAction(&tree);
    newWindow->setShortcut(Qt::Key_F9);
    tree.addAction(newWindow);
    QSignalSpy shortcut(newWindow, &QAction::triggered);
    QStringList downs;
    QObject::connect(&tree, &TreeView::keyDown, [&](int key, Qt::KeyboardModifiers, bool *) {
        downs << QKeySequence(key).toString();
    });
    QSignalSpy ups(&tree, &TreeView::keyUp);
    QStringList typed;
    QObject::connect(&tree, &TreeView::afterLabelEdit,
                     [&](TreeNode, bool *, QString *text) { typed << *text; });
    const auto editor = [] { return qobject_cast<QLineEdit *>(QApplication::focusWidget()); };

    tree.startLabelEdit();
    ASSERT_NE(editor(), nullptr);
    QTest::keyClick(editor(), 'X', Qt::ShiftModifier);
    QTest::keyClick(editor(), 'a');
    QTest::keyClick(editor(), '?', Qt::ShiftModifier);
    QTest::keyClick(editor(), '#', Qt::ShiftModifier);
    for (const auto &[key, modifiers] : {std::pair{Qt::Key_F12, Qt::NoModifier}, {Qt::Key_F10, Qt::ShiftModifier},
                                          {Qt::Key_F9, Qt::NoModifier}, {Qt::Key_F5, Qt::NoModifier},
                                          {Qt::Key_Down, Qt::NoModifier}, {Qt::Key_Tab, Qt::NoModifier}}) {
        QTest::keyClick(editor(), key, modifiers);
        ASSERT_NE(editor(), nullptr) << QKeySequence(key).toString().toStdString() << " ended the edit";
    }
    EXPECT_EQ(editor()->text(), QStringLiteral("Xa?#"));
    EXPECT_EQ(tree.selectedItem().key(), QStringLiteral("/home/a.txt"));
    QTest::keyPress(editor(), Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on the next turn of the loop
    ASSERT_EQ(editor(), nullptr) << "Enter ends the edit";
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(typed, QStringList{QStringLiteral("Xa?#")});
    EXPECT_EQ(tree.node("/home/a.txt").text(), QStringLiteral("Xa?#"));

    tree.startLabelEdit();
    ASSERT_NE(editor(), nullptr);
    QTest::keyClick(editor(), 'b');
    QTest::keyPress(editor(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    ASSERT_EQ(editor(), nullptr) << "Esc ends the edit";
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(tree.node("/home/a.txt").text(), QStringLiteral("Xa?#"));
    EXPECT_EQ(typed.size(), 1) << "Esc drops the edit";

    EXPECT_EQ(downs, QStringList()) << "keys of the edit reached the tree's key map";
    EXPECT_EQ(ups.count(), 0) << "keys of the edit came up on the tree";
    EXPECT_EQ(shortcut.count(), 0) << "a key of the edit took a shortcut of the window";

    // The tree has its keys again, Enter and Esc included.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Down})
        QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(downs, (QStringList{"Return", "Esc", "Down"}));
    EXPECT_EQ(ups.count(), 3);
    EXPECT_EQ(tree.selectedItem().key(), QStringLiteral("/home/sub"));
}

TEST_F(TreeLabelEditTest, ASecondSlowClickOnTheSelectedNodeStartsAnEdit)
{
    tree.setLabelEditByClick(true);
    QSignalSpy asked(&tree, &TreeView::beforeLabelEdit);
    const auto editor = [this] { return tree.treeWidget()->viewport()->findChild<QLineEdit *>(); };
    const auto waitPastDoubleClick = [] { QTest::qWait(QApplication::doubleClickInterval() + 100); };
    const QPoint b = rectOf("/home/b.txt").center();
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, b);
    waitPastDoubleClick();
    EXPECT_EQ(asked.count(), 0) << "the first click only selects";
    QTest::mouseDClick(viewport(), Qt::LeftButton, {}, b);
    waitPastDoubleClick();
    EXPECT_EQ(asked.count(), 0) << "a double click is no edit";
    QTest::mouseClick(viewport(), Qt::RightButton, {}, b);
    waitPastDoubleClick();
    EXPECT_EQ(asked.count(), 0) << "nor a click of the right button";
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, b);
    waitPastDoubleClick();
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked[0][0].value<TreeNode>().key(), QStringLiteral("/home/b.txt"));
    ASSERT_NE(editor(), nullptr);
    type("c.txt");
    EXPECT_EQ(tree.node("/home/b.txt").text(), QStringLiteral("c.txt"));

    tree.setLabelEditByClick(false);
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, b);
    waitPastDoubleClick();
    EXPECT_EQ(asked.count(), 1) << "off unless the owner asks for it";
}

} // namespace
