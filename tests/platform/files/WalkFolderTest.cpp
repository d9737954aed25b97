#include "platform/files/WalkFolder.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace

TEST_F(TempEnvTest, WalkFolderReopensOnlyTheSameFolderAndNeverThroughALink)
{
    env.writeFile(QStringLiteral("a/b/x.txt"), "x");
    env.writeFile(QStringLiteral("other/b/y.txt"), "y");
    const QString a = env.path(QStringLiteral("a"));
    WalkFolder folder;
    ASSERT_EQ(folder.open(a), 0);
    WalkFolder child;
    ASSERT_EQ(child.openChild(folder, QStringLiteral("b")), 0);
    folder.close();

    // Closed, then opened again by its path: the same folder.
    EXPECT_EQ(folder.reopen(nullptr, a), 0);
    folder.close();

    // Moved away and a link put in its place: the open sub-folder still leads to it,
    // the path alone never does.
    ASSERT_EQ(::rename(encoded(a).constData(), encoded(env.path(QStringLiteral("moved"))).constData()), 0);
    ASSERT_EQ(::symlink(encoded(env.path(QStringLiteral("other"))).constData(), encoded(a).constData()), 0);
    EXPECT_EQ(folder.reopen(&child, a), 0);
    std::vector<FolderEntry> entries;
    folder.list(entries);
    ASSERT_EQ(entries.size(), 1u);
    folder.close();
    child.close();
    EXPECT_NE(folder.reopen(nullptr, a), 0);
    EXPECT_FALSE(folder.isOpen());

    // Another folder at its place is not taken for it either.
    ASSERT_EQ(::unlink(encoded(a).constData()), 0);
    ASSERT_TRUE(QDir().mkpath(a));
    EXPECT_EQ(folder.reopen(nullptr, a), ESTALE);
    EXPECT_FALSE(folder.isOpen());
    // What was asked for stays asked for: the moved folder is still found by its new path.
    EXPECT_EQ(folder.reopen(nullptr, env.path(QStringLiteral("moved"))), 0);
}
