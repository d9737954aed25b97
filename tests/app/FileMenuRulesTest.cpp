#include "app/FileMenuRules.h"

#include <gtest/gtest.h>

namespace {

using FileMenuRules::Enabled;
using FileMenuRules::fileMenuEnabled;

TEST(FileMenuEnabling, ByNodeKind)
{
    // quick copy, quick move, rename, open with, copy, move, delete, new folder
    const struct { const char *tag; Enabled enabled; } cases[] = {
        {"file", {1, 1, 1, 1, 1, 1, 1, 1}},
        {"delfile", {1, 1, 0, 1, 1, 1, 1, 0}},
        {"deleted", {0, 0, 0, 1, 0, 0, 1, 0}},
        {"dir", {0, 0, 1, 1, 0, 0, 0, 1}},
        {"drive", {0, 0, 0, 1, 0, 0, 0, 1}},
        {"floppy", {0, 0, 0, 1, 0, 0, 0, 1}},
        {"netdrive", {0, 0, 0, 1, 0, 0, 0, 1}},
        {"$tc", {0, 0, 0, 1, 0, 0, 0, 0}},
        {"cdrom", {0, 0, 0, 1, 0, 0, 0, 0}},
        {"ram", {0, 0, 0, 1, 0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tag);
        EXPECT_EQ(fileMenuEnabled(true, QString::fromUtf8(c.tag)), c.enabled);
    }
}

TEST(FileMenuEnabling, WithoutSelectionOnlyOpenWithAndWithTheFolderPaneHiddenNothing)
{
    EXPECT_EQ(fileMenuEnabled(true, std::nullopt), (Enabled{0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(fileMenuEnabled(false, QStringLiteral("file")), Enabled{});
    EXPECT_EQ(fileMenuEnabled(false, std::nullopt), Enabled{});
}

} // namespace
