#include "app/panel/frmPM.h"

#include "app/Icons.h"
#include "app/frmMain.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/MenuItemBullet.h"

#include <QAction>
#include <QMenu>

namespace {
const char *const kPaneCaptions[] = {"Oblíbené", "Složky a soubory", "Hledat soubory", "Odkazy",
                                     "Search the Internet", "History"};
} // namespace

frmPM::frmPM()
{
    setObjectName(QStringLiteral("frmPM"));
    imlMenu = new ImageList(this);
    imlMenu->setObjectName(QStringLiteral("imlMenu"));
    Icons::fill(imlMenu, {QStringLiteral("point"), QStringLiteral("tick")});

    mnuPaneView = new QMenu(this);
    mnuPaneView->setObjectName(QStringLiteral("mnuPaneView"));
    for (int i = 1; i <= 6; ++i) {
        QAction *item = mnuPaneView->addAction(QString::fromUtf8(kPaneCaptions[i - 1]));
        item->setObjectName(QStringLiteral("mnuPaneViewItem%1").arg(i));
        item->setCheckable(true);
        item->setVisible(i <= 4);
        item->setEnabled(i <= 4);
        connect(item, &QAction::triggered, this, [this, i] { mnuPaneViewItem_Click(i); });
        mnuPaneViewItem[i] = item;
    }
    mnuPaneViewItem[1]->setChecked(true);
    createFavoritesMenu();
    createLinksMenu();
    createFilesMenu();
    createFindFilesMenu();
    Form_Initialize();
}

void frmPM::Form_Initialize()
{
    const QIcon bullet = imlMenu->icon(QStringLiteral("point"));
    for (int i = 1; i <= 6; ++i)
        showTickAsImage(mnuPaneViewItem[i], bullet);
}

void frmPM::mnuPaneViewItem_Click(int Index)
{
    Forms::get<frmMain>()->choosePane(Index, frmMain::PaneChoice::Popup);
}
