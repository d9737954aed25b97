#include "app/MainMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <vector>

namespace {

enum class Kind { Item, Check, Separator, SubmenuStart, SubmenuEnd, Hidden };

struct Entry
{
    Kind kind;
    const char *name;
    const char *caption;
    const char *shortcut;
    bool enabled;
};

constexpr bool On = true;
constexpr bool Off = false;

Entry item(const char *name, const char *caption, const char *shortcut = "", bool enabled = On)
{
    return {Kind::Item, name, caption, shortcut, enabled};
}
Entry check(const char *name, const char *caption, bool enabled = On)
{
    return {Kind::Check, name, caption, "", enabled};
}
Entry hidden(const char *name, const char *caption, bool enabled = Off)
{
    return {Kind::Hidden, name, caption, "", enabled};
}
Entry separator(const char *name = "")
{
    return {Kind::Separator, name, "", "", On};
}
Entry submenu(const char *name, const char *caption, bool enabled = On)
{
    return {Kind::SubmenuStart, name, caption, "", enabled};
}
Entry end()
{
    return {Kind::SubmenuEnd, "", "", "", On};
}

struct TopMenu
{
    const char *name;
    const char *caption;
    std::vector<Entry> entries;
};

std::vector<TopMenu> menuTable()
{
    return {
        {"mnuFile", "&Soubor", {
            submenu("mnuFileQCopy", "Zkopírovat do"),
            item("mnuFileQCopyTo0", ""), item("mnuFileQCopyTo1", ""), item("mnuFileQCopyTo2", ""),
            item("mnuFileQCopyTo3", ""), item("mnuFileQCopyTo4", ""), item("mnuFileQCopyTo5", ""),
            item("mnuFileQCopyTo6", ""), item("mnuFileQCopyTo7", ""), item("mnuFileQCopyTo8", ""),
            item("mnuFileQCopyTo9", ""),
            separator("mnufilebar5"), item("mnuFileQCopySelPaths", "Změnit cesty…"), end(),
            submenu("mnuFileQMove", "Přesunout do"),
            item("mnuFileQMoveTo0", ""), item("mnuFileQMoveTo1", ""), item("mnuFileQMoveTo2", ""),
            item("mnuFileQMoveTo3", ""), item("mnuFileQMoveTo4", ""), item("mnuFileQMoveTo5", ""),
            item("mnuFileQMoveTo6", ""), item("mnuFileQMoveTo7", ""), item("mnuFileQMoveTo8", ""),
            item("mnuFileQMoveTo9", ""),
            separator("mnufilebar11"), item("mnuQMoveSelectPath", "Změnit cesty…"), end(),
            item("mnuFastRename", "&Přejmenovat", "F2"),
            separator("mnubar0"),
            submenu("mnuOpenwith", "&Otevřít v"),
            item("mnuFileOpenWithAssoc", "Otevřít v asociovaném programu"),
            item("mnuFileOpenWithEdit", "Upravit v asociovaném programu"),
            item("mnuFileOpenWithPrint", "Tisknout v asociovaném programu"),
            separator("mnuFileOpenWithBar1"),
            item("mnuFileOpenWithItem1", ""), item("mnuFileOpenWithItem2", ""), item("mnuFileOpenWithItem3", ""),
            item("mnuFileOpenWithItem4", ""), item("mnuFileOpenWithItem5", ""), item("mnuFileOpenWithItem6", ""),
            item("mnuFileOpenWithItem7", ""), item("mnuFileOpenWithItem8", ""), item("mnuFileOpenWithItem9", ""),
            item("mnuFileOpenWithItem10", ""), item("mnuFileOpenWithItem11", ""), item("mnuFileOpenWithItem12", ""),
            item("mnuFileOpenWithItem13", ""), item("mnuFileOpenWithItem14", ""), item("mnuFileOpenWithItem15", ""),
            separator("mnuFileOpenWithBar2"), item("mnuFileOpenWithChange", "Změnit programy…"), end(),
            separator("mnubar2"),
            item("mnuFileCopy", "&Kopírovat…", "Ctrl+K"),
            item("mnuFileMove", "&Přesunout…", "Ctrl+M"),
            item("mnuFileDel", "&Smazat"),
            separator("mnubar3"),
            item("mnuDirNew", "&Nová složka…", "F7"),
            separator("mnubar5"),
            item("mnuFileExit", "&Konec"),
        }},
        {"mnuPage", "Stránk&a", {
            submenu("mnuPageSaveTo", "Uložit do"),
            item("mnuPageSaveD", "1"), separator(),
            item("mnuPageSave2", "2"), item("mnuPageSave3", "3"), item("mnuPageSave4", "4"), item("mnuPageSave5", "5"),
            separator(), item("mnuPageSaveSelect", "Změnit cesty…"), end(),
            item("mnuPageSaveHTML", "Uložit &jako…", "", Off),
            item("mnuPageSaveBack", "Uložit jako (na pozadí)…"),
            separator(),
            item("mnuAddToFav", "Přidat k o&blíbeným…", "Ctrl+D", Off),
            item("mnuSearchFindonPage", "Najít na &stránce…", "Ctrl+F", Off),
            item("mnuFilePrint", "&Tisk...", "Ctrl+P", Off),
            separator(),
            submenu("mnuGo", "&Přejít"),
            item("mnuGoBack", "&Zpět", "Ctrl+B", Off),
            item("mnuGoForward", "Dá&le", "", Off),
            separator(),
            item("mnuGoHome", "&Domů", "Ctrl+H", Off),
            item("mnuGoSearch", "&Hledat", "Ctrl+G", Off),
            end(),
            separator(),
            item("mnuViewStop", "&Zastavit", "", Off),
            item("mnuViewRefresh", "&Obnovit", "F5", Off),
            item("mnuPageReload", "&Načíst znovu", "Ctrl+F5", Off),
        }},
        {"mnuView", "&Zobrazit", {
            check("mnuViewMainPanel", "Hlavní &panel"),
            check("mnuViewToolbars", "&Nástrojové lišty"),
            check("mnuViewBottomBar", "&Spodní lišta"),
            separator(),
            check("mnuViewPane1", "&Oblíbené"),
            check("mnuViewPane2", "Složky a soubory"),
            check("mnuViewPane3", "Hledat soubory"),
            check("mnuViewPane4", "Odkazy"),
            hidden("mnuViewPane5", "Search the Internet"),
            hidden("mnuViewPane6", "History"),
            separator(),
            check("mnuViewStandard", "Základní nástrojová lišta"),
            check("mnuViewAddress", "Adresní řádek"),
            check("mnuViewTools", "Zvětšení"),
            check("mnuViewShowText", "Zobrazit popis tlačítek"),
            separator(),
            check("mnuViewStatusBar", "Stavový řádek"),
            check("mnuViewWindowList", "Přímá tlačítka oken"),
            check("mnuViewWindowControls", "Ovládání oken"),
        }},
        {"mnuTools", "Nás&troje", {
            submenu("mnuToolsSearchFiles", "Hledat soubory"),
            item("mnuToolsSearchFilesStart", "Zahájit hledání"),
            // Shown during a run, and then it must work at once.
            hidden("mnuToolsSearchFilesStop", "Zastavit hledání", On),
            item("mnuToolsClearResults", "Odstranit výsledky hledání"),
            end(),
            item("mnuDeleteAll", "Odstranit smazané soubory"),
            separator(),
            check("mnuAdjustImages", "Přizpůsobovat velké obrázky"),
            item("mnuAdjustNow", "Přizpůsobit obrázek", "F8", Off),
            separator(),
            item("mnuViewOptions", "&Možnosti…"),
            item("mnuInternetSetting", "&Nastavení Internetu…"),
            separator(),
            check("mnuOffline", "Pracovat &offline"),
        }},
        {"mnuwindow", "&Okno", {
            item("mnuFileNew", "&Nové okno", "F9"),
            item("mnuWindowMaximize", "&Obnovit okno", "Shift+F9", Off),
            item("mnuWindowClose", "&Zavřít okno", "Ctrl+F9", Off),
            submenu("mnuWindowSize", "Ve&likost okna", Off),
            item("mnuWinSize1", "640×480"), item("mnuWinSize2", "800×600"), item("mnuWinSize3", "1024×768"),
            end(),
            separator(),
            item("mnuWindowPrevious", "&Předchozí", "", Off),
            item("mnuWindowNext", "Ná&sledující", "", Off),
            separator(),
            item("mnuWindowCascade", "&Kaskáda", "", Off),
            item("mnuWindowTileHorizontal", "Uspořádat &horizontálně", "", Off),
            item("mnuWindowTileVertical", "Uspořádat &vertikálně", "", Off),
            item("mnuWindowArrangeIcons", "&Srovnat ikony", "", Off),
        }},
        {"mnuHelp", "&Nápověda", {
            item("mnuHelpContents", "&Obsah", "F1"),
            hidden("mnuHelpSearch", "&Search For Help On..."),
            separator(),
            item("mnuHelpInternetHomePage", "Domovská stránka na &Internetu"),
            item("mnuHelpEmail", "&E-mail na technickou podporu"),
            separator(),
            item("mnuHelpAbout", "O programu &Vorlan…"),
        }},
    };
}

void addEntries(QMenu *top, const std::vector<Entry> &entries)
{
    std::vector<QMenu *> stack{top};
    for (const Entry &entry : entries) {
        QMenu *menu = stack.back();
        const QString name = QString::fromUtf8(entry.name);
        switch (entry.kind) {
        case Kind::SubmenuStart: {
            QMenu *sub = menu->addMenu(QString::fromUtf8(entry.caption));
            sub->setObjectName(name);
            sub->menuAction()->setObjectName(name + QStringLiteral("Action"));
            sub->menuAction()->setEnabled(entry.enabled);
            stack.push_back(sub);
            break;
        }
        case Kind::SubmenuEnd:
            stack.pop_back();
            break;
        case Kind::Separator: {
            QAction *line = menu->addSeparator();
            line->setObjectName(name);
            break;
        }
        default: {
            QAction *action = menu->addAction(QString::fromUtf8(entry.caption));
            action->setObjectName(name);
            action->setEnabled(entry.enabled);
            action->setCheckable(entry.kind == Kind::Check);
            action->setVisible(entry.kind != Kind::Hidden);
            if (*entry.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
            break;
        }
        }
    }
}

} // namespace

namespace MainMenus {

void build(QMenuBar *bar)
{
    for (const TopMenu &top : menuTable()) {
        QMenu *menu = bar->addMenu(QString::fromUtf8(top.caption));
        menu->setObjectName(QString::fromUtf8(top.name));
        addEntries(menu, top.entries);
    }
}

} // namespace MainMenus
