#include "app/frmMain.h"

#include "app/Icons.h"
#include "app/ToolbarRules.h"
#include "browser/frmWeb.h"
#include "core/ErrorLog.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/ButtonMenu.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/MessageBox.h"
#include "platform/store/SettingsStore.h"
#include "platform/controls/Toolbar.h"

#include <QAction>

namespace {

const QStringList kToolbarImages = {
        QStringLiteral("back"),   QStringLiteral("forward"),   QStringLiteral("stop"),    QStringLiteral("refresh"),
        QStringLiteral("gohome"), QStringLiteral("gosearch"),  QStringLiteral("folder"),  QStringLiteral("favorites"),
        QStringLiteral("save"),   QStringLiteral("history"),   QStringLiteral("winprev"), QStringLiteral("winnext"),
        QStringLiteral("newwin"), QStringLiteral("background"), QStringLiteral("closewin"),
};

// The designed entries of the three drop-down lists; the presets fill the empty rows
// each time a list opens.
void addAddressListEntries(ButtonMenu &menu, const char *mainKey, const char *mainText, const char *changeKey)
{
    menu.addItem(QString::fromLatin1(mainKey), QString::fromUtf8(mainText));
    menu.addItem(QString(), QStringLiteral("-"));
    for (int i = 1; i <= 30; ++i)
        menu.addItem(QString(), QString());
    menu.addItem(QString(), QStringLiteral("-"));
    menu.addItem(QString::fromLatin1(changeKey), QStringLiteral("Změnit seznam"));
}

void addSaveListEntries(ButtonMenu &menu)
{
    menu.addItem(QStringLiteral("saveas"), QStringLiteral("Uložit jako…"));
    menu.addItem(QStringLiteral("saveback"), QStringLiteral("Uložit jako (na pozadí)…"));
    menu.addItem(QString(), QString());
    menu.addItem(QString(), QStringLiteral("-"));
    for (int i = 1; i <= 5; ++i)
        menu.addItem(QStringLiteral("sav%1").arg(i), QString::number(i));
    menu.addItem(QString(), QStringLiteral("-"));
    menu.addItem(QStringLiteral("savsel"), QStringLiteral("Změnit cesty"));
}

void fillAddressList(ButtonMenu &menu, const QString &section)
{
    const auto entries = ToolbarRules::addressEntries(PresetList::read(section));
    for (size_t i = 0; i < entries.size() && i < 30; ++i) {
        const int row = int(i) + 3;
        menu.setItemText(row, entries[i].text);
        menu.setItemTag(row, entries[i].tag);
    }
}

void fillSaveList(ButtonMenu &menu)
{
    const auto entries = ToolbarRules::saveEntries(PresetList::read(PresetSections::Save));
    for (size_t i = 0; i < entries.size() && i < 5; ++i) {
        const QString key = QStringLiteral("sav%1").arg(i + 1);
        menu.setItemText(key, entries[i].text);
        menu.setItemEnabled(key, entries[i].enabled);
        menu.setItemTag(key, entries[i].tag);
    }
}

} // namespace

void frmMain::createImageLists()
{
    imlToolbar = new ImageList(this);
    imlToolbar->setObjectName(QStringLiteral("imlToolbar"));
    imlToolbar->setImageSize(QSize(24, 24));
    Icons::fill(imlToolbar, kToolbarImages);
    imlToolbarGray = new ImageList(this);
    imlToolbarGray->setObjectName(QStringLiteral("imlToolbarGray"));
    imlToolbarGray->setImageSize(QSize(24, 24));
    Icons::fill(imlToolbarGray, kToolbarImages, true);
    imlClose = new ImageList(this);
    imlClose->setObjectName(QStringLiteral("imlClose"));
    Icons::fill(imlClose, {QStringLiteral("close"), QStringLiteral("prgno"), QStringLiteral("prgyes")});
}

void frmMain::createDropDownLists()
{
    addAddressListEntries(tbToolbar[1]->button(QStringLiteral("gohome")).menu(), "hom", "Hlavní domovská stránka",
                          "sethom");
    addAddressListEntries(tbToolbar[1]->button(QStringLiteral("gosearch")).menu(), "ser",
                          "Hlavní vyhledávací stránka", "setser");
    addSaveListEntries(tbToolbar[1]->button(QStringLiteral("save")).menu());
}

void frmMain::connectToolbars()
{
    for (int index : {0, 1, 3}) {
        Toolbar *bar = tbToolbar[size_t(index)];
        connect(bar, &Toolbar::buttonClicked, this, [this, index](const QString &key) { tbToolbar_ButtonClick(index, key); });
        connect(bar, &Toolbar::buttonDropDown, this,
                [this, index](const QString &key) { tbToolbar_ButtonDropDown(index, key); });
        connect(bar, &Toolbar::buttonMenuClicked, this,
                [this, index](const QString &buttonKey, const QString &itemKey, int itemIndex) {
                    tbToolbar_ButtonMenuClick(index, buttonKey, itemKey, itemIndex);
                });
    }
    // The handler decides from the check mark as it was before the click.
    QAction *showText = menuItem(QStringLiteral("mnuViewShowText"));
    connect(showText, &QAction::triggered, this, [this, showText] {
        showText->setChecked(!showText->isChecked());
        mnuViewShowText_Click();
    });
}

void frmMain::tbToolbar_ButtonClick(int Index, const QString &key)
{
    IgnoreErrors ignore;
    const auto pane = [this, Index, &key](int number) {
        if (tbToolbar[size_t(Index)]->button(key).value() == 0) {
            mnuViewMainPanel_Click();
            return;
        }
        picMain->show();
        mnuViewMainPanel->setChecked(true);
        mnuViewPane_Click(number);
    };
    const auto web = [this] { return requireActiveForm()->Web; };
    if (key == QStringLiteral("close"))
        mnuViewMainPanel_Click();
    else if (key == QStringLiteral("favorites"))
        ignore([&] { pane(1); });
    else if (key == QStringLiteral("folders"))
        ignore([&] { pane(2); });
    else if (key == QStringLiteral("back"))
        ignore([&] { web()->GoBack(); });
    else if (key == QStringLiteral("forward"))
        ignore([&] { web()->GoForward(); });
    else if (key == QStringLiteral("refresh"))
        ignore([&] { web()->Refresh(); });
    else if (key == QStringLiteral("stop"))
        ignore([&] { web()->Stop(); });
    else if (key == QStringLiteral("gohome"))
        mnuGoHome_Click();
    else if (key == QStringLiteral("gosearch"))
        mnuGoSearch_Click();
    else if (key == QStringLiteral("prev"))
        mnuWindowPrevious_Click();
    else if (key == QStringLiteral("next"))
        mnuWindowNext_Click();
    else if (key == QStringLiteral("new"))
        mnuFileNew_Click();
    else if (key == QStringLiteral("closewin"))
        ignore([this] {
            if (shared().WindowCount > 0)
                requireActiveForm()->close();
        });
    else if (key == QStringLiteral("settings"))
        ignore([this] { ShowOptionsPage(0); });
    else if (key == QStringLiteral("save"))
        ignore([this] { mnuPageSaveHTML_Click(); });
    ErrorState::clear();
}

void frmMain::tbToolbar_ButtonDropDown(int Index, const QString &key)
{
    IgnoreErrors ignore;
    const auto list = [this, Index, &key]() -> ButtonMenu & { return tbToolbar[size_t(Index)]->button(key).menu(); };
    if (key == QStringLiteral("gohome"))
        ignore([&] { fillAddressList(list(), PresetSections::Home); });
    else if (key == QStringLiteral("gosearch"))
        ignore([&] { fillAddressList(list(), PresetSections::Search); });
    else if (key == QStringLiteral("save"))
        ignore([&] { fillSaveList(list()); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("tbToolbar_ButtonDropDown"), QString::number(Index) + key);
}

void frmMain::tbToolbar_ButtonMenuClick(int Index, const QString &buttonKey, const QString &itemKey, int itemIndex)
{
    IgnoreErrors ignore;
    const auto list = [this, Index, &buttonKey]() -> ButtonMenu & {
        return tbToolbar[size_t(Index)]->button(buttonKey).menu();
    };
    const auto openAddress = [&](const QString &mainKey, void (frmMain::*goMain)()) {
        ignore([&] {
            const QString tag = list().itemTag(itemIndex);
            if (!tag.isEmpty() && shared().WindowCount >= 1)
                requireActiveForm()->Web->Navigate(tag);
        });
        ignore([&] {
            if (itemKey == mainKey && shared().WindowCount >= 1)
                (this->*goMain)();
        });
    };
    if (buttonKey == QStringLiteral("gohome")) {
        if (itemKey == QStringLiteral("sethom"))
            ignore([this] { ShowOptionsPage(8); });
        else
            openAddress(QStringLiteral("hom"), &frmMain::mnuGoHome_Click);
    } else if (buttonKey == QStringLiteral("gosearch")) {
        if (itemKey == QStringLiteral("setser"))
            ignore([this] { ShowOptionsPage(9); });
        else
            openAddress(QStringLiteral("ser"), &frmMain::mnuGoSearch_Click);
    } else if (buttonKey == QStringLiteral("save")) {
        if (itemKey == QStringLiteral("savsel"))
            ignore([this] { ShowOptionsPage(6); });
        else if (itemKey == QStringLiteral("saveas"))
            ignore([this] { mnuPageSaveHTML_Click(); });
        else if (itemKey == QStringLiteral("saveback"))
            ignore([this] {
                if (shared().WindowCount > 0)
                    SavePageInBackground();
            });
        else if (const int preset = ToolbarRules::presetNumber(itemKey))
            ignore([&] {
                shared().DialogOperation = 5;
                list().setItemTag(itemKey, GetSetting(PresetSections::Save, QString::number(preset)));
                SavePageToPreset(preset);
            });
    }
    ErrorState::clear();
}
