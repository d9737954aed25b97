#include "files/FolderTreeClick.h"
#include "files/FolderTreeModel.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

TEST(FolderTreeRules, WhatASelectionDoes)
{
    enum Flags { Files = 1, Dirs = 2, Drives = 4 };
    const struct { const char *tag; int button; bool nav; int flags; int windows; bool navigate; TreeLoad load; } cases[] = {
        {"file", 1, true, Files, 1, true, TreeLoad::None},
        {"delfile", 0, true, Files, 1, true, TreeLoad::None},
        {"file", 1, true, Dirs | Drives, 1, false, TreeLoad::None},
        {"file", 0, false, Files, 1, false, TreeLoad::None},       // locked, keyboard
        {"file", 2, true, Files, 1, false, TreeLoad::None},        // right button records only
        {"dir", 1, true, 0, 1, false, TreeLoad::Folder},           // NavDirs off: loads
        {"dir", 1, true, Dirs, 1, true, TreeLoad::Folder},
        {"dir", 0, true, Dirs, 1, true, TreeLoad::None},           // keyboard: no loading
        {"dir", 4, true, Dirs, 1, true, TreeLoad::None},           // middle: navigates only
        {"dir", 1, true, Dirs, 0, false, TreeLoad::Folder},        // no window: loads only
        {"drive", 1, true, Drives, 1, true, TreeLoad::Folder},
        {"netdrive", 1, true, Dirs, 1, false, TreeLoad::Folder},
        {"$tc", 1, true, Drives, 1, true, TreeLoad::Folder},
        {"deleted", 1, true, Dirs, 1, true, TreeLoad::Store},
        {"deleted", 1, true, Files, 1, false, TreeLoad::Store},
        {"", 1, true, Files | Dirs | Drives, 1, false, TreeLoad::None}, // a placeholder
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " button " + std::to_string(c.button));
        const NodeClickState state{c.nav, c.button, bool(c.flags & Files), bool(c.flags & Dirs), bool(c.flags & Drives),
                                   c.windows};
        const NodeClickAction action = nodeClickAction(QString::fromLatin1(c.tag), state);
        EXPECT_EQ(action.navigate, c.navigate);
        EXPECT_EQ(action.load, c.load);
    }
}

TEST(FolderTreeRules, AddressesAreExactFileAddresses)
{
    EXPECT_EQ(nodeAddress("file", "/d/ a #1.html"), "file:///d/%20a%20%231.html");
    EXPECT_EQ(nodeAddress("dir", "/home/u/x\ny"), "file:///home/u/x%0Ay");
    EXPECT_EQ(nodeAddress("$tc", FolderTree::MyComputerKey), "file:///");
}

TEST(FolderTreeRules, ALabelBecomesAFileName)
{
    EXPECT_EQ(fileNameFromLabel("a?b.txt"), "a#b.txt");
    EXPECT_EQ(fileNameFromLabel("a/b.txt"), "a#b.txt");
    const QString czech = QString(300, QChar(0x017E)) + ".html"; // "ž", two bytes each
    const QString cut = fileNameFromLabel(czech);
    EXPECT_LE(cut.toUtf8().size(), 250);
    EXPECT_TRUE(cut.endsWith(QString(2, QChar(0x017E)) + ".html")) << cut.right(12).toStdString();
    EXPECT_EQ(cut.toUtf8().size(), 240 + 9) << "whole characters: 120 in front, 2 and the extension behind";
    const QString ascii = QString(249, 'a');
    EXPECT_EQ(fileNameFromLabel(ascii), ascii) << "under 250 bytes nothing is cut";
    EXPECT_EQ(fileNameFromLabel(QString(250, 'b')), QString(250, 'b')) << "240 and 10 of a plain name";
    EXPECT_EQ(fileNameFromLabel(QString(240, 'h') + QString(20, 't')), QString(240, 'h') + QString(10, 't'));
    EXPECT_EQ(renamedPath("/home/u/a.txt", "b.txt"), "/home/u/b.txt");
    EXPECT_EQ(renamedPath("/a.txt", "b.txt"), "/b.txt");
}

TEST(FolderTreeRules, OnlyFilesAndFoldersTakeANewName)
{
    for (const char *tag : {"file", "dir"})
        EXPECT_TRUE(labelEditAllowed(QString::fromLatin1(tag))) << tag;
    for (const char *tag : {"delfile", "deleted", "$tc", "drive", "cdrom", ""})
        EXPECT_FALSE(labelEditAllowed(QString::fromLatin1(tag))) << tag;
}

TEST(FolderTreeRules, VolumeTexts)
{
    using FolderTree::volumeText;
    EXPECT_EQ(volumeText("drive", "SYSTEM", "/dev/sda2", "/"), "SYSTEM (/)");
    EXPECT_EQ(volumeText("drive", "", "/dev/sda2", "/home"), "sda2 (/home)");
    EXPECT_EQ(volumeText("drive", "", "overlay", "/"), "overlay (/)");
    EXPECT_EQ(volumeText("netdrive", "", "//server/share", "/mnt/s"), "server: share (/mnt/s)");
    EXPECT_EQ(volumeText("netdrive", "", "nas:/export", "/mnt/n"), "nas:/export (/mnt/n)");
    EXPECT_EQ(volumeText("floppy", "DATA", "/dev/fd0", "/media/fd"), "Disketa (/media/fd)");
    EXPECT_EQ(volumeText("cdrom", "DISC", "/dev/sr0", "/media/cd"), "Disk CD (/media/cd)");
    EXPECT_EQ(FolderTree::cdText(true, "/media/cd"), "Hudební CD (/media/cd)");
    EXPECT_EQ(FolderTree::storedFileText("00012report.txt"), "report.txt");
    EXPECT_EQ(FolderTree::storedFileText("00012"), "");
}

TEST(FolderTreeRules, TheImageListKeys)
{
    const QStringList keys = FolderTree::imageKeys();
    ASSERT_EQ(keys.size(), 63);
    EXPECT_EQ(keys.indexOf(QString()), 25) << "the 26th image has no key";
    EXPECT_EQ(keys.first(), "asa");
    EXPECT_EQ(keys.at(23), "${other}");
    EXPECT_EQ(keys.last(), "phtml");
    EXPECT_FALSE(keys.contains("ram"));
    EXPECT_FALSE(keys.contains("other"));
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), 63);
}

} // namespace
