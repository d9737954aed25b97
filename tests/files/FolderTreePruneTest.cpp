#include "files/FolderTreePrune.h"
#include "platform/files/FileSystem.h"
#include "support/TestEnvironment.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/TreeView.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <set>
#include <unistd.h>

namespace {

TEST(FolderTreePrune, ActionPerNode)
{
    const struct { const char *tag; bool exists; int children; const char *image; PruneAction action; } cases[] = {
        {"file", false, 0, "htm", PruneAction::Remove},
        {"delfile", false, 0, "htm", PruneAction::Remove},
        {"dir", false, 3, "open", PruneAction::Remove},
        {"dir", true, 0, "open", PruneAction::CloseFolder},
        {"dir", true, 1, "open", PruneAction::Keep},
        {"dir", true, 0, "closed", PruneAction::Keep},
        {"file", true, 0, "htm", PruneAction::Keep},
        {"drive", false, 0, "open", PruneAction::Keep},
        {"deleted", false, 0, "recycle", PruneAction::Keep},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.tag) + (c.exists ? " exists" : " gone"));
        EXPECT_EQ(pruneActionFor(QString::fromLatin1(c.tag), c.exists, c.children, QString::fromLatin1(c.image)),
                  c.action);
    }
}

class PrunedTree : public ::testing::Test
{
protected:
    PrunedTree()
    {
        for (const char *key : {"open", "closed", "htm", "drive"})
            images.add(QString::fromLatin1(key), QIcon());
        tree.setImageList(&images);
    }

    TreeNode add(const QString &parent, const char *key, const char *tag, const char *image)
    {
        const QString k = QString::fromLatin1(key);
        TreeNode node = parent.isEmpty() ? tree.addRoot(k, k, QString::fromLatin1(image))
                                         : tree.add(parent, TreeRelation::LastChild, k, k, QString::fromLatin1(image));
        node.setTag(QString::fromLatin1(tag));
        return node;
    }

    void prune() { pruneFolderTree(tree, [this](const QString &path) { return existing.count(path) > 0; }); }

    ImageList images;
    TreeView tree;
    std::set<QString> existing;
};

TEST_F(PrunedTree, VanishedNodesGoAndEmptiedFoldersClose)
{
    add({}, "/home", "drive", "drive");
    add(QStringLiteral("/home"), "/home/d", "dir", "open");
    add(QStringLiteral("/home/d"), "/home/d/a.htm", "file", "htm");
    add(QStringLiteral("/home/d"), "/home/d/b.htm", "file", "htm");
    add(QStringLiteral("/home"), "/home/gone", "dir", "open");
    add(QStringLiteral("/home/gone"), "/home/gone/c.htm", "file", "htm");
    add(QStringLiteral("/home"), "/home/kept.htm", "file", "htm");
    // a.htm and b.htm are adjacent and both vanished.
    existing = {QStringLiteral("/home/d"), QStringLiteral("/home/kept.htm")};
    tree.node(QStringLiteral("/home/d")).setExpanded(true);

    prune();

    EXPECT_FALSE(tree.contains(QStringLiteral("/home/d/a.htm")));
    EXPECT_FALSE(tree.contains(QStringLiteral("/home/d/b.htm")));
    EXPECT_FALSE(tree.contains(QStringLiteral("/home/gone")));
    EXPECT_FALSE(tree.contains(QStringLiteral("/home/gone/c.htm"))) << "children go with their folder";
    EXPECT_TRUE(tree.contains(QStringLiteral("/home/kept.htm")));
    EXPECT_TRUE(tree.contains(QStringLiteral("/home"))) << "a drive node carries no path to test";
    EXPECT_EQ(tree.count(), 3);
    // The folder was looked at before its children went; the next activation closes it.
    const TreeNode emptied = tree.node(QStringLiteral("/home/d"));
    EXPECT_EQ(emptied.image(), QStringLiteral("open"));
    prune();
    EXPECT_EQ(emptied.image(), QStringLiteral("closed"));
    EXPECT_FALSE(emptied.expanded());
    EXPECT_EQ(tree.count(), 3);
}

TEST_F(PrunedTree, AChildlessOpenFolderGetsTheClosedImage)
{
    add({}, "/x", "dir", "open");
    existing = {QStringLiteral("/x")};
    prune();
    EXPECT_EQ(tree.node(QStringLiteral("/x")).image(), QStringLiteral("closed"));
}

} // namespace

namespace {

// Counts the layer's calls that a pruning pass makes, and refuses to list one folder
// the way a folder that may be entered but not read refuses.
class CountingFileSystem : public PosixFileSystem
{
public:
    int list(const QString &folder, FolderListing &out, const WildcardPattern *names) override
    {
        ++lists;
        if (folder == unreadable)
            return EACCES;
        return PosixFileSystem::list(folder, out, names);
    }
    int stat(const QString &path, FileStatus &out) override
    {
        ++stats;
        return PosixFileSystem::stat(path, out);
    }
    using PosixFileSystem::list;
    using PosixFileSystem::stat;

    int lists = 0;
    int stats = 0;
    QString unreadable;
};

class ListedPathsTest : public TempEnvTest
{
protected:
    ListedPathsTest() { FileSystem::install(&files); }
    ~ListedPathsTest() override { FileSystem::install(nullptr); }

    CountingFileSystem files;
};

} // namespace

TEST_F(ListedPathsTest, EachFolderIsListedOnceAndAnUnreadableOneAskedNodeByNode)
{
    for (const char *name : {"d/a.txt", "d/b.txt", "d/.skryty", "e/c.txt", "f/g.txt"})
        env.writeFile(name, "x");
    ASSERT_EQ(::symlink("nikam", QFile::encodeName(env.path("d/zlomeny")).constData()), 0);
    const QByteArray odd = QFile::encodeName(env.path("d/")) + "zl\xff.txt";
    ::close(::open(odd.constData(), O_CREAT | O_WRONLY, 0600));
    files.unreadable = env.path("f");

    ListedPaths paths;
    const QString d = env.path("d");
    const struct { QString path; bool exists; } cases[] = {
        {d + "/a.txt", true},
        {d + "/b.txt", true},
        {d + "/.skryty", true},
        {d + "/zlomeny", true}, // a broken link is still an entry of its folder
        {d + "/zl" + QChar(0xDCFF) + ".txt", true},
        {d + "/zl" + QChar(0xFFFD) + ".txt", false},
        {d + "/chybi.txt", false},
        {d + "/A.TXT", false},
        {d, true},
        {d + "/", true},
        {env.path("e/c.txt"), true},
        {env.path("gone/c.txt"), false}, // its folder is gone
        {env.path("gone/d.txt"), false},
        {env.path("f/g.txt"), true},     // listed in vain: asked on its own
        {env.path("f/h.txt"), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(paths.exists(c.path), c.exists) << qPrintable(c.path);
    // d, the temporary root (for d itself), e, gone and f: one listing each.
    EXPECT_EQ(files.lists, 5);
    EXPECT_EQ(files.stats, 2) << "only the unreadable folder's nodes are asked one by one";
}
