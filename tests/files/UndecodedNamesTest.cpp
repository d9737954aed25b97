// Files whose names are bytes that are no UTF-8 (a Windows-1250 archive, a broken
// copy) through every road the program changes files by: each is found and changed
// by its own bytes, and a name differing in one byte is never touched instead.
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "files/CheckedFileOps.h"
#include "files/DeletedStore.h"
#include "files/FolderTreeRename.h"
#include "platform/controls/TreeView.h"
#include "platform/files/FileNames.h"
#include "platform/files/FileSystem.h"
#include "platform/store/SettingsStore.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kName = "spatne\xff\xfe" "bajty.txt";
// What Qt's own encoders make of the decoded name: another name, which must stay.
const QByteArray kQtsReading = "spatne\xef\xbf\xbd\xef\xbf\xbd" "bajty.txt";

class UndecodedNamesTest : public TempEnvTest
{
protected:
    void SetUp() override
    {
        base = QFile::encodeName(env.root());
        ASSERT_EQ(::mkdir(base + "/zdroj", 0700), 0);
        ASSERT_EQ(::mkdir(base + "/cil", 0700), 0);
        ASSERT_EQ(::mkdir(base + "/P\xf8\xedloha", 0700), 0);
        write("/zdroj/" + kName, "bytes");
        write("/zdroj/" + kQtsReading, "twin");
    }

    void write(const QByteArray &relative, const QByteArray &bytes)
    {
        const int fd = ::open(base + relative, O_CREAT | O_EXCL | O_WRONLY, 0644);
        ASSERT_GE(fd, 0) << relative.constData();
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    }
    QByteArray read(const QByteArray &relative) const
    {
        const int fd = ::open(base + relative, O_RDONLY);
        if (fd < 0)
            return "(missing)";
        char buffer[64];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        ::close(fd);
        return QByteArray(buffer, int(qMax<ssize_t>(count, 0)));
    }
    bool exists(const QByteArray &relative) const
    {
        struct stat info {};
        return ::lstat(base + relative, &info) == 0;
    }
    // The path as the program holds it: the listing's text for the bytes.
    QString path(const QByteArray &relative) const { return decodeFileName(base + relative); }

    QByteArray base;
};

} // namespace

TEST_F(UndecodedNamesTest, CopiedMovedAndRenamedByTheirBytes)
{
    EXPECT_TRUE(FileExists(path("/zdroj/" + kName)));
    EXPECT_TRUE(FileExists(path("/P\xf8\xedloha")));

    EXPECT_EQ(CopyFileChecked(path("/zdroj/" + kName), path("/P\xf8\xedloha/" + kName)).code, FileOpCode::Copied);
    EXPECT_EQ(read("/P\xf8\xedloha/" + kName), "bytes");

    EXPECT_EQ(MoveFileChecked(path("/zdroj/" + kName), path("/cil/" + kName)).code, FileOpCode::Done);
    EXPECT_EQ(read("/cil/" + kName), "bytes");
    EXPECT_FALSE(exists("/zdroj/" + kName));
    EXPECT_EQ(read("/zdroj/" + kQtsReading), "twin") << "the name Qt would have made of it is another file";

    // Renamed from the tree: the node's key is the name; the label typed is UTF-8.
    TreeView tree;
    const QString key = path("/cil/" + kName);
    TreeNode node = tree.addRoot(key, shownFileName(decodeFileName(kName)));
    QString label = QStringLiteral("přejmenovaný.txt");
    EXPECT_EQ(renameFromLabel(node, label), QString());
    EXPECT_EQ(read("/cil/p\xc5\x99" "ejmenovan\xc3\xbd.txt"), "bytes");
    EXPECT_FALSE(exists("/cil/" + kName));
    // And back to bytes that are no UTF-8 through the layer.
    ASSERT_EQ(FileSystem::current().rename(node.key(), path("/cil/zase\xe8.txt")), 0);
    EXPECT_EQ(read("/cil/zase\xe8.txt"), "bytes");
}

TEST_F(UndecodedNamesTest, DeletedIntoTheStoreAndRemovedByTheEmptying)
{
    QDir().mkpath(env.appFolder() + "deleted");
    MoveToDeletedStore(path("/zdroj/" + kName));
    EXPECT_FALSE(exists("/zdroj/" + kName));
    EXPECT_EQ(read("/zdroj/" + kQtsReading), "twin");
    const QByteArray stored = QFile::encodeName(env.appFolder()) + "deleted/00001" + kName;
    struct stat info {};
    ASSERT_EQ(::lstat(stored.constData(), &info), 0) << "stored under its own bytes";

    DeletedStore::empty();
    EXPECT_NE(::lstat(stored.constData(), &info), 0);
    EXPECT_EQ(read("/zdroj/" + kQtsReading), "twin");
}

TEST_F(UndecodedNamesTest, AStoredPathComesBackAsTheSameBytes)
{
    const QString folder = path("/P\xf8\xedloha");
    SettingsStore::instance().save("Main", "FindPath", folder);
    SettingsStore::resetInstance(); // read from the file again
    EXPECT_EQ(SettingsStore::instance().get("Main", "FindPath", QString()), folder);
}
