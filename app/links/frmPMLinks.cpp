// The links pop-up: open the selected link, add it to the Favorites, capture, save
// and remove links, and choose how the list is sorted.
#include "app/panel/frmPM.h"

#include "app/AddFavoriteDialog.h"
#include "app/frmMain.h"
#include "browser/BrowserEventRules.h"
#include "browser/CapturedLinksPage.h"
#include "browser/LinkSnapshot.h"
#include "browser/LinksPaneRules.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ListView.h"
#include "platform/controls/MenuItemBullet.h"
#include "platform/controls/MessageBox.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"

#include <QAction>
#include <QMenu>

namespace {

frmMain *mainWindow()
{
    return Forms::get<frmMain>();
}

ListView *linksList()
{
    return mainWindow()->lstLinks;
}

// The item the items act on; raises "Object variable not set" when none is selected.
ListItem selectedLink()
{
    const ListItem item = linksList()->selectedItem();
    if (item.isNull())
        raiseError(ErrorNumber::ObjectVariableNotSet);
    return item;
}

} // namespace

void frmPM::createLinksMenu()
{
    mnuLinks = new QMenu(this);
    mnuLinks->setObjectName(QStringLiteral("mnuLinks"));
    const auto item = [this](QMenu *menu, const char *name, const char *caption, auto handler) {
        QAction *action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto submenu = [this](const char *name, const char *caption) {
        QMenu *menu = mnuLinks->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Action"));
        return menu;
    };
    mnuLinksOpen = item(mnuLinks, "mnuLinksOpen", "&Otevřít odkaz", &frmPM::mnuLinksOpen_Click);
    mnuLinksOpenNewWin = item(mnuLinks, "mnuLinksOpenNewWin", "Otevřít odkaz v &novém okně", &frmPM::mnuLinksOpenNewWin_Click);
    mnuLinks->addSeparator();
    mnuLinksAddToFav = item(mnuLinks, "mnuLinksAddToFav", "Přidat odkaz k o&blíbeným…", &frmPM::mnuLinksAddToFav_Click);
    mnuLinks->addSeparator();

    const auto capture = [](int mode) { return [mode] { mainWindow()->CaptureLinks(mode); }; };
    mnuLinksAdd = submenu("mnuLinksAdd", "&Přidat odkazy");
    mnuLinksAddAll = item(mnuLinksAdd, "mnuLinksAddAll", "&Všechny", capture(LinkCaptureMode::All));
    item(mnuLinksAdd, "mnuLinksAddLocal", "&Lokální", capture(LinkCaptureMode::Local));
    item(mnuLinksAdd, "mnuLinksAddOut", "&Odchozí", capture(LinkCaptureMode::Outgoing));
    mnuLinksAdd->addSeparator();
    item(mnuLinksAdd, "mnuLinksAddAllText", "Všechny &textové", capture(LinkCaptureMode::AllWithText));
    item(mnuLinksAdd, "mnuLinksAddLocalText", "Lo&kální textové", capture(LinkCaptureMode::LocalWithText));
    item(mnuLinksAdd, "mnuLinksAddOutText", "O&dchozí textové", capture(LinkCaptureMode::OutgoingWithText));

    const auto save = [](int mode) { return [mode] { mainWindow()->SaveCapturedLinks(mode); }; };
    mnuLinksSave = submenu("mnuLinksSave", "&Uložit odkazy");
    item(mnuLinksSave, "mnuLinksSaveAll", "&Všechny", save(LinkSaveMode::All));
    item(mnuLinksSave, "mnuLinksSaveEmails", "Pouze &e-maily", save(LinkSaveMode::EmailOnly));
    item(mnuLinksSave, "mnuLinksSaveNoEmails", "&Bez e-mailů", save(LinkSaveMode::AllButEmail));

    mnuLinksRemove = submenu("mnuLinksRemove", "Odst&ranit odkazy");
    item(mnuLinksRemove, "mnuLinksRemoveSelected", "Vy&brané", &frmPM::mnuLinksRemoveSelected_Click);
    item(mnuLinksRemove, "mnuLinksRemoveAll", "&Všechny", &frmPM::mnuLinksRemoveAll_Click);
    item(mnuLinksRemove, "mnuLinksRemoveEmails", "&E-maily", &frmPM::mnuLinksRemoveEmails_Click);
    mnuLinks->addSeparator();

    mnuLinksOrderBy = submenu("mnuLinksOrderBy", "&Seřadit podle");
    mnuLinksOrderByNone = item(mnuLinksOrderBy, "mnuLinksOrderByNone", "&Původní", &frmPM::mnuLinksOrderByNone_Click);
    mnuLinksOrderBy->addSeparator();
    const auto sortBy = [this](int key) { return [this, key] { mnuLinksOrderBy_Click(key); }; };
    mnuLinksOrderByCaption = item(mnuLinksOrderBy, "mnuLinksOrderByCaption", "&Nápis", sortBy(0));
    mnuLinksOrderByURL = item(mnuLinksOrderBy, "mnuLinksOrderByURL", "&URL", sortBy(1));
    mnuLinksOrderBySource = item(mnuLinksOrderBy, "mnuLinksOrderBySource", "&Zdroj", sortBy(2));
    mnuLinksOrderBy->addSeparator();
    mnuLinksOrderByDesc = item(mnuLinksOrderBy, "mnuLinksOrderByDesc", "&Vzestupně", &frmPM::mnuLinksOrderByDesc_Click);
    // The check marks change only in the handlers, never by the click itself.
    for (QAction *check : {mnuLinksOrderByCaption, mnuLinksOrderByURL, mnuLinksOrderBySource, mnuLinksOrderByDesc})
        check->setCheckable(true);
    mnuLinksOrderByDesc->setChecked(true);
    for (QAction *check : {mnuLinksOrderByCaption, mnuLinksOrderByURL, mnuLinksOrderBySource, mnuLinksOrderByDesc})
        showCheckMarkAlone(check);
    connect(mnuLinks, &QMenu::aboutToShow, this, &frmPM::mnuLinks_Click);
}

void frmPM::showLinksMenu(const QPoint &position, bool listHasItems)
{
    if (listHasItems) {
        mnuLinks->setDefaultAction(mnuLinksOpen);
        mnuLinks->popup(position);
    } else {
        mnuLinksAdd->setDefaultAction(mnuLinksAddAll);
        mnuLinksAdd->popup(position);
    }
}

void frmPM::mnuLinks_Click()
{
    mnuLinksOrderByDesc->setChecked(linksList()->sortOrder() == Qt::AscendingOrder);
}

void frmPM::mnuLinksOpen_Click()
{
    if (shared().WindowCount <= 0)
        return;
    runIgnoringErrors([] {
        const ListItem link = selectedLink();
        // A script address would run in whatever page the window shows now.
        if (link.smallIcon() == ScriptProtocolKey) {
            MsgBox(ScriptLinkRefusedMessage, MsgBoxStyle::Exclamation | MsgBoxStyle::OKOnly);
            return;
        }
        mainWindow()->requireActiveForm()->Web->Navigate(link.subItem(1));
        link.setBold(true);
    });
}

void frmPM::mnuLinksOpenNewWin_Click()
{
    runIgnoringErrors([] {
        const ListItem link = selectedLink();
        if (link.smallIcon() == ScriptProtocolKey) {
            MsgBox(QString::fromLatin1(kRefusedNewWindowMessage), MsgBoxStyle::Exclamation, QStringLiteral("Vorlan"));
            return;
        }
        NewWindow(link.subItem(1));
        link.setBold(true);
    });
}

void frmPM::mnuLinksAddToFav_Click()
{
    runIgnoringErrors([] {
        const ListItem link = selectedLink();
        const QString address = link.subItem(1);
        if (!address.isEmpty())
            AddFavorite(address, link.text(), mainWindow());
    });
    ErrorState::clear();
}

void frmPM::mnuLinksRemoveSelected_Click()
{
    runIgnoringErrors([] {
        if (linksList()->count() >= 1)
            linksList()->remove(selectedLink().index());
    });
}

void frmPM::mnuLinksRemoveAll_Click()
{
    if (linksList()->count() >= 1)
        linksList()->clear();
}

void frmPM::mnuLinksRemoveEmails_Click()
{
    mainWindow()->RemoveEmailLinks();
}

void frmPM::mnuLinksOrderByNone_Click()
{
    linksList()->setSorted(false);
    for (QAction *check : {mnuLinksOrderByCaption, mnuLinksOrderByURL, mnuLinksOrderBySource})
        check->setChecked(false);
}

void frmPM::mnuLinksOrderBy_Click(int SortKey)
{
    linksList()->setSorted(true);
    mnuLinksOrderByCaption->setChecked(SortKey == 0);
    mnuLinksOrderByURL->setChecked(SortKey == 1);
    mnuLinksOrderBySource->setChecked(SortKey == 2);
    linksList()->setSortKey(SortKey);
}

void frmPM::mnuLinksOrderByDesc_Click()
{
    // The click has already turned the check round: checked now means it was not.
    const bool ascending = mnuLinksOrderByDesc->isChecked();
    linksList()->setSortOrder(ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}
