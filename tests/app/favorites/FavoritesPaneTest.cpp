#include "app/frmMain.h"
#include "app/panel/frmPM.h"
#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/TreeView.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

namespace {

// The favorites pane over a Favorites folder of the test's own.
class FavoritesPane : public MainWindowTest
{
protected:
    void SetUp() override
    {
        favorites = env.path(QStringLiteral("Favorites"));
        QDir().mkpath(favorites);
        shared().FavoritesDir = favorites;
        QDir().mkpath(shared().AppDir + QStringLiteral("deleted"));
        MainWindowTest::SetUp();
        tree = main->trwFavorites;
        widget = tree->treeWidget();
    }

    void TearDown() override
    {
        Forms::get<frmPM>()->mnuFavorites->hide();
        MainWindowTest::TearDown();
    }

    QString write(const QString &relative, const QByteArray &address = "http://h/")
    {
        return env.writeFile(QStringLiteral("Favorites/") + relative, "[InternetShortcut]\r\nURL=" + address + "\r\n");
    }
    QString at(const QString &relative) const { return favorites + QLatin1Char('/') + relative; }

    void showPane()
    {
        main->mnuViewPane_Click(1);
        ASSERT_TRUE(shared().FavoritesLoaded);
    }

    // The texts of a node's children, in tree order.
    QStringList childTexts(const QString &key) const
    {
        QStringList texts;
        const TreeNode node = tree->node(key);
        for (TreeNode child = node.children() ? node.child() : TreeNode(); !child.isNull(); child = child.next())
            texts.append(child.text());
        return texts;
    }

    void select(const QString &key)
    {
        tree->node(key).select();
        widget->setFocus();
    }
    void key(int keyCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(widget, Qt::Key(keyCode), modifiers);
    }

    QString favorites;
    TreeView *tree = nullptr;
    QTreeWidget *widget = nullptr;
    ScriptedMessageBoxes boxes;
};

TEST_F(FavoritesPane, TheFirstShowingListsFoldersThenShortcutsByName)
{
    QDir().mkpath(at(QStringLiteral("b-složka")));
    QDir().mkpath(at(QStringLiteral("A")));
    QDir().mkpath(at(QStringLiteral(".skrytá")));
    write(QStringLiteral("Zprávy.url"));
    write(QStringLiteral("archiv.URI"));
    env.writeFile(QStringLiteral("Favorites/poznámka.txt"), "x");
    showPane();

    const TreeNode root = tree->node(1);
    EXPECT_EQ(root.key(), favorites);
    EXPECT_EQ(root.text(), QStringLiteral("Favorites"));
    EXPECT_EQ(root.image(), QStringLiteral("favorites"));
    EXPECT_EQ(root.tag(), QStringLiteral("dir"));
    EXPECT_TRUE(root.expanded());
    EXPECT_EQ(childTexts(favorites), (QStringList{"A", "b-složka", "archiv", "Zprávy"}));
    const TreeNode folder = tree->node(at(QStringLiteral("A")));
    EXPECT_EQ(folder.image(), QStringLiteral("closed"));
    EXPECT_EQ(folder.children(), 1) << "an unread folder holds its placeholder";
    EXPECT_EQ(tree->node(at(QStringLiteral("Zprávy.url"))).tag(), QStringLiteral("file"));
    EXPECT_EQ(tree->node(at(QStringLiteral("Zprávy.url"))).image(), QStringLiteral("url"));
}

TEST_F(FavoritesPane, AMissingFolderShowsTheLoneRoot)
{
    shared().FavoritesDir = env.path(QStringLiteral("nikde/Favorites"));
    showPane();
    EXPECT_EQ(tree->count(), 1);
    EXPECT_EQ(tree->node(1).children(), 0);
}

// After a start without a Favorites folder the root has no expander: the pop-up's
// "&Rozbalit" reads the folder again, so a favorite added meanwhile shows and opens.
TEST_F(FavoritesPane, ExpandFromThePopUpReadsAnEmptyRootAgain)
{
    favorites = env.path(QStringLiteral("pozdejsi/Favorites"));
    shared().FavoritesDir = favorites;
    showPane();
    ASSERT_EQ(tree->node(1).children(), 0);
    QDir().mkpath(favorites);
    env.writeFile(QStringLiteral("pozdejsi/Favorites/Nová.url"), "[InternetShortcut]\r\nURL=http://h/\r\n");

    frmPM *pm = Forms::get<frmPM>();
    const auto rightClickRoot = [&] {
        QTreeWidgetItem *root = widget->topLevelItem(0);
        QTest::mouseClick(widget->viewport(), Qt::RightButton, {}, widget->visualItemRect(root).center());
        return pm->mnuFavorites->isVisible();
    };
    ASSERT_TRUE(rightClickRoot());
    ASSERT_EQ(pm->mnuFavorites->defaultAction(), pm->mnuFavoritesExpand);
    QTest::mouseClick(pm->mnuFavorites, Qt::LeftButton, {},
                      pm->mnuFavorites->actionGeometry(pm->mnuFavoritesExpand).center());
    EXPECT_EQ(childTexts(favorites), QStringList{"Nová"});
    EXPECT_TRUE(tree->node(1).expanded());
    EXPECT_EQ(tree->node(1).image(), QStringLiteral("favorites"));

    // Gone again: expanding the root once more leaves it shut and closed.
    QFile::remove(favorites + QStringLiteral("/Nová.url"));
    ASSERT_TRUE(rightClickRoot());
    QTest::mouseClick(pm->mnuFavorites, Qt::LeftButton, {},
                      pm->mnuFavorites->actionGeometry(pm->mnuFavoritesCollapse).center());
    ASSERT_TRUE(rightClickRoot());
    QTest::mouseClick(pm->mnuFavorites, Qt::LeftButton, {},
                      pm->mnuFavorites->actionGeometry(pm->mnuFavoritesExpand).center());
    EXPECT_EQ(tree->node(1).children(), 0);
    EXPECT_FALSE(tree->node(1).expanded());
}

TEST_F(FavoritesPane, EveryExpansionReadsTheFolderFromDisk)
{
    QDir().mkpath(at(QStringLiteral("Zprávy")));
    write(QStringLiteral("Zprávy/a.url"));
    QDir().mkpath(at(QStringLiteral("Prázdná")));
    showPane();
    const QString news = at(QStringLiteral("Zprávy"));

    select(news);
    key(Qt::Key_Right);
    EXPECT_EQ(childTexts(news), QStringList{"a"});
    EXPECT_EQ(tree->node(news).image(), QStringLiteral("open"));
    key(Qt::Key_Left);
    EXPECT_EQ(tree->node(news).image(), QStringLiteral("closed"));

    write(QStringLiteral("Zprávy/b.url"));
    QFile::remove(at(QStringLiteral("Zprávy/a.url")));
    key(Qt::Key_Right);
    EXPECT_EQ(childTexts(news), QStringList{"b"});

    const QString empty = at(QStringLiteral("Prázdná"));
    select(empty);
    key(Qt::Key_Right);
    EXPECT_EQ(tree->node(empty).children(), 0);
    EXPECT_FALSE(tree->node(empty).expanded());
    EXPECT_EQ(tree->node(empty).image(), QStringLiteral("closed"));
}

TEST_F(FavoritesPane, EnterAndDeleteOnAFolderDoNothing)
{
    QDir().mkpath(at(QStringLiteral("Zprávy")));
    showPane();
    for (const QString &key : {favorites, at(QStringLiteral("Zprávy"))}) {
        SCOPED_TRACE(key.toStdString());
        select(key);
        const bool expanded = tree->node(key).expanded();
        this->key(Qt::Key_Return);
        this->key(Qt::Key_Delete);
        EXPECT_EQ(tree->node(key).expanded(), expanded) << "the tree never saw Enter";
        EXPECT_TRUE(boxes.shown.isEmpty());
    }
}

TEST_F(FavoritesPane, ThePopUpEnablesItsItemsByTheSelectedNode)
{
    QDir().mkpath(at(QStringLiteral("Zprávy")));
    write(QStringLiteral("a.url"));
    showPane();
    frmPM *pm = Forms::get<frmPM>();
    const struct {
        QString key;
        int windows;
        bool expand, collapse, openAll, open, openNew, remove;
    } cases[] = {
        {at(QStringLiteral("Zprávy")), 0, true, false, true, false, false, false},
        {favorites, 0, false, true, true, false, false, false},
        {at(QStringLiteral("a.url")), 0, false, false, false, false, true, true},
        {at(QStringLiteral("a.url")), 1, false, false, false, true, true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key.toStdString() + " windows " + std::to_string(c.windows));
        shared().WindowCount = c.windows;
        select(c.key);
        key(Qt::Key_F10, Qt::ShiftModifier);
        ASSERT_TRUE(pm->mnuFavorites->isVisible());
        EXPECT_EQ(pm->mnuFavorites->defaultAction(), pm->mnuFavoritesOpen);
        EXPECT_EQ(pm->mnuFavoritesExpand->isEnabled(), c.expand);
        EXPECT_EQ(pm->mnuFavoritesCollapse->isEnabled(), c.collapse);
        EXPECT_EQ(pm->mnuFavoritesOpenAll->isEnabled(), c.openAll);
        EXPECT_EQ(pm->mnuFavoritesOpen->isEnabled(), c.open);
        EXPECT_EQ(pm->mnuFavoritesOpenNewWin->isEnabled(), c.openNew);
        EXPECT_EQ(pm->mnuFavoritesDelete->isEnabled(), c.remove);
        EXPECT_TRUE(pm->mnuFavoritesOrganize->isEnabled());
        pm->mnuFavorites->hide();
    }
    shared().WindowCount = 0;
}

TEST_F(FavoritesPane, ARightClickChoosesTheBoldItemByTheNode)
{
    QDir().mkpath(at(QStringLiteral("Zprávy")));
    write(QStringLiteral("a.url"));
    showPane();
    frmPM *pm = Forms::get<frmPM>();
    const struct { QString key; QAction *bold; } cases[] = {
        {at(QStringLiteral("Zprávy")), pm->mnuFavoritesExpand},
        {favorites, pm->mnuFavoritesCollapse},
        {at(QStringLiteral("a.url")), pm->mnuFavoritesOpen},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        QTreeWidgetItem *item = widget->findItems(tree->node(c.key).text(), Qt::MatchExactly | Qt::MatchRecursive).value(0);
        ASSERT_TRUE(item);
        const QPoint point = widget->visualItemRect(item).center();
        QTest::mouseClick(widget->viewport(), Qt::RightButton, {}, point);
        ASSERT_TRUE(pm->mnuFavorites->isVisible());
        EXPECT_EQ(pm->mnuFavorites->defaultAction(), c.bold);
        EXPECT_EQ(main->FavoritesMouseButton, 0);
        pm->mnuFavorites->hide();
    }
}

TEST_F(FavoritesPane, DeleteAsksAndMovesTheShortcutIntoTheStore)
{
    const QString kept = write(QStringLiteral("Zůstane.url"));
    const QString gone = write(QStringLiteral("Smazat.url"));
    const QString missing = write(QStringLiteral("Chybí.url"));
    showPane();
    const QString store = shared().AppDir + QStringLiteral("deleted");
    ASSERT_FALSE(main->trwPath->contains(store));

    boxes.answers = {MsgBoxResult::No, MsgBoxResult::Yes, MsgBoxResult::Yes};
    select(kept);
    key(Qt::Key_Delete);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Smazat oblíbenou položku Zůstane ?"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Smazat oblíbenou položku "));
    EXPECT_EQ(boxes.shown[0].buttons(), MsgBoxStyle::YesNo);
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Question);
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_TRUE(tree->contains(kept));
    EXPECT_FALSE(main->trwPath->contains(store));

    select(gone);
    key(Qt::Key_Delete);
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_FALSE(tree->contains(gone));
    EXPECT_EQ(QDir(store).entryList(QDir::Files), QStringList{"00001Smazat.url"});
    EXPECT_EQ(main->trwPath->count(), 0) << "no store node in a folder tree never built";

    QFile::remove(missing);
    select(missing);
    key(Qt::Key_Delete);
    EXPECT_FALSE(tree->contains(missing)) << "a shortcut gone from disk leaves the tree";
    EXPECT_EQ(boxes.shown.size(), 3);
}

TEST_F(FavoritesPane, ADeleteGivesTheBuiltFolderTreeItsStoreNodeOnceAndLast)
{
    const QString first = write(QStringLiteral("První.url"));
    const QString second = write(QStringLiteral("Druhá.url"));
    showPane();
    const QString store = shared().AppDir + QStringLiteral("deleted");
    boxes.answers = {MsgBoxResult::Yes, MsgBoxResult::Yes};
    select(first);
    key(Qt::Key_Delete);
    ASSERT_FALSE(QFile::exists(first));
    EXPECT_FALSE(main->trwPath->contains(store));

    // Building the tree puts the store where it belongs: the last root.
    main->mnuViewPane_Click(2);
    ASSERT_TRUE(shared().FileTreeLoaded);
    QTreeWidget *folders = main->trwPath->treeWidget();
    const int roots = folders->topLevelItemCount();
    ASSERT_GE(roots, 2);
    EXPECT_EQ(folders->topLevelItem(roots - 1)->text(0), QStringLiteral("Smazané soubory"));

    main->mnuViewPane_Click(1);
    select(second);
    key(Qt::Key_Delete);
    ASSERT_FALSE(QFile::exists(second));
    EXPECT_EQ(folders->topLevelItemCount(), roots) << "a store node already there is kept as it is";
    EXPECT_EQ(folders->topLevelItem(roots - 1)->text(0), QStringLiteral("Smazané soubory"));
    EXPECT_EQ(main->trwPath->node(store).tag(), QStringLiteral("deleted"));
}

} // namespace
