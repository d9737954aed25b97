#include "app/frmMain.h"

#include "app/FileMenuRules.h"
#include "app/ToolbarRules.h"
#include "core/ErrorLog.h"
#include "platform/controls/TreeView.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr int QuickItems = 10;
constexpr int OpenWithItems = 15;

QString quickCopyItem(int index)
{
    return QStringLiteral("mnuFileQCopyTo%1").arg(index);
}
QString quickMoveItem(int index)
{
    return QStringLiteral("mnuFileQMoveTo%1").arg(index);
}
QString openWithItem(int index)
{
    return QStringLiteral("mnuFileOpenWithItem%1").arg(index);
}

} // namespace

void frmMain::connectFileMenu()
{
    connect(menu(QStringLiteral("mnuFile")), &QMenu::aboutToShow, this, &frmMain::mnuFile_Click);
    connect(menu(QStringLiteral("mnuFileQCopy")), &QMenu::aboutToShow, this, &frmMain::mnuFileQCopy_Click);
    connect(menu(QStringLiteral("mnuFileQMove")), &QMenu::aboutToShow, this, &frmMain::mnuFileQMove_Click);
    connect(menu(QStringLiteral("mnuOpenwith")), &QMenu::aboutToShow, this, &frmMain::mnuOpenwith_Click);
    const struct { const char *item; void (frmMain::*handler)(); } items[] = {
        {"mnuFileQCopySelPaths", &frmMain::mnuFileQCopySelPaths_Click},
        {"mnuQMoveSelectPath", &frmMain::mnuQMoveSelectPath_Click},
        {"mnuFileOpenWithChange", &frmMain::mnuFileOpenWithChange_Click},
        {"mnuFastRename", &frmMain::mnuFastRename_Click},
    };
    for (const auto &entry : items)
        connect(menuItem(QString::fromLatin1(entry.item)), &QAction::triggered, this, entry.handler);
}

TreeNode frmMain::selectedFileTreeNode() const
{
    TreeNode node;
    runIgnoringErrors([&] { node = trwPath->selectedItem(); });
    return node;
}

void frmMain::mnuFile_Click()
{
    IgnoreErrors ignore;
    std::optional<QString> tag;
    ignore([&] {
        const TreeNode node = selectedFileTreeNode();
        if (!node.isNull())
            tag = node.tag();
    });
    const FileMenuRules::Enabled on = FileMenuRules::fileMenuEnabled(picUn[2] && !picUn[2]->isHidden(), tag);
    const struct { const char *item; bool enabled; } states[] = {
        {"mnuFileQCopyAction", on.quickCopy}, {"mnuFileQMoveAction", on.quickMove},
        {"mnuFastRename", on.rename},         {"mnuOpenwithAction", on.openWith},
        {"mnuFileCopy", on.copy},             {"mnuFileMove", on.move},
        {"mnuFileDel", on.remove},            {"mnuDirNew", on.newFolder},
    };
    for (const auto &state : states)
        ignore([&] { menuItem(QString::fromLatin1(state.item))->setEnabled(state.enabled); });
}

void frmMain::captionQuickItems(const QString &section, QString (*itemName)(int))
{
    IgnoreErrors ignore;
    std::vector<ToolbarRules::DropDownEntry> entries;
    ignore([&] { entries = ToolbarRules::quickEntries(PresetList::read(section)); });
    for (int i = 0; i < QuickItems && i < int(entries.size()); ++i) {
        ignore([&] {
            QAction *item = menuItem(itemName(i));
            item->setText(entries[i].text);
            item->setEnabled(entries[i].enabled);
        });
    }
}

void frmMain::mnuFileQCopy_Click()
{
    captionQuickItems(PresetSections::QCopy, quickCopyItem);
}

void frmMain::mnuFileQMove_Click()
{
    captionQuickItems(PresetSections::QMove, quickMoveItem);
}

void frmMain::mnuOpenwith_Click()
{
    IgnoreErrors ignore;
    std::vector<ToolbarRules::DropDownEntry> entries;
    ignore([&] { entries = ToolbarRules::openWithEntries(PresetList::read(PresetSections::OpenWith)); });
    for (int i = 1; i <= OpenWithItems && i <= int(entries.size()); ++i) {
        ignore([&] {
            QAction *item = menuItem(openWithItem(i));
            item->setText(entries[i - 1].text);
            item->setEnabled(entries[i - 1].enabled);
        });
    }
}

void frmMain::mnuFileQCopySelPaths_Click()
{
    ShowOptionsPage(3);
}

void frmMain::mnuQMoveSelectPath_Click()
{
    ShowOptionsPage(4);
}

void frmMain::mnuFileOpenWithChange_Click()
{
    ShowOptionsPage(11);
}

void frmMain::mnuFastRename_Click()
{
    IgnoreErrors ignore;
    QString key;
    ignore([&] {
        key = selectedFileTreeNode().key();
        trwPath->startLabelEdit();
    });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuFastRename_Click"), key);
}

