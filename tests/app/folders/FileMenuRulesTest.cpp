#include "app/folders/FileMenuRules.h"

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


TEST(NewFolderParent, AFileUsesItsFolderFoldersAndVolumesTheirOwnPath)
{
    const struct { const char *tag; const char *key; const char *parent; } cases[] = {
        {"file", "/home/u/Plocha/alfa.txt", "/home/u/Plocha"},
        {"file", "/alfa.txt", "/"},
        {"dir", "/home/u/Plocha/", "/home/u/Plocha"},
        {"dir", "/home//u/./Plocha", "/home/u/Plocha"},
        {"drive", "/", "/"},
        {"floppy", "/media/usb", "/media/usb"},
        {"netdrive", "/mnt/share", "/mnt/share"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(FileMenuRules::newFolderParent(QString::fromUtf8(c.tag), QString::fromUtf8(c.key)),
                  QString::fromUtf8(c.parent));
    }
    for (const char *tag : {"delfile", "deleted", "$tc", "cdrom", "ram"})
        EXPECT_EQ(FileMenuRules::newFolderParent(QString::fromUtf8(tag), QStringLiteral("/x")), std::nullopt) << tag;
}

TEST(ShowAfter, OnlyAFileWhileSelectingActsFilesAreShownAndAWindowIsOpen)
{
    const struct { const char *tag; bool navOnSelect, navFiles; int windows; bool shown; } cases[] = {
        {"file", true, true, 1, true},  {"file", true, true, 3, true},  {"file", false, true, 1, false},
        {"file", true, false, 1, false}, {"file", true, true, 0, false}, {"dir", true, true, 1, false},
        {"delfile", true, true, 1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.tag << c.navOnSelect << c.navFiles << c.windows);
        EXPECT_EQ(FileMenuRules::showAfter(QString::fromUtf8(c.tag), c.navOnSelect, c.navFiles, c.windows), c.shown);
    }
}

} // namespace
