// The folders-and-files pane's toolbars: copy, move, and delete with open.
#include "app/frmMain.h"

#include "app/folders/FilesPaneIcons.h"
#include "app/ToolbarRules.h"
#include "core/SharedState.h"
#include "files/FileCommands.h"
#include "files/FolderTreeModel.h"
#include "files/OpenWith.h"
#include "platform/controls/ButtonMenu.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/TreeView.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"
#include "platform/system/ShellOpen.h"

#include <algorithm>

namespace {

struct FileButton
{
    const char *key;
    const char *caption;
    const char *toolTip;
    const char *image;
    ButtonStyle style;
};

// The quick lists: presets 1 to 10 ("qc1", "qm1", …), then the chosen folder and the
// options page.
void addQuickItems(ButtonMenu &menu, const QString &prefix, const QString &chooseKey)
{
    for (int n = 1; n <= 10; ++n)
        menu.addItem(prefix + QString::number(n), QString());
    menu.addItem(QString(), QStringLiteral("-"));
    menu.addItem(chooseKey, QStringLiteral("Jinam…"));
    menu.addItem(QString(), QStringLiteral("-"));
    menu.addItem(QStringLiteral("change"), QStringLiteral("Změnit cesty…"));
}

void addOpenItems(ButtonMenu &menu)
{
    menu.addItem(QStringLiteral("open"), QStringLiteral("Otevřít v asociovaném programu"));
    menu.addItem(QStringLiteral("edit"), QStringLiteral("Upravit v asociovaném programu"));
    menu.addItem(QStringLiteral("print"), QStringLiteral("Tisknout v asociovaném programu"));
    menu.addItem(QString(), QStringLiteral("-"));
    for (int n = 1; n <= 15; ++n)
        menu.addItem(QString(), QString());
    menu.addItem(QString(), QStringLiteral("-"));
    menu.addItem(QStringLiteral("change"), QStringLiteral("Změnit programy"));
}

// The first entries of the list take the entries' texts and states, from position first.
void captionEntries(ButtonMenu &menu, const std::vector<ToolbarRules::DropDownEntry> &entries, int first)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        const int position = first + int(i);
        runIgnoringErrors([&] {
            menu.setItemText(position, entries[i].text);
            menu.setItemEnabled(position, entries[i].enabled);
        });
    }
}

// The preset of a quick item's key ("qc1" to "qc10" with prefix "qc"); 0 for another key.
int quickPreset(const QString &itemKey, const QString &prefix)
{
    if (!itemKey.startsWith(prefix))
        return 0;
    bool ok = false;
    const int n = itemKey.mid(prefix.size()).toInt(&ok);
    return ok && n >= 1 && n <= 10 ? n : 0;
}

} // namespace

void frmMain::createFileToolbars()
{
    for (ImageList *images : {imlToolbarGray, imlToolbar}) {
        for (const char *key : {"qcopy", "qmove", "delete", "edit"}) {
            if (images && !images->contains(QLatin1String(key)))
                images->add(QLatin1String(key), FilesPaneIcons::toolbarIcon(QLatin1String(key), images == imlToolbarGray,
                                                                            images->imageSize().width()));
        }
    }
    const std::vector<std::vector<FileButton>> bars = {
            {{"copy", "Kopie", "Zkopíruje vybraný soubor", "qcopy", ButtonStyle::DropDown}},
            {{"move", "Přesun", "Přesunout vybraný soubor", "qmove", ButtonStyle::DropDown}},
            {{"delete", "", "Smazat vybraný soubor", "delete", ButtonStyle::Default},
             {"open", "", "Otevřít soubor či složku v asociovaném programu", "edit", ButtonStyle::DropDown}},
    };
    int left = 0;
    int height = 0;
    for (int index = 0; index < 3; ++index) {
        auto *bar = new Toolbar(picUn[2]);
        bar->setObjectName(QStringLiteral("tbFiles%1").arg(index));
        bar->setImageList(imlToolbarGray);
        bar->setHotImageList(imlToolbar);
        for (const FileButton &line : bars[size_t(index)]) {
            ToolbarButton &button = bar->addButton(QLatin1String(line.key), QString::fromUtf8(line.caption), line.style,
                                                   QLatin1String(line.image));
            button.setToolTip(QString::fromUtf8(line.toolTip));
        }
        if (index == 0)
            addQuickItems(bar->button(QStringLiteral("copy")).menu(), QStringLiteral("qc"), QStringLiteral("copy"));
        else if (index == 1)
            addQuickItems(bar->button(QStringLiteral("move")).menu(), QStringLiteral("qm"), QStringLiteral("move"));
        else
            addOpenItems(bar->button(QStringLiteral("open")).menu());
        const QSize size = bar->sizeHint();
        bar->setGeometry(left, 0, size.width(), size.height());
        left += size.width();
        height = std::max(height, size.height());
        connect(bar, &Toolbar::buttonClicked, this, [this, index](const QString &key) { tbFiles_ButtonClick(index, key); });
        connect(bar, &Toolbar::buttonDropDown, this, [this, index](const QString &key) { tbFiles_ButtonDropDown(index, key); });
        connect(bar, &Toolbar::buttonMenuClicked, this, [this, index](const QString &, const QString &item, int position) {
            tbFiles_ButtonMenuClick(index, item, position);
        });
        tbFiles[size_t(index)] = bar;
    }
    // The pane's resizing keeps the tree's top below the toolbars.
    trwPath->move(0, height);
}

void frmMain::tbFiles_ButtonClick(int, const QString &Button)
{
    IgnoreErrors ignore;
    if (Button == QLatin1String("copy")) {
        mnuFileCopy_Click();
    } else if (Button == QLatin1String("move")) {
        mnuFileMove_Click();
    } else if (Button == QLatin1String("delete")) {
        mnuFileDel_Click();
    } else if (Button == QLatin1String("open")) {
        const TreeNode node = selectedFileTreeNode();
        QString tag;
        QString key;
        ignore([&] {
            tag = node.tag();
            key = node.key();
        });
        if (node.isNull())
            return;
        // My Computer is the file system's root here.
        if (tag == FolderTree::TagMyComputer)
            ignore([] { shellOpen(QStringLiteral("/")); });
        else
            ignore([&] { OpenWithProgram(trwPath, key, QString(), QStringLiteral("Open"), QString(), QString(), 0); });
    }
}

void frmMain::tbFiles_ButtonDropDown(int Index, const QString &Button)
{
    IgnoreErrors ignore;
    ignore([&] {
        ButtonMenu &menu = tbFiles[size_t(Index)]->button(Button).menu();
        if (Button == QLatin1String("copy"))
            captionEntries(menu, ToolbarRules::quickEntries(PresetList::read(PresetSections::QCopy)), 1);
        else if (Button == QLatin1String("move"))
            captionEntries(menu, ToolbarRules::quickEntries(PresetList::read(PresetSections::QMove)), 1);
        else if (Button == QLatin1String("open"))
            captionEntries(menu, ToolbarRules::openWithEntries(PresetList::read(PresetSections::OpenWith)), 5);
    });
}

void frmMain::tbFiles_ButtonMenuClick(int Index, const QString &ButtonMenu, int itemIndex)
{
    const bool copy = Index == 0;
    if (Index == 0 || Index == 1) {
        if (ButtonMenu == QLatin1String(copy ? "copy" : "move")) {
            copy ? mnuFileCopy_Click() : mnuFileMove_Click();
        } else if (ButtonMenu == QLatin1String("change")) {
            ShowOptionsPage(copy ? 3 : 4);
        } else if (const int n = quickPreset(ButtonMenu, QLatin1String(copy ? "qc" : "qm"))) {
            const QString key = selectedFileKey();
            if (key.isEmpty())
                return;
            copy ? CopyFileUI(trwPath, key, n, QString()) : MoveFileUI(trwPath, key, n, QString());
        }
    } else if (Index == 2) {
        if (ButtonMenu == QLatin1String("open"))
            openWithVerb(QStringLiteral("Open"));
        else if (ButtonMenu == QLatin1String("edit"))
            openWithVerb(QStringLiteral("Edit"));
        else if (ButtonMenu == QLatin1String("print"))
            openWithVerb(QStringLiteral("Print"));
        else if (ButtonMenu == QLatin1String("change"))
            ShowOptionsPage(11);
        else if (itemIndex >= 5 && itemIndex <= 19)
            mnuFileOpenWithItem_Click(itemIndex - 4);
    }
}
