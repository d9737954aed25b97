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
    WalkFolder top;
    ASSERT_EQ(top.open(env.root()), 0);
    WalkFolder folder;
    ASSERT_EQ(folder.openChild(top, QStringLiteral("a")), 0);
    WalkFolder child;
    ASSERT_EQ(child.openChild(folder, QStringLiteral("b")), 0);
    folder.close();

    // Closed, then opened again by its name: the same folder.
    EXPECT_EQ(folder.reopenIn(top, QStringLiteral("a")), 0);
    folder.close();

    // Moved away and a link put in its place: the open sub-folder still leads to it,
    // the name alone never does.
    ASSERT_EQ(::rename(encoded(a).constData(), encoded(env.path(QStringLiteral("moved"))).constData()), 0);
    ASSERT_EQ(::symlink(encoded(env.path(QStringLiteral("other"))).constData(), encoded(a).constData()), 0);
    EXPECT_EQ(folder.reopenAbove(child), 0);
    std::vector<FolderEntry> entries;
    folder.list(entries);
    ASSERT_EQ(entries.size(), 1u);
    folder.close();
    EXPECT_NE(folder.reopenIn(top, QStringLiteral("a")), 0);
    EXPECT_FALSE(folder.isOpen());

    // Another folder at its place is not taken for it either.
    ASSERT_EQ(::unlink(encoded(a).constData()), 0);
    ASSERT_TRUE(QDir().mkpath(a));
    EXPECT_EQ(folder.reopenIn(top, QStringLiteral("a")), ESTALE);
    EXPECT_FALSE(folder.isOpen());

    // Its sub-folder moved elsewhere leads elsewhere: refused, and what was asked for
    // stays asked for, the moved folder still found by its new name.
    ASSERT_EQ(::rename(encoded(env.path(QStringLiteral("moved/b"))).constData(),
                       encoded(env.path(QStringLiteral("b2"))).constData()), 0);
    EXPECT_EQ(folder.reopenAbove(child), ESTALE);
    EXPECT_FALSE(folder.isOpen());
    EXPECT_EQ(folder.reopenIn(top, QStringLiteral("moved")), 0);
}
