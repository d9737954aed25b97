#include "files/FolderTreeLoader.h"
#include "files/FolderTreeModel.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/TreeView.h"
#include "platform/files/FileSystem.h"

#include "QtPrinters.h"
#include "ScriptedMessageBoxes.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A folder tree over a temporary folder, with the tree's own image keys and the
// expansion and collapse wired as the main window wires them.
class LoadedTree : public TempEnvTest
{
protected:
    LoadedTree()
    {
        for (const QString &key : FolderTree::imageKeys())
            images.add(key, QIcon());
        tree.setImageList(&images);
        QObject::connect(&tree, &TreeView::expanded, [this](TreeNode n) { loader.expand(n, pattern, store()); });
        QObject::connect(&tree, &TreeView::collapsed, [this](TreeNode n) { loader.collapse(n); });
        dir = env.path("d");
        QDir().mkpath(dir);
    }

    QString store() const { return env.appFolder() + "deleted"; }

    void file(const QString &name) { QFile(dir + "/" + name).open(QIODevice::WriteOnly); }
    void folder(const QString &name) { QDir().mkpath(dir + "/" + name); }

    TreeNode root()
    {
        if (!tree.contains(dir)) {
            tree.addRoot(dir, "d", "closed").setTag("dir");
            tree.add(dir, TreeRelation::LastChild, QString(), QString());
        }
        return tree.node(dir);
    }

    // Texts of a node's children as shown, "·" for a placeholder.
    QStringList shown(const TreeNode &parent) const
    {
        QStringList texts;
        for (TreeNode n = parent.children() ? parent.child() : TreeNode(); !n.isNull(); n = n.next())
            texts << (n.key().isEmpty() ? QStringLiteral("·") : n.text());
        return texts;
    }

    QStringList expandRoot()
    {
        TreeNode node = root();
        node.setExpanded(false);
        node.setExpanded(true);
        return shown(node);
    }

    ImageList images;
    TreeView tree;
    VolumeTable volumes = VolumeTable::fromMountInfo("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n");
    FolderTreeLoader loader{tree, [this] { return volumes; }};
    QString pattern = "*.*";
    QString dir;
};

TEST_F(LoadedTree, AnExpansionListsSubFoldersThenMatchingFiles)
{
    for (const char *name : {"b.txt", "README", "report.xyz", "index.HTM", "A.txt"})
        file(name);
    for (const char *name : {"zeta", "Alpha"})
        folder(name);
    const struct { const char *pattern; QStringList shown; } cases[] = {
        {"*.*", {"Alpha", "zeta", "A.txt", "b.txt", "index.HTM", "README", "report.xyz"}},
        {"zqx.zqx", {"Alpha", "zeta"}},
        {"", {"Alpha", "zeta"}},
        {"*.htm;*.TXT", {"Alpha", "zeta", "A.txt", "b.txt", "index.HTM"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pattern);
        pattern = c.pattern;
        EXPECT_EQ(expandRoot(), c.shown);
    }
    pattern = "*.*";
    expandRoot();
    const struct { const char *name; const char *image; const char *tag; int children; } nodes[] = {
        {"README", "${other}", "file", 0}, {"report.xyz", "${other}", "file", 0}, {"index.HTM", "htm", "file", 0},
        {"A.txt", "txt", "file", 0},       {"zeta", "closed", "dir", 1},
    };
    for (const auto &n : nodes) {
        SCOPED_TRACE(n.name);
        const TreeNode node = tree.node(dir + "/" + n.name);
        EXPECT_EQ(node.image(), n.image);
        EXPECT_EQ(node.tag(), n.tag);
        EXPECT_EQ(node.children(), n.children);
    }
    EXPECT_EQ(tree.node(dir).image(), "open");
}

TEST_F(LoadedTree, ExpandingAgainRereadsAndCollapsingForgets)
{
    file("a.txt");
    file("b.txt");
    folder("s");
    EXPECT_EQ(expandRoot(), (QStringList{"s", "a.txt", "b.txt"}));
    QFile::remove(dir + "/a.txt");
    EXPECT_EQ(expandRoot(), (QStringList{"s", "b.txt"}));
    root().setExpanded(false);
    EXPECT_EQ(shown(root()), QStringList{"·"}) << "one placeholder keeps it expandable";
    EXPECT_EQ(root().image(), "closed");
    EXPECT_FALSE(tree.contains(dir + "/b.txt"));
}

TEST_F(LoadedTree, AnEmptyFolderEndsShutWithoutExpander)
{
    folder("empty");
    expandRoot();
    const TreeNode empty = tree.node(dir + "/empty");
    ASSERT_EQ(shown(empty), QStringList{"·"}) << "expandable until read";
    empty.setExpanded(true);
    EXPECT_EQ(empty.children(), 0);
    EXPECT_FALSE(empty.expanded());
    EXPECT_EQ(empty.image(), "closed");
}

TEST_F(LoadedTree, AClickLoadAddsBehindThePlaceholderWithoutExpanding)
{
    file("a.txt");
    root();
    loader.loadDirs(dir);
    loader.loadFiles(dir, pattern);
    loader.loadDirs(dir);
    loader.loadFiles(dir, pattern);
    EXPECT_EQ(shown(root()), (QStringList{"·", "a.txt"})) << "each entry once";
    EXPECT_FALSE(root().expanded());
}

TEST_F(LoadedTree, AnyNameAFolderHoldsShowsButHiddenOnes)
{
    const QString longName = QString(251, 'n') + ".txt";
    const QStringList names{"line\nbreak.txt", "back\\slash.txt", "#hash.txt", " blank.txt", longName, "x:new$$"};
    for (const QString &name : names)
        file(name);
    file(".hidden");
    folder(".git");
    // Bytes that are no UTF-8: a file and a folder as an archive made on Windows names them.
    const QByteArray base = QFile::encodeName(dir);
    ::close(::open(base + "/zl\xff.txt", O_CREAT | O_WRONLY, 0600));
    ::mkdir(base + "/P\xf8\xedloha", 0700);
    const QStringList listed = expandRoot();
    EXPECT_EQ(listed.size(), names.size() + 2) << listed.join('|').toStdString();
    for (const QString &name : names)
        EXPECT_TRUE(listed.contains(name)) << name.toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("Příloha [není UTF-8]"))) << listed.join('|').toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("zl˙.txt [není UTF-8]"))) << listed.join('|').toStdString();
    // The keys are the names themselves, each byte kept.
    const QString folderKey = dir + "/P" + QChar(0xDCF8) + QChar(0xDCED) + "loha";
    ASSERT_TRUE(tree.contains(folderKey));
    EXPECT_EQ(tree.node(folderKey).tag(), "dir");
    EXPECT_TRUE(tree.contains(dir + "/zl" + QChar(0xDCFF) + ".txt"));
}

TEST_F(LoadedTree, AFolderThatIsGoneOrALinkedFolder)
{
    folder("real");
    QFile::link(dir + "/real", dir + "/link");
    EXPECT_EQ(expandRoot(), (QStringList{"link", "real"})) << "a link to a folder lists as a folder";
    EXPECT_EQ(tree.node(dir + "/link").tag(), "dir");
    QDir(dir).removeRecursively();
    EXPECT_EQ(expandRoot(), QStringList{});
}

TEST_F(LoadedTree, TheStoreShowsNamesWithoutTheirCounter)
{
    QDir().mkpath(store());
    for (const char *name : {"00012report.txt", "00013plan.xyz"})
        QFile(store() + "/" + name).open(QIODevice::WriteOnly);
    tree.addRoot(store(), "Smazané soubory", "recycle").setTag("deleted");
    tree.add(store(), TreeRelation::LastChild, QString(), QString());
    tree.node(store()).setExpanded(true);
    EXPECT_EQ(shown(tree.node(store())), (QStringList{"report.txt", "plan.xyz"}));
    EXPECT_EQ(tree.node(store() + "/00012report.txt").image(), "txt");
    EXPECT_EQ(tree.node(store() + "/00013plan.xyz").image(), "${other}");
    EXPECT_EQ(tree.node(store() + "/00013plan.xyz").tag(), "delfile");
}

// A store that is a link to a folder holding someone else's files shows none of them
// (nor their names cut by five characters): the user is told where the store is.
TEST_F(LoadedTree, AStoreThatIsALinkListsNothing)
{
    ScriptedMessageBoxes boxes;
    env.writeFile("cizi/precious.txt", "p");
    env.writeFile("cizi/00001stary.txt", "s");
    QDir().mkpath(env.appFolder());
    ASSERT_EQ(::symlink(QFile::encodeName(env.path("cizi")).constData(), QFile::encodeName(store()).constData()), 0);
    tree.addRoot(store(), "Smazané soubory", "recycle").setTag("deleted");
    tree.add(store(), TreeRelation::LastChild, QString(), QString());
    tree.node(store()).setExpanded(true);
    EXPECT_EQ(shown(tree.node(store())), QStringList{});
    loader.loadDelFiles(store()); // the click's loading
    EXPECT_EQ(shown(tree.node(store())), QStringList{});
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(boxes.shown[0].prompt.contains(store())) << boxes.shown[0].prompt.toStdString();
    EXPECT_EQ(TestEnvironment::readFile(env.path("cizi/precious.txt")), "p");
}

// The roots, with volumes from a fixture table.
// A CD drive whose disc shows what a test puts on it; every other folder is real.
class DiscInDrive : public PosixFileSystem
{
public:
    DiscInDrive() { FileSystem::install(this); }
    ~DiscInDrive() override { FileSystem::install(nullptr); }

    int list(const QString &folder, FolderListing &out, const WildcardPattern *names) override
    {
        if (folder != "/media/cd")
            return PosixFileSystem::list(folder, out, names);
        out = {};
        for (const QString &name : disc) {
            if (!names || names->matches(name))
                out.entries.push_back({name, FileKind::File});
        }
        return 0;
    }

    QStringList disc;
};

TEST_F(LoadedTree, TheRootsInOrderAndMyComputerOpenedOnItsVolumes)
{
    DiscInDrive drive;
    volumes = VolumeTable::fromMountInfo("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                         "2 1 8:2 / /home rw - ext4 /dev/sda2 rw\n"
                                         "3 1 0:5 / /mnt/ram rw - tmpfs tmpfs rw\n"
                                         "4 1 0:50 / /mnt/share rw - cifs //server/share rw\n"
                                         "5 1 11:0 / /media/cd ro - iso9660 /dev/sr0 ro\n");
    loader.loadFileTree({env.path("home/Desktop/"), env.path("home/Documents"), env.path("home/.cache/Vorlan/"), store()});
    QStringList roots;
    for (TreeNode n = tree.node(1); !n.isNull(); n = n.next())
        roots << n.text() + "|" + n.key() + "|" + n.image() + "|" + n.tag() + "|" + QString::number(n.children());
    EXPECT_EQ(roots, (QStringList{"Desktop|" + env.path("home/Desktop") + "|plocha|dir|1",
                                  "Documents|" + env.path("home/Documents") + "|documents|dir|1",
                                  QString("Tento počítač|") + FolderTree::MyComputerKey + "|tc|$tc|4",
                                  "Temporary Internet Files|" + env.path("home/.cache/Vorlan") + "|historyfolder|dir|1",
                                  "Smazané soubory|" + store() + "|recycle|deleted|1"}));
    const TreeNode computer = tree.node(FolderTree::MyComputerKey);
    EXPECT_TRUE(computer.expanded());
    EXPECT_EQ(shown(computer), (QStringList{"sda1 (/)", "sda2 (/home)", "Disk CD (/media/cd)", "server: share (/mnt/share)"}))
        << "no node for a RAM disk";
    EXPECT_EQ(tree.node("/mnt/share").tag(), "netdrive");
    EXPECT_EQ(shown(tree.node("/home")), QStringList{"·"});

    // "/home" inside "/" stays a volume, under My Computer only.
    loader.loadDirs("/");
    EXPECT_EQ(tree.node("/home").tag(), "drive");
    EXPECT_EQ(tree.node("/home").parent().key(), FolderTree::MyComputerKey);
    EXPECT_EQ(shown(tree.node("/home")), QStringList{"·"});

    // A CD names its disc at every expansion.
    const TreeNode disc = tree.node("/media/cd");
    drive.disc = QStringList{"track01.cda"};
    disc.setExpanded(true);
    EXPECT_EQ(disc.text(), "Hudební CD (/media/cd)");
    EXPECT_EQ(disc.image(), "audiocd");
    disc.setExpanded(false);
    drive.disc = QStringList{"readme.txt"};
    disc.setExpanded(true);
    EXPECT_EQ(disc.text(), "Disk CD (/media/cd)");
    EXPECT_EQ(disc.image(), "cdrom");
}

} // namespace
